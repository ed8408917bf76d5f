// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File names a person types or reads, as std::filesystem paths. Corvane's texts are UTF-8;
// Linux takes the bytes as they are, Windows' paths are UTF-16, which std::filesystem would
// otherwise convert from and to the legacy code page.

#include <filesystem>
#include <string>
#include <string_view>

namespace corvane::platform {

std::filesystem::path PathFromText(std::string_view utf8);
std::string TextFromPath(const std::filesystem::path& path);

}  // namespace corvane::platform
