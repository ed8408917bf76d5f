// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the user's own programs are using a folder: the check that keeps an unmount from
// pulling a share away under an open file.

#include <string>

namespace corvane::platform {

// True when a process of the calling user holds a file open at or below folder, or has its
// working folder there. Processes the user may not inspect are not counted.
bool FolderInUse(const std::string& folder);

}  // namespace corvane::platform
