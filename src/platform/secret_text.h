// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// User names and passwords, held only while an operation needs them.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace corvane::platform {

// A text whose bytes are overwritten when it goes, or when it is moved away; it is never copied.
class SecretText {
 public:
  SecretText() = default;
  explicit SecretText(std::string_view text) : text_(text) {}
  SecretText(SecretText&& other) noexcept : text_(std::move(other.text_)) { other.Wipe(); }
  SecretText& operator=(SecretText&& other) noexcept {
    if (this != &other) {
      Wipe();
      text_ = std::move(other.text_);
      other.Wipe();
    }
    return *this;
  }
  SecretText(const SecretText&) = delete;
  SecretText& operator=(const SecretText&) = delete;
  ~SecretText() { Wipe(); }

  std::string_view view() const { return text_; }
  bool empty() const { return text_.empty(); }

  // Overwrites a text that held a secret and empties it. Through a volatile pointer, so that
  // the compiler cannot drop the stores to memory about to be freed; a string moved from keeps
  // its small-string bytes, and they go too.
  static void Wipe(std::string& text) noexcept {
    volatile char* byte = text.data();
    for (std::size_t k = 0; k < text.capacity(); ++k) byte[k] = '\0';
    text.clear();
  }

 private:
  void Wipe() noexcept { Wipe(text_); }

  std::string text_;
};

// What a device share or a device's administrator login is given.
struct Credentials {
  SecretText user;
  SecretText password;
};

}  // namespace corvane::platform
