// SPDX-License-Identifier: MIT
// quolm C++ layer: a contiguous range of samples (pointer and length), made
// from a pointer and a count or from any container with data() and size()
// (std::vector, std::array, C arrays). The layer's range-taking calls take
// Span, so they accept all of these.
#ifndef QUOLM_SPAN_HPP
#define QUOLM_SPAN_HPP

#include <cstddef>
#include <iterator>
#include <type_traits>

namespace quolm {

template <class T>
class Span {
 public:
  constexpr Span() noexcept = default;
  constexpr Span(T *data, std::size_t size) noexcept : data_(data), size_(size) {}
  // Temporaries only for read-only ranges (Span<const T>).
  template <class C,
            class = std::enable_if_t<
                std::is_convertible_v<decltype(std::data(std::declval<C &>())), T *> &&
                (std::is_lvalue_reference_v<C> || std::is_const_v<T>)>>
  constexpr Span(C &&c) noexcept : data_(std::data(c)), size_(std::size(c)) {}

  constexpr T *data() const noexcept { return data_; }
  constexpr std::size_t size() const noexcept { return size_; }

 private:
  T *data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace quolm

#endif
