// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace corvane::cli {

// `corvane payloads [--extract DIR]`: lists the installer's payloads (id, file
// name, size) or writes all of them into DIR under their device file names.
// `args` is what follows "payloads". Returns the exit status: 0 done, 1 failed
// (a file could not be written), 2 usage error.
int RunPayloadsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace corvane::cli
