// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_names.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {

std::filesystem::path PathFromText(std::string_view utf8) {
  return std::filesystem::path(Wide(utf8));
}

std::string TextFromPath(const std::filesystem::path& path) {
  return Utf8(path.native());
}

}  // namespace corvane::platform
