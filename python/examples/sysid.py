# SPDX-License-Identifier: MIT
"""System identification with NLMS and RLS on coloured input.

An unknown 16-tap FIR system is driven by strongly coloured noise (white
noise through a one-pole low-pass); both filters see its input and its noisy
output. The signal is fed in chunks of 100 samples so that the coefficients
can be read between chunks: the misalignment ||w - h||^2 / ||h||^2 shows how
far each filter is from the system. RLS converges in a few times 16 samples
whatever the colour; NLMS slows down by the input's eigenvalue spread.

    python3 sysid.py [figure.png]

draws the learning curves with matplotlib when it is installed (else prints
them as a table).
"""
import sys

import numpy as np

import quolm

TAPS, SAMPLES, CHUNK = 16, 20000, 100


def make_signals(seed=7):
    rng = np.random.default_rng(seed)
    h = rng.standard_normal(TAPS) * np.exp(-np.arange(TAPS) / 4)  # the unknown system
    white = rng.standard_normal(SAMPLES)
    x = np.empty(SAMPLES)
    state = 0.0
    for n, v in enumerate(white):  # one-pole low-pass: a strongly coloured input
        state = 0.95 * state + v
        x[n] = state
    x /= x.std()
    d = np.convolve(x, h)[:SAMPLES] + 1e-3 * rng.standard_normal(SAMPLES)
    return h, x, d


def learning_curves(f, h, x, d):
    """Error power (dB, per chunk) and misalignment (dB) after each chunk."""
    power, misalignment = [], []
    for start in range(0, SAMPLES, CHUNK):
        _, e = f.filter_update(x[start:start + CHUNK], d[start:start + CHUNK])
        power.append(10 * np.log10(np.mean(e ** 2)))
        w = f.coefficients
        misalignment.append(10 * np.log10(np.sum((w - h) ** 2) / np.sum(h ** 2)))
    return np.array(power), np.array(misalignment)


def main(figure=None):
    h, x, d = make_signals()
    filters = {"NLMS (mu = 0.01)": quolm.Nlms(TAPS, mu=0.01),
               "RLS (lam = 0.999)": quolm.Rls(TAPS, lam=0.999, delta=1.0)}
    curves = {label: learning_curves(f, h, x, d) for label, f in filters.items()}
    samples = np.arange(1, SAMPLES // CHUNK + 1) * CHUNK
    for label, (_, mis) in curves.items():
        print(f"{label:18s} misalignment after {samples[4]} / {samples[49]} / {samples[-1]} "
              f"samples: {mis[4]:6.1f} / {mis[49]:6.1f} / {mis[-1]:6.1f} dB")
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib is not installed: no figure")
        return
    fig, (top, bottom) = plt.subplots(2, 1, sharex=True, figsize=(7, 5.5))
    for label, (power, mis) in curves.items():
        top.plot(samples, power, label=label)
        bottom.plot(samples, mis, label=label)
    top.set_ylabel("error power (dB)")
    bottom.set_ylabel("misalignment (dB)")
    bottom.set_xlabel("samples")
    top.set_title("Identifying a 16-tap system from coloured input")
    for ax in (top, bottom):
        ax.grid(True, alpha=0.3)
        ax.legend()
    fig.tight_layout()
    fig.savefig(figure or "python-sysid.png", dpi=100)
    print("wrote", figure or "python-sysid.png")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else None)
