# SPDX-License-Identifier: MIT
"""Each family in each dtype: the whole-signal calls give exactly what the
per-sample (or per-block) calls give, and the filter does its job."""
import numpy as np
import pytest

import quolm
from conftest import AR2, PLANT, kind, make, run, signals


def test_whole_signal_calls_match_per_sample_calls(name, dtype):
    x, d, ar = (s[:203] for s in signals(dtype))
    whole, single = make(name, dtype), make(name, dtype)
    k = kind(whole)
    if k == "block":
        x, d = x[:200], d[:200]
    got = run(whole, x, d, ar)
    if k == "fir":
        want = ([single.step(v) for v in x],)
    elif k == "predictor":
        want = tuple(zip(*[single.step(v) for v in ar]))
    elif k == "estimator":
        want = tuple(zip(*[single.step(a, b) for a, b in zip(x, d)]))
    else:  # one call per block
        b = single.block_size
        parts = [single.filter_update(x[i:i + b], d[i:i + b]) for i in range(0, len(x), b)]
        want = tuple(np.concatenate(p) for p in zip(*parts))
    for g, w in zip(got, want):
        assert g.dtype == dtype
        np.testing.assert_array_equal(g, np.asarray(w, dtype=dtype))
    np.testing.assert_array_equal(whole.coefficients, single.coefficients)
    if k != "fir":  # filtering without adapting leaves the coefficients alone
        before = whole.coefficients
        (whole.filter(ar) if k == "predictor" else whole.filter(x))
        np.testing.assert_array_equal(whole.coefficients, before)


def test_the_dtype_picks_the_library(name):
    """float32 and float64 filters fed the same float32 samples differ only by rounding."""
    x, d, ar = signals(np.float32, 512)
    single, double = make(name, np.float32), make(name, np.float64)
    a, b = run(single, x, d, ar)[0], run(double, x, d, ar)[0]
    assert a.dtype == np.float32 and b.dtype == np.float64
    np.testing.assert_allclose(a, b, rtol=1e-3, atol=1e-3)
    assert single.dtype == np.float32 and double.dtype == np.float64


def test_identifies_the_system(name, dtype):
    x, d, ar = signals(dtype, 8192)
    f = make(name, dtype)
    out = run(f, x, d, ar)
    k, w = kind(f), f.coefficients
    if k == "fir":
        np.testing.assert_allclose(out[0], d, atol=1e-6)
    elif k == "predictor":  # the direct-form predictor is the AR model
        np.testing.assert_allclose(w, AR2, atol=0.06)
    elif isinstance(f, (quolm.LmsLattice, quolm.RlsLattice)):  # ladder coefficients
        e = out[1][-1024:]
        assert np.sqrt(np.mean(e ** 2)) < 0.05 * np.std(d), f
    else:  # the filtered-x families cancel d: they learn -PLANT
        sign = -1 if isinstance(f, (quolm.Fxlms, quolm.Adjlms)) else 1
        np.testing.assert_allclose(w[:4], sign * PLANT, atol=0.01, err_msg=repr(f))


def test_state_calls(name):
    f = make(name, np.float64)
    x, d, ar = signals(np.float64, 256)
    run(f, x, d, ar)
    n = f.n
    assert repr(f).startswith(f"quolm.{type(f).__name__}(n={n}") and "float64" in repr(f)
    if hasattr(f, "delay_line"):
        line = f.delay_line
        f.delay_line = line[::-1].copy()
        np.testing.assert_array_equal(f.delay_line, line[::-1])
    w = f.coefficients
    if kind(f) != "fir":
        f.reset()
        assert not np.array_equal(f.coefficients, w) or not w.any()
    try:
        f.coefficients = w
    except AttributeError:  # the RLS lattice families' coefficients are read-only
        assert isinstance(f, (quolm.RlsLattice, quolm.RlsLbpef, quolm.RlsLfpef))
    else:  # exact but for the frequency-domain families' transforms
        np.testing.assert_allclose(f.coefficients, w, rtol=0, atol=1e-12)
    f.resize(n + 1)
    assert f.n == n + 1 and repr(f).startswith(f"quolm.{type(f).__name__}(n={n + 1}")


@pytest.mark.parametrize("grow", [True, False])
def test_resize_keeps_the_leading_coefficients(grow):
    f = quolm.Nlms(4, 0.1)
    f.coefficients = PLANT
    f.resize(6 if grow else 2)
    want = np.r_[PLANT, 0, 0] if grow else PLANT[:2]
    np.testing.assert_array_equal(f.coefficients, want)


def test_block_sizes_and_partitions_resize_independently():
    f = quolm.Pbfdaf(n=2, block_size=2, partitions=2, mu=0.05)
    f.resize(4, partitions=3)
    assert (f.n, f.block_size, f.partitions, len(f.coefficients)) == (4, 2, 3, 12)
    f.resize(4, block_size=8)
    assert (f.block_size, f.partitions) == (8, 3)
    y, e = f.filter_update(np.zeros(16), np.ones(16))
    assert y.shape == e.shape == (16,)


def test_flags_of_the_lattices():
    f = quolm.LmsLattice(4, 0.01, 0.05)
    assert f.adapt_parcors
    f.adapt_parcors = False
    x, d, _ = signals(np.float64, 512)
    f.filter_update(x, d)
    np.testing.assert_array_equal(f.parcors, 0)
    p = quolm.Lbpef(2, 0.01)
    p.track_coefficients = False
    p.filter_update(signals(np.float64, 512)[2])
    np.testing.assert_array_equal(p.coefficients, 0)
    assert p.parcors.any()
