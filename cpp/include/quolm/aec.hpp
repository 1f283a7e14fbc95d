// SPDX-License-Identifier: MIT
// quolm C++ layer: the echo canceller of libquolmaec (single precision) as a
// move-only class; link quolm::aec (CMake; pkg-config: quolm quolmaec).
//
//   quolm::EchoCanceller aec(16000, 128, quolm::EchoCanceller::tailTaps(16000, 128));
//   aec.process(far, mic, out);       // frameSize() samples each; out may be mic
//   float erle = aec.figures().erle;  // the C quolmAecStatus
//
// Not part of quolm.hpp, so that programs without the canceller need not
// find its header. Failures are reported as error.hpp describes; status()
// is the construction's code, as for the filters.
#ifndef QUOLM_AEC_HPP
#define QUOLM_AEC_HPP

#include <quolmaec.h>

#include <cstddef>

#include "error.hpp"
#include "span.hpp"

namespace quolm {

class EchoCanceller {
 public:
  // sampleRate 1000 .. 384000 Hz, frameSize 1 .. 16384 samples, tailTaps
  // 1 .. QUOLM_AEC_MAX_TAIL (rounded up to whole partitions).
  EchoCanceller(int sampleRate, int frameSize, int tailTaps) {
    const int code = quolmAecCreate(&aec_, sampleRate, frameSize, tailTaps);
    if (code != 0)
      status_ = failed(code, "", "sampleRate, frameSize, tailTaps", sampleRate, frameSize,
                       tailTaps);
  }
  EchoCanceller(EchoCanceller &&other) noexcept : aec_(other.aec_), status_(other.status_) {
    other.aec_ = nullptr;
    other.status_ = 0;
  }
  EchoCanceller &operator=(EchoCanceller &&other) noexcept {
    if (this != &other) {
      quolmAecDestroy(aec_);
      aec_ = other.aec_;
      status_ = other.status_;
      other.aec_ = nullptr;
      other.status_ = 0;
    }
    return *this;
  }
  EchoCanceller(const EchoCanceller &) = delete;
  EchoCanceller &operator=(const EchoCanceller &) = delete;
  ~EchoCanceller() { quolmAecDestroy(aec_); }

  // Taps for a tail in milliseconds (the C quolmAecTailTaps; -2 when out of
  // range, which the constructor then rejects).
  static int tailTaps(int sampleRate, float tailMs) noexcept {
    return quolmAecTailTaps(sampleRate, tailMs);
  }

  // False when moved from or when the construction failed.
  explicit operator bool() const noexcept { return aec_ != nullptr; }
  int status() const noexcept { return status_; }
  // The C handle, for calls the class does not wrap.
  quolmAec *handle() noexcept { return aec_; }

  std::size_t frameSize() const noexcept {
    return aec_ ? std::size_t(quolmAecFrameSize(aec_)) : 0;
  }
  std::size_t tailLength() const noexcept {
    return aec_ ? std::size_t(quolmAecTailLength(aec_)) : 0;
  }

  // One frame: out = mic without the echo of far. Returns the number of
  // non-finite samples taken as 0. Fails with -2, before touching any
  // sample, unless all three hold frameSize() samples; -1 when empty.
  int process(Span<const float> far, Span<const float> mic, Span<float> out) {
    const std::size_t n = frameSize();
    if (!aec_) return failed(-1, "process", "frameSize", n);
    if (far.size() != n || mic.size() != n || out.size() != n)
      return failed(-2, "process", "far.size(), mic.size(), out.size(), frameSize",
                    far.size(), mic.size(), out.size(), n);
    return process(far.data(), mic.data(), out.data());
  }
  // The same without size checks: frameSize() samples at each pointer.
  int process(const float *far, const float *mic, float *out) noexcept {
    return quolmAecProcess(aec_, far, mic, out);
  }

  // Forgets the echo path and the signal history.
  int reset() { return aec_ ? quolmAecReset(aec_) : failed(-1, "reset", "frameSize", 0); }

  // The monitoring figures after the last frame (all zero when empty).
  quolmAecStatus figures() const noexcept {
    quolmAecStatus s{};
    if (aec_) quolmAecGetStatus(aec_, &s);
    return s;
  }
  // The bulk delay in samples (two transforms per partition: not per frame).
  int echoDelay() noexcept { return aec_ ? quolmAecEchoDelay(aec_) : 0; }

 private:
  template <class... V>
  static int failed(int code, const char *op, const char *names, V... values) {
    return detail::fail(code, "EchoCanceller", "", op, names, values...);
  }

  quolmAec *aec_ = nullptr;
  int status_ = 0;
};

}  // namespace quolm

#endif
