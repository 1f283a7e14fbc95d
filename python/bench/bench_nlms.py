# SPDX-License-Identifier: MIT
"""Cost of a 10^6-sample NLMS (32 taps, float32) through Nlms.filter_update
against the same loop written in C over the per-sample calls (nlms_loop), and
against a pure-Python per-sample loop with numpy (the way pure-Python filter
packages run; timed on 10^5 samples and scaled).

    python3 bench_nlms.py PATH/TO/nlms_loop      (make bench-python runs it)
"""
import subprocess
import sys
import time

import numpy as np

import quolm

SAMPLES, TAPS, MU, ROUNDS = 1_000_000, 32, 0.01, 5


def best_of(runs, fn):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - start)
    return best


def python_nlms(x, d, taps, mu):
    """Per-sample NLMS in Python and numpy, normalised like quolm's (by a
    running power of the newest sample)."""
    w, line, power = np.zeros(taps, np.float32), np.zeros(taps, np.float32), 1.0
    e = np.empty_like(x)
    for n in range(len(x)):
        line[1:] = line[:-1]
        line[0] = x[n]
        e[n] = d[n] - w @ line
        power = 0.99 * power + 0.01 * x[n] * x[n]
        w += (mu * e[n] / (power + 1e-12)) * line
    return e


def main(loop):
    rng = np.random.default_rng(1)
    x = rng.uniform(-0.5, 0.5, SAMPLES).astype(np.float32)
    d = (0.5 * x + 0.25 * np.r_[0, x[:-1]]).astype(np.float32)
    f = quolm.Nlms(TAPS, MU, dtype=np.float32)
    c = py = float("inf")
    for _ in range(ROUNDS):  # alternate, so that both see the same machine load
        c = min(c, float(subprocess.run([loop, str(SAMPLES), str(TAPS), "3"], check=True,
                                        capture_output=True, text=True).stdout.split()[0]))
        py = min(py, best_of(3, lambda: f.filter_update(x, d)))
    part = SAMPLES // 10
    pure = best_of(1, lambda: python_nlms(x[:part], d[:part], TAPS, MU)) * SAMPLES / part
    print(f"NLMS, {TAPS} taps, {SAMPLES} float32 samples (best of {3 * ROUNDS} runs):")
    print(f"  C loop over nlms32fFilterUpdate   {c * 1e3:9.1f} ms")
    print(f"  quolm.Nlms.filter_update          {py * 1e3:9.1f} ms   ratio to C {py / c:5.2f}")
    print(f"  pure-Python per-sample loop      {pure * 1e3:10.1f} ms   ratio to C {pure / c:5.0f}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "nlms_loop")
