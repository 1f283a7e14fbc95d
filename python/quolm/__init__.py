# SPDX-License-Identifier: MIT
"""Adaptive digital filters on numpy arrays.

Every family is a class; ``dtype=numpy.float32`` runs it on the
single-precision library, ``numpy.float64`` (the default) on the
double-precision one, with the same results as the C calls::

    f = quolm.Nlms(32, mu=0.5, dtype=numpy.float32)
    y, e = f.filter_update(x, d)    # whole signals, loop in C++, GIL released

Input arrays are converted only where no value changes (float32 filters take
float16/float32 and integers of up to 16 bits; float64 filters also float64
and integers of up to 32 bits); anything else raises TypeError. Block
families take whole blocks (``len(x) % f.block_size == 0``).

``EchoCanceller`` (float32 frames) is there when the package was built with
the echo canceller; ``hasattr(quolm, "EchoCanceller")`` tells.
"""
from ._quolm import (Adjlms, Bfdaf, Blms, Bnlms, Fir, Fxlms, Lbpef, Lfpef, Lms, LmsLattice,
                     Nlms, Pbfdaf, Rls, RlsLattice, RlsLbpef, RlsLfpef, Tdlms,
                     gil_released_calls)

__version__ = "1.0.0"

#: Every filter class, in the order of the C libraries' families.
FAMILIES = (Fir, Lms, Nlms, Blms, Bnlms, Fxlms, Adjlms, Bfdaf, Pbfdaf, Tdlms, LmsLattice, Lbpef,
            Lfpef, Rls, RlsLattice, RlsLbpef, RlsLfpef)

__all__ = [cls.__name__ for cls in FAMILIES] + ["FAMILIES", "gil_released_calls"]

try:
    from ._quolm import EchoCanceller, EchoStatus
    __all__ += ["EchoCanceller", "EchoStatus"]
except ImportError:  # the package was built without the canceller
    def __getattr__(name):
        if name in ("EchoCanceller", "EchoStatus"):
            raise AttributeError(f"quolm.{name}: this build of quolm has no echo canceller "
                                 "(it was configured with QUOLM_BUILD_AEC=OFF)")
        raise AttributeError(f"module 'quolm' has no attribute {name!r}")
