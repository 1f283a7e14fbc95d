# SPDX-License-Identifier: MIT
"""Identifies an unknown 16-tap FIR system from strongly coloured input with
NLMS and RLS, and draws their learning curves (python3 sysid.py [out.png])."""
import sys

import numpy as np

import quolm

rng = np.random.default_rng(7)
h = rng.standard_normal(16) * np.exp(-np.arange(16) / 4)  # the unknown system
x = np.zeros(20000)
for n, v in enumerate(rng.standard_normal(len(x))):  # white noise through a one-pole low-pass
    x[n] = 0.95 * x[n - 1] + v
x /= x.std()
d = np.convolve(x, h)[:len(x)] + 1e-3 * rng.standard_normal(len(x))  # noisy system output

filters = {"NLMS (mu = 0.01)": quolm.Nlms(16, mu=0.01),
           "RLS (lam = 0.999)": quolm.Rls(16, lam=0.999, delta=1.0)}
chunks = np.arange(100, len(x) + 1, 100)
curves = {}
for label, f in filters.items():
    power, misalignment = [], []
    for end in chunks:  # whole-signal calls on chunks, reading w in between
        _, e = f.filter_update(x[end - 100:end], d[end - 100:end])
        power.append(10 * np.log10(np.mean(e ** 2)))
        misalignment.append(10 * np.log10(np.sum((f.coefficients - h) ** 2) / np.sum(h ** 2)))
    curves[label] = power, misalignment
    print(f"{label}: misalignment {misalignment[9]:.1f} dB after 1000 samples, "
          f"{misalignment[-1]:.1f} dB after {len(x)}")

try:
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    plt = None
    print("(matplotlib is not installed: no figure)")
if plt:
    fig, axes = plt.subplots(2, 1, sharex=True, figsize=(7, 5.5))
    for label, curve in curves.items():
        for ax, values in zip(axes, curve):
            ax.plot(chunks, values, label=label)
    for ax, name in zip(axes, ("error power (dB)", "misalignment (dB)")):
        ax.set_ylabel(name)
        ax.grid(True, alpha=0.3)
        ax.legend()
    axes[0].set_title("Identifying a 16-tap system from coloured input")
    axes[1].set_xlabel("samples")
    fig.tight_layout()
    fig.savefig(sys.argv[1] if len(sys.argv) > 1 else "python-sysid.png", dpi=100)
