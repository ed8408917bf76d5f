// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane::language::testing {

// glibc's converters, the reference the payload tables are checked against.
class IconvCodec {
 public:
  explicit IconvCodec(const std::string& charset)
      : decoder_(Open("UTF-32LE", charset)), encoder_(Open(charset, "UTF-32LE")) {}
  ~IconvCodec() {
    iconv_close(decoder_);
    iconv_close(encoder_);
  }
  IconvCodec(const IconvCodec&) = delete;
  IconvCodec& operator=(const IconvCodec&) = delete;

  // The one character that `bytes` stand for, or nothing.
  std::optional<char32_t> Decode(const std::vector<std::uint8_t>& bytes) const {
    const std::vector<std::uint8_t> out = Convert(decoder_, bytes);
    if (out.size() != 4) return std::nullopt;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
  }

  // The bytes for one character, or nothing when the code page lacks it.
  std::optional<std::vector<std::uint8_t>> Encode(char32_t c) const {
    const std::vector<std::uint8_t> in = {
        static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
        static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 24)};
    std::vector<std::uint8_t> out = Convert(encoder_, in);
    if (out.empty()) return std::nullopt;
    return out;
  }

 private:
  static iconv_t Open(const std::string& to, const std::string& from) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv lacks " + from + " -> " + to);
    }
    return cd;
  }

  // Empty when the input is not one complete, valid sequence.
  static std::vector<std::uint8_t> Convert(iconv_t cd, const std::vector<std::uint8_t>& in) {
    std::vector<char> source(in.begin(), in.end());
    char buffer[32];
    char* in_ptr = source.data();
    char* out_ptr = buffer;
    std::size_t in_left = source.size();
    std::size_t out_left = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0 ||
        iconv(cd, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
      return {};
    }
    return std::vector<std::uint8_t>(buffer, out_ptr);
  }

  iconv_t decoder_;
  iconv_t encoder_;
};

inline std::vector<std::uint8_t> CodeBytes(unsigned code) {
  if (code <= 0xFF) return {static_cast<std::uint8_t>(code)};
  return {static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)};
}

// Codes the classic vendor tables did not have although today's converters map them.
inline bool LeftOutOfClassicTable(const std::string& page, unsigned code) {
  if (page == "932") return code == 0x80 || code == 0xA0 || (code >= 0xFD && code <= 0xFF);
  if (page == "936") return code == 0x80;
  if (page == "949") return code == 0xA2E6 || code == 0xA2E7;
  if (page == "950") {
    return code == 0x80 || code == 0xA3E1 || (code >= 0xC6A1 && code <= 0xC6FE) ||
           (code >= 0xC740 && code <= 0xC77E) || (code >= 0xC7A1 && code <= 0xC7FC);
  }
  return false;
}

inline bool IsPrivateUse(char32_t c) {
  return c >= 0xE000 && c <= 0xF8FF;
}

}  // namespace corvane::language::testing
