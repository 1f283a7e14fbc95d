# SPDX-License-Identifier: MIT
"""The echo canceller: it cancels a synthetic echo, the whole-signal call is the
frame loop, bad arguments raise, and bad samples give finite output."""
import os

import numpy as np
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from hypothesis.extra import numpy as hnp

import quolm

RATE, FRAME, TAIL = 16000, 64, 512
needs_aec = pytest.mark.skipif(not hasattr(quolm, "EchoCanceller"),
                               reason="built without the echo canceller")


def echo(seconds, delay=40):
    """White far end and its echo through a decaying path whose strongest tap is `delay`."""
    rng = np.random.default_rng(3)
    n = int(seconds * RATE)
    far = rng.standard_normal(n).astype(np.float32)
    path = np.zeros(delay + 200)
    path[delay] = 0.8
    path[delay + 1:] = 0.3 * rng.standard_normal(199) * np.exp(-np.arange(199) / 40)
    return far, np.convolve(far, path)[:n].astype(np.float32)


def canceller(**kwargs):
    return quolm.EchoCanceller(RATE, FRAME, **(kwargs or dict(tail_taps=TAIL)))


def test_the_canceller_is_there_exactly_when_built():
    built = os.environ.get("QUOLM_BUILD_AEC")  # set by the ctest registration
    if built is None:
        pytest.skip("run outside ctest: the build's setting is unknown")
    assert hasattr(quolm, "EchoCanceller") == (built == "ON")
    if built == "OFF":
        with pytest.raises(AttributeError, match="QUOLM_BUILD_AEC=OFF"):
            quolm.EchoCanceller(RATE, FRAME, tail_taps=TAIL)


@needs_aec
def test_single_talk_converges_and_reports_it():
    far, echoed = echo(1.0)
    noise = (0.03 * echoed.std() * np.random.default_rng(4).standard_normal(len(far))).astype(np.float32)
    aec = canceller()
    out = aec.process_signal(far, echoed + noise)  # 30 dB below the echo
    last = slice(-RATE // 2, None)
    residual = out[last] - noise[last]
    assert 10 * np.log10(np.sum(echoed[last] ** 2.0) / np.sum(residual ** 2.0)) > 33
    s = aec.status
    assert s.erle > 27 and s.adapted and not s.double_talk and s.frames == len(far) // FRAME, s
    assert aec.echo_delay == 40


@needs_aec
def test_whole_signals_are_the_frame_loop():
    far, mic = echo(0.5)
    whole, framed = canceller(), canceller()
    expected = whole.process_signal(far, mic)
    ints = np.round(mic * 1000).astype(np.int16)  # exact in float32
    for i in range(0, len(far), FRAME):
        f, m = far[i:i + FRAME], mic[i:i + FRAME].copy()
        assert framed.process(f, m, out=m) is m  # in place, over the microphone frame
        np.testing.assert_array_equal(m, expected[i:i + FRAME])
    assert framed.status == whole.status
    np.testing.assert_array_equal(canceller().process_signal(far, ints),
                                  canceller().process_signal(far, ints.astype(np.float32)))


@needs_aec
def test_reset_starts_over():
    far, mic = echo(0.5)
    mic[7] = np.nan
    aec = canceller()
    first = aec.process_signal(far, mic)
    aec.reset()
    assert aec.status.frames == 0 and aec.nonfinite_samples == 0
    np.testing.assert_array_equal(aec.process_signal(far, mic), first)


@needs_aec
@pytest.mark.parametrize("kwargs, taps", [
    (dict(tail_taps=500), 512),  # whole frames
    (dict(tail_ms=30), 512),  # 480 taps
    (dict(tail_ms=0), 64),
])
def test_tails_round_up_to_whole_frames(kwargs, taps):
    aec = canceller(**kwargs)
    assert (aec.tail_taps, aec.frame_size, aec.sample_rate) == (taps, FRAME, RATE)
    assert repr(aec) == f"quolm.EchoCanceller(sample_rate=16000, frame_size=64, tail_taps={taps})"


@needs_aec
@pytest.mark.parametrize("args, kwargs, error, names", [
    ((500, FRAME), dict(tail_taps=TAIL), ValueError, "sample_rate"),
    ((384001, FRAME), dict(tail_taps=TAIL), ValueError, "sample_rate"),
    ((16000.0, FRAME), dict(tail_taps=TAIL), TypeError, "sample_rate"),
    ((RATE, 0), dict(tail_taps=TAIL), ValueError, "frame_size"),
    ((RATE, 16385), dict(tail_taps=TAIL), ValueError, "frame_size"),
    ((RATE, FRAME), dict(), TypeError, "exactly one"),
    ((RATE, FRAME), dict(tail_taps=TAIL, tail_ms=32), TypeError, "exactly one"),
    ((RATE, FRAME), dict(tail_taps=0), ValueError, "tail_taps"),
    ((RATE, FRAME), dict(tail_taps=2**20 + 1), ValueError, "tail_taps"),
    ((RATE, FRAME), dict(tail_ms=float("nan")), ValueError, "tail_ms"),
    ((RATE, FRAME), dict(tail_ms=-1), ValueError, "tail_ms"),
    ((RATE, FRAME), dict(tail_ms=1e9), ValueError, "tail_ms"),
    ((RATE, FRAME), dict(tail_ms="32"), TypeError, "tail_ms"),
    ((RATE, FRAME, 512), dict(), TypeError, ""),  # the tail is keyword-only
])
def test_bad_parameters_name_themselves(args, kwargs, error, names):
    with pytest.raises(error, match=names):
        quolm.EchoCanceller(*args, **kwargs)


frame = np.zeros(FRAME, np.float32)
readonly = np.zeros(FRAME, np.float32)
readonly.flags.writeable = False


@needs_aec
@pytest.mark.parametrize("call, error, names", [
    (lambda a: a.process(frame[:-1], frame[:-1]), ValueError, "frame_size = 64 samples, got 63"),
    (lambda a: a.process(frame, np.zeros(2 * FRAME, np.float32)), ValueError, "same length"),
    (lambda a: a.process(frame.astype(np.float64), frame), TypeError, "far has dtype"),
    (lambda a: a.process(frame, frame.reshape(8, 8)), ValueError, "mic must be one-dimensional"),
    (lambda a: a.process(frame, frame, out=np.zeros(FRAME)), TypeError, "out"),
    (lambda a: a.process(frame, frame, out=np.zeros(FRAME, ">f4")), TypeError, "out"),
    (lambda a: a.process(frame, frame, out=np.zeros(2 * FRAME, np.float32)[::2]), ValueError,
     "out must be contiguous"),
    (lambda a: a.process(frame, frame, out=np.zeros(FRAME + 1, np.float32)), ValueError,
     r"out must have shape \(64,\)"),
    (lambda a: a.process(frame, frame, out=readonly), ValueError, "out is read-only"),
    (lambda a: a.process_signal(np.zeros(100, np.float32), np.zeros(100, np.float32)), ValueError,
     "whole number of frames of frame_size = 64"),
    (lambda a: a.process_signal(np.zeros(128, np.float32), frame), ValueError, "same length"),
])
def test_bad_frames_raise_before_touching_the_state(call, error, names):
    aec = canceller()
    with pytest.raises(error, match=names):
        call(aec)
    assert aec.status.frames == 0


@needs_aec
@pytest.mark.parametrize("bad", [np.nan, np.inf, -np.inf, 3e38])
def test_bad_samples_give_finite_output(bad):
    far, mic = echo(0.5)
    aec = canceller()
    aec.process_signal(far, mic)
    far[:FRAME:3] = mic[1:FRAME:5] = bad
    before = quolm.gil_released_calls()
    out = aec.process_signal(far, mic)
    assert np.all(np.isfinite(out)) and quolm.gil_released_calls() > before
    assert aec.nonfinite_samples == (0 if np.isfinite(bad) else len(range(0, FRAME, 3)) +
                                     len(range(1, FRAME, 5)))


frames = hnp.arrays(st.sampled_from([np.float16, np.float32, np.float32, np.float64, np.int16,
                                     np.int32, np.uint8, np.complex64]),
                    st.sampled_from([(4,), (4,), (4,), (3,), (8,), (2, 2), ()]))


@needs_aec
@settings(max_examples=200, deadline=None)
@given(far=frames, mic=frames, out=st.one_of(st.none(), frames))
def test_random_frames_either_run_or_raise(far, mic, out):
    aec = quolm.EchoCanceller(RATE, 4, tail_taps=8)
    try:
        y = aec.process(far, mic, out=out)
    except (TypeError, ValueError) as e:
        assert any(word in str(e) for word in ("far", "mic", "out")), str(e)
        return
    assert y.dtype == np.float32 and y.shape == (4,) and np.all(np.isfinite(y))
