# SPDX-License-Identifier: MIT
"""Every family with small sizes and parameters that converge on the test
signals, in both dtypes; shared by the test files."""
import numpy as np
import pytest

import quolm

DTYPES = (np.float32, np.float64)
PLANT = np.array([0.5, -0.3, 0.2, 0.1])  # the FIR system the estimators identify
AR2 = np.array([1.2, -0.6])  # x[n] = 1.2 x[n-1] - 0.6 x[n-2] + noise, for the predictors

# name: (constructor, its keyword arguments); "kind" is the call shape.
FAMILIES = {
    "Fir": (quolm.Fir, dict(coefficients=PLANT)),
    "Lms": (quolm.Lms, dict(n=4, mu=0.05)),
    "LmsSignError": (quolm.Lms, dict(n=4, mu=0.002, law="sign_error")),
    "LmsSignRegressor": (quolm.Lms, dict(n=4, mu=0.002, law="sign_regressor")),
    "LmsSignSign": (quolm.Lms, dict(n=4, mu=0.002, law="sign_sign")),
    "Nlms": (quolm.Nlms, dict(n=4, mu=0.1)),
    "Blms": (quolm.Blms, dict(n=4, block_size=4, mu=0.05)),
    "BlmsSignSign": (quolm.Blms, dict(n=4, block_size=4, mu=0.002, law="sign_sign")),
    "Bnlms": (quolm.Bnlms, dict(n=4, block_size=2, mu=0.1)),
    "Fxlms": (quolm.Fxlms, dict(n=4, mu=0.05, secondary_path=[1.0], secondary_model=[1.0])),
    "Adjlms": (quolm.Adjlms, dict(n=4, mu=0.05, secondary_path=[1.0], secondary_model=[1.0])),
    "Bfdaf": (quolm.Bfdaf, dict(n=4, block_size=4, mu=0.05)),
    "BfdafUnconstrained": (quolm.Bfdaf, dict(n=4, block_size=4, mu=0.05, constrain=False)),
    "Pbfdaf": (quolm.Pbfdaf, dict(n=2, block_size=2, partitions=2, mu=0.05)),
    "Tdlms": (quolm.Tdlms, dict(n=4, mu=0.05)),
    "LmsLattice": (quolm.LmsLattice, dict(n=4, mu_parcor=0.01, mu_coef=0.05)),
    "Lbpef": (quolm.Lbpef, dict(n=2, mu=0.01)),
    "Lfpef": (quolm.Lfpef, dict(n=2, mu=0.01)),
    "Rls": (quolm.Rls, dict(n=4, lam=0.99, delta=0.1)),
    "RlsLattice": (quolm.RlsLattice, dict(n=4, lam=0.99)),
    "RlsLbpef": (quolm.RlsLbpef, dict(n=2, lam=0.99)),
    "RlsLfpef": (quolm.RlsLfpef, dict(n=2, lam=0.99)),
}


def kind(f):
    """'fir', 'block', 'predictor' or 'estimator'."""
    if isinstance(f, quolm.Fir):
        return "fir"
    if hasattr(f, "block_size"):
        return "block"
    return "predictor" if isinstance(f, (quolm.Lbpef, quolm.Lfpef, quolm.RlsLbpef,
                                         quolm.RlsLfpef)) else "estimator"


def make(name, dtype):
    cls, kwargs = FAMILIES[name]
    arrays = {k: v.astype(dtype) for k, v in kwargs.items() if isinstance(v, np.ndarray)}
    return cls(**{**kwargs, **arrays}, dtype=dtype)


def signals(dtype, n=4096, seed=1):
    """White input through PLANT (x, d) and an AR(2) process (ar), all in dtype."""
    rng = np.random.default_rng(seed)
    x = rng.uniform(-1, 1, n)
    d = np.convolve(x, PLANT)[:n]
    noise = rng.standard_normal(n) * 0.1
    ar = np.zeros(n)
    for i in range(2, n):
        ar[i] = AR2 @ ar[i - 2:i][::-1] + noise[i]
    return x.astype(dtype), d.astype(dtype), ar.astype(dtype)


def run(f, x, d, ar):
    """The whole-signal adapting call of f's shape; returns its outputs."""
    k = kind(f)
    if k == "fir":
        return (f.filter(x),)
    if k == "predictor":
        return f.filter_update(ar)
    return f.filter_update(x, d)


@pytest.fixture(params=DTYPES, ids=lambda t: t.__name__)
def dtype(request):
    return request.param


@pytest.fixture(params=sorted(FAMILIES))
def name(request):
    return request.param
