// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_names.h"

namespace corvane::platform {

std::filesystem::path PathFromText(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

std::string TextFromPath(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace corvane::platform
