# SPDX-License-Identifier: MIT
"""Cancels the echo of a far-end talker in a simulated room while a near-end
talker joins in for a while, and prints the canceller's figures every half
second (python3 echo.py)."""
import numpy as np

import quolm

RATE, FRAME = 16000, 160  # 10 ms frames
rng = np.random.default_rng(5)


def talker(seconds):
    """Speech-like noise: low-passed noise switched on and off in syllables of 0.2 s."""
    noise = np.convolve(rng.standard_normal(int(seconds * RATE)), np.hanning(8))[:int(seconds * RATE)]
    return noise * np.repeat(rng.random(int(seconds * 5)) < 0.7, RATE // 5)


n = 8 * RATE
far = talker(8)
room = np.zeros(1024)  # 64 ms of room: a direct path after 4 ms, then decaying reflections
room[64] = 0.5
room[65:] = 0.1 * rng.standard_normal(959) * np.exp(-np.arange(959) / 200)
echo = np.convolve(far, room)[:n]
near = np.zeros(n)
near[4 * RATE:6 * RATE] = 0.5 * talker(2)  # both talk from 4 to 6 s
noise = 0.002 * rng.standard_normal(n)
mic = echo + near + noise

aec = quolm.EchoCanceller(RATE, FRAME, tail_ms=80)
far32, mic32 = far.astype(np.float32), mic.astype(np.float32)
out = np.zeros(n, np.float32)
half = RATE // 2
for start in range(0, n, half):
    both = flagged = 0
    for i in range(start, start + half, FRAME):  # frame by frame, as a call would run
        aec.process(far32[i:i + FRAME], mic32[i:i + FRAME], out=out[i:i + FRAME])
        talking = far[i:i + FRAME].any() and near[i:i + FRAME].any()
        both += talking
        flagged += talking and aec.status.double_talk
    part = slice(start, start + half)
    residual = out[part] - near[part] - noise[part]  # what is left of the echo
    erle = 10 * np.log10(np.sum(echo[part] ** 2) / np.sum(residual ** 2))
    print(f"{(start + half) / RATE:3.1f} s: ERLE {erle:4.1f} dB (estimate {aec.status.erle:4.1f} dB)"
          + (f", double talk flagged in {flagged} of {both} frames" if both else ""))
print(f"echo delay: {aec.echo_delay} samples")
