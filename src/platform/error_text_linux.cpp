// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>

#include "platform/error_text.h"

namespace corvane::platform {

std::string ErrorText(int error) {
  return std::strerror(error);
}

}  // namespace corvane::platform
