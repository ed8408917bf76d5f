// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace corvane::protocol {

// A zero-terminated single-byte text in a buffer of N bytes, as the devices and the request
// buffers define them. Writes are cut to N - 1 bytes so the terminator always fits.
template <std::size_t N>
class FixedText {
  static_assert(N >= 1);

 public:
  static constexpr std::size_t kCapacity = N;

  FixedText() = default;
  explicit FixedText(std::string_view text) { Set(text); }

  void Set(std::string_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    if (length != 0) std::memcpy(bytes_.data(), text.data(), length);  // data() may be null
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(length), bytes_.end(), '\0');
  }
  void Clear() { bytes_.fill('\0'); }

  const char* c_str() const { return bytes_.data(); }
  std::string_view view() const { return {bytes_.data(), ::strnlen(bytes_.data(), N)}; }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return view().size(); }
  bool empty() const { return bytes_[0] == '\0'; }

  // Raw access for wire fields that are exactly N bytes wide.
  const std::array<char, N>& bytes() const { return bytes_; }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  std::array<char, N> bytes_{};
};

}  // namespace corvane::protocol
