# SPDX-License-Identifier: MIT
"""Filters on several threads: separate filters give what one thread gives,
the loops run without the GIL, and a shared filter serves one call at a time."""
import threading

import numpy as np

import quolm
from conftest import make, run, signals

NAMES = ("Nlms", "Rls", "Pbfdaf", "RlsLbpef", "Tdlms", "LmsLattice")


def run_all(jobs, threads):
    results = [None] * len(jobs)

    def work(i):
        results[i] = jobs[i]()

    if not threads:
        for i in range(len(jobs)):
            work(i)
        return results
    ts = [threading.Thread(target=work, args=(i,)) for i in range(len(jobs))]
    for t in ts:
        t.start()
    for t in ts:
        t.join()
    return results


def test_separate_filters_on_threads_match_one_thread():
    x, d, ar = signals(np.float32, 20000)

    def jobs():
        filters = [make(name, np.float32) for name in NAMES * 2]
        return [lambda f=f: run(f, x, d, ar) + (f.coefficients,) for f in filters]

    alone, together = run_all(jobs(), threads=False), run_all(jobs(), threads=True)
    for a, b in zip(alone, together):
        for u, v in zip(a, b):
            np.testing.assert_array_equal(u, v)


def test_whole_signal_calls_release_the_gil():
    before = quolm.gil_released_calls()
    quolm.Nlms(4, 0.1).filter_update(np.zeros(16), np.zeros(16))
    assert quolm.gil_released_calls() > before


def test_a_shared_filter_serves_one_call_at_a_time():
    x, d, _ = signals(np.float64, 40000)
    halves = [(x[:20000], d[:20000]), (x[20000:], d[20000:])]

    def after(order):
        f = quolm.Rls(8, 0.999, 0.1)
        for i in order:
            f.filter_update(*halves[i])
        return f.coefficients

    shared = quolm.Rls(8, 0.999, 0.1)
    run_all([lambda h=h: shared.filter_update(*h) for h in halves], threads=True)
    # Either order, never an interleaving of the two loops.
    assert any(np.array_equal(shared.coefficients, after(o)) for o in ((0, 1), (1, 0)))
