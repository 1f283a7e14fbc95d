// SPDX-License-Identifier: MIT
// quolm C++ layer: how failures are reported.
//
// With exceptions (the default), a failed construction, resize or copy, or a
// whole-signal call given ranges of the wrong size, throws quolm::Error with
// the library's code (-1 null pointer, -2 size or parameter out of range,
// -3 out of memory) and a message naming the operation and its values.
//
// Without exceptions (-fno-exceptions), the same calls return the code
// instead (checked calls return int: 0 or a count on success), and a filter
// is built with quolm::make, which returns the code:
//
//   std::optional<quolm::Nlms<float>> f;
//   if (int code = quolm::make(f, 32, 0.01f); code != 0) { /* f is empty */ }
//
// A filter whose construction failed is empty (explicit operator bool is
// false, status() holds the code); it may be destroyed or assigned to.
#ifndef QUOLM_ERROR_HPP
#define QUOLM_ERROR_HPP

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
#define QUOLM_CPP_EXCEPTIONS 1
#include <new>
#include <stdexcept>
#else
#define QUOLM_CPP_EXCEPTIONS 0
#endif

namespace quolm {

#if QUOLM_CPP_EXCEPTIONS
// A failed library call: code() is the library's negative return code.
class Error : public std::runtime_error {
 public:
  Error(int code, const std::string &message)
      : std::runtime_error(message), code_(code) {}
  int code() const noexcept { return code_; }

 private:
  int code_;
};
#endif

namespace detail {

inline const char *codeMeaning(int code) noexcept {
  switch (code) {
    case -1: return "null pointer";
    case -2: return "size or parameter out of range";
    case -3: return "out of memory";
    default: return "failed";
  }
}

inline std::string formatValue(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}
template <class V>
std::string formatValue(V *p) { return p ? "buffer" : "null"; }
inline std::string formatValue(unsigned long long v) { return std::to_string(v); }
inline std::string formatValue(long long v) { return std::to_string(v); }

template <class V>
std::string formatAny(V v) {
  if constexpr (std::is_pointer_v<V>) return formatValue(v);
  else if constexpr (std::is_floating_point_v<V>) return formatValue(double(v));
  else if constexpr (std::is_unsigned_v<V>) return formatValue(static_cast<unsigned long long>(v));
  else return formatValue(static_cast<long long>(v));
}

// "Nlms<float>::resize(n = 0): size or parameter out of range (code -2)";
// `names` lists the values' names separated by ", "; an empty `sample`
// names a class that is not a template.
template <class... V>
std::string describe(int code, const char *family, const char *sample,
                     const char *op, const char *names, V... values) {
  std::string text = std::string("quolm::") + family +
                     (*sample ? std::string("<") + sample + ">" : "") +
                     (*op ? "::" : "") + op + "(";
  std::string rest = names;
  bool first = true;
  auto one = [&](const std::string &value) {
    const size_t cut = rest.find(", ");
    text += (first ? "" : ", ") + rest.substr(0, cut) + " = " + value;
    rest = cut == std::string::npos ? "" : rest.substr(cut + 2);
    first = false;
  };
  (one(formatAny(values)), ...);
  return text + "): " + codeMeaning(code) + " (code " + std::to_string(code) + ")";
}

// Reports a failed call: throws, or returns the code without exceptions.
template <class... V>
int fail(int code, const char *family, const char *sample, const char *op,
         const char *names, V... values) {
#if QUOLM_CPP_EXCEPTIONS
  throw Error(code, describe(code, family, sample, op, names, values...));
#else
  (void)family, (void)sample, (void)op, (void)names, ((void)values, ...);
  return code;
#endif
}

}  // namespace detail

// Builds a filter in `out` without throwing: returns 0, or the library's
// negative code and leaves `out` empty.
template <class F, class... A>
int make(std::optional<F> &out, A &&...args) noexcept {
  out.reset();
#if QUOLM_CPP_EXCEPTIONS
  try {
    out.emplace(std::forward<A>(args)...);
  } catch (const Error &e) {
    return e.code();
  } catch (const std::bad_alloc &) {  // while composing an error message
    return -3;
  }
  return 0;
#else
  out.emplace(std::forward<A>(args)...);
  const int code = out->status();
  if (code != 0) out.reset();
  return code;
#endif
}

}  // namespace quolm

#endif
