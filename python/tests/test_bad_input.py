# SPDX-License-Identifier: MIT
"""Bad input raises an exception that names the parameter, never crashes and
never writes out of bounds (run under AddressSanitizer by make test)."""
import numpy as np
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from hypothesis.extra import numpy as hnp

import quolm
from conftest import FAMILIES, kind, make, signals


@pytest.mark.parametrize("call, error, names", [
    (lambda: quolm.Nlms(0, 0.1), ValueError, "n"),
    (lambda: quolm.Nlms(-3, 0.1), ValueError, "n"),
    (lambda: quolm.Nlms(2**31, 0.1), ValueError, "n"),
    (lambda: quolm.Nlms(10**30, 0.1), ValueError, "n"),
    (lambda: quolm.Nlms(3.5, 0.1), TypeError, "n"),
    (lambda: quolm.Nlms(True, 0.1), TypeError, "n"),
    (lambda: quolm.Nlms(4, float("nan")), ValueError, "mu"),
    (lambda: quolm.Nlms(4, float("inf")), ValueError, "mu"),
    (lambda: quolm.Nlms(4, 1e300, dtype=np.float32), ValueError, "mu"),
    (lambda: quolm.Nlms(4, "0.1"), TypeError, "mu"),
    (lambda: quolm.Nlms(4, 0.1, dtype=np.int32), TypeError, "dtype"),
    (lambda: quolm.Nlms(4, 0.1, dtype=np.complex128), TypeError, "dtype"),
    (lambda: quolm.Lms(4, 0.1, law="sign"), ValueError, "law"),
    (lambda: quolm.Blms(4, 0, 0.1), ValueError, "block_size"),
    (lambda: quolm.Pbfdaf(2, 2, 0, 0.1), ValueError, "partitions"),
    (lambda: quolm.Bfdaf(4, 4, 0.1, constrain="yes"), TypeError, "constrain"),
    (lambda: quolm.Rls(4, 0.99, 1.5), ValueError, "delta"),
    (lambda: quolm.Rls(4, float("nan"), 0.1), ValueError, "lam"),
    (lambda: quolm.LmsLattice(4, float("nan"), 0.1), ValueError, "mu_parcor"),
    (lambda: quolm.Fir([]), ValueError, "coefficients"),
    (lambda: quolm.Fir([[1.0]]), ValueError, "coefficients"),
    (lambda: quolm.Fxlms(4, 0.1, [1.0], "path"), TypeError, "secondary_model"),
    # Sizes the library refuses after the checks above: its code, with the call.
    (lambda: quolm.Bfdaf(2**30, 2**30, 0.1), ValueError, "block_size=1073741824"),
    (lambda: quolm.Rls(2**30, 0.99, 0.1), MemoryError, "n=1073741824.*library code -3"),
    (lambda: quolm.Pbfdaf(2**20, 2**20, 2**20, 0.1), MemoryError, "partitions=1048576"),
    (lambda: quolm.Rls(4, 0.99, 0.1).resize(2**30), MemoryError, r"resize\(n=1073741824\)"),
    (lambda: quolm.Nlms(4, 0.1).resize(0), ValueError, "n"),
    (lambda: quolm.Blms(4, 2, 0.1).resize(4, block_size=-1), ValueError, "block_size"),
])
def test_bad_parameters_name_themselves(call, error, names):
    with pytest.raises(error, match=names):
        call()


@pytest.mark.parametrize("x, d, error, names", [
    (np.zeros(8), np.zeros(7), ValueError, "same length"),
    (np.zeros((2, 4)), np.zeros((2, 4)), ValueError, "x must be one-dimensional"),
    (np.float64(1.0), np.float64(1.0), ValueError, "x must be one-dimensional"),
    (np.zeros(8), np.zeros(8, np.complex128), TypeError, "d has dtype"),
    (np.zeros(8, np.int64), np.zeros(8), TypeError, "x has dtype"),
    (np.zeros(8, bool), np.zeros(8), TypeError, "x has dtype"),
    (["a"] * 8, np.zeros(8), TypeError, "x"),
    ([2**60 + 1] * 8, np.zeros(8), TypeError, "x holds values"),
    (None, np.zeros(8), TypeError, "x"),
])
def test_bad_signals(x, d, error, names):
    with pytest.raises(error, match=names):
        quolm.Nlms(4, 0.1).filter_update(x, d)


def test_float32_filters_refuse_float64_signals_but_take_exact_values():
    f = quolm.Nlms(4, 0.1, dtype=np.float32)
    with pytest.raises(TypeError, match="x has dtype"):
        f.filter(np.zeros(4))
    with pytest.raises(TypeError, match="x holds values"):
        f.filter([0.1, 0.2])
    with pytest.raises(TypeError, match="x has dtype"):
        f.filter(np.zeros(4, np.int32))
    assert f.filter([0.5, 1, -2]).dtype == np.float32  # exact in float32
    assert f.filter(np.arange(4, dtype=np.int16)).dtype == np.float32


def test_lossless_conversions_give_the_same_results():
    x, d, _ = signals(np.float64, 64)
    xi = np.round(x * 1000).astype(np.int16)
    a, b = quolm.Nlms(4, 0.1), quolm.Nlms(4, 0.1)
    np.testing.assert_array_equal(a.filter_update(xi, d)[0], b.filter_update(xi.astype(float), d)[0])
    a, b = quolm.Nlms(4, 0.1), quolm.Nlms(4, 0.1)
    big = np.empty(128)
    big[::2] = x
    swapped = x.astype(">f8")
    np.testing.assert_array_equal(a.filter_update(big[::2], swapped)[1], b.filter_update(x, x)[1])


def test_block_families_take_whole_blocks():
    f = quolm.Pbfdaf(n=2, block_size=4, partitions=2, mu=0.05)
    with pytest.raises(ValueError, match="block_size = 4"):
        f.filter_update(np.zeros(10), np.zeros(10))
    with pytest.raises(ValueError, match="block_size = 4"):
        f.filter(np.zeros(3))
    assert f.filter(np.zeros(0)).shape == (0,)


def test_vector_copies_check_their_length():
    f = quolm.Rls(4, 0.99, 0.1)
    with pytest.raises(ValueError, match="coefficients must hold 4 values, got 3"):
        f.coefficients = [1.0, 2.0, 3.0]
    with pytest.raises(ValueError, match="delay_line must hold 4 values"):
        f.delay_line = np.zeros(5)
    with pytest.raises(AttributeError):
        quolm.RlsLattice(4, 0.99).coefficients = np.zeros(4)


some_dtypes = st.sampled_from([np.float16, np.float32, np.float64, np.int8, np.int16, np.int32,
                               np.int64, np.uint8, np.uint32, np.complex64, np.bool_])
signal_arrays = hnp.arrays(some_dtypes, hnp.array_shapes(min_dims=0, max_dims=2, max_side=40))


@settings(max_examples=300, deadline=None)
@given(name=st.sampled_from(sorted(FAMILIES)), dtype=st.sampled_from([np.float32, np.float64]),
       x=signal_arrays, d=signal_arrays, stride=st.integers(1, 3))
def test_random_signals_either_run_or_raise(name, dtype, x, d, stride):
    f = make(name, dtype)
    if x.ndim == 1:
        x = x[::stride]
    try:
        if kind(f) in ("fir", "predictor"):
            out = f.filter(x)
        else:
            out = f.filter_update(x, d)
    except (TypeError, ValueError) as e:
        assert any(word in str(e) for word in ("x", "d", "block_size")), str(e)
        return
    outs = out if isinstance(out, tuple) else (out,)
    assert all(o.dtype == dtype and o.shape == (len(x),) for o in outs)


sizes = st.one_of(st.integers(-3, 40), st.sampled_from([2**31 - 1, 2**31, 2**64]),
                  st.floats(allow_nan=True), st.none())
reals = st.one_of(st.floats(allow_nan=True, allow_infinity=True), st.integers(-2, 2),
                  st.text(max_size=2))


@settings(max_examples=300, deadline=None)
@given(name=st.sampled_from(sorted(set(FAMILIES) - {"Fir"})),
       dtype=st.sampled_from([np.float32, np.float64]), n=sizes, mu=reals, block=sizes)
def test_random_parameters_either_build_or_name_the_parameter(name, dtype, n, mu, block):
    cls, kwargs = FAMILIES[name]
    kwargs = dict(kwargs)
    changed = []
    for key, value in (("n", n), ("mu", mu), ("lam", mu), ("block_size", block),
                       ("partitions", block)):
        if key in kwargs:
            kwargs[key] = value
            changed.append(key)
    if isinstance(n, int) and n > 2**16 or isinstance(block, int) and block > 2**16:
        return  # sizes that allocate for real are covered above
    try:
        f = cls(**kwargs, dtype=dtype)
    except (TypeError, ValueError) as e:
        assert any(key in str(e) for key in changed), str(e)
        return
    assert f.n == kwargs.get("n", f.n)
