// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::language::testing {

enum class KernelBuild { kPowerPc24, kArm266, kArm2612 };

// Everything about a kernel module file that the device kernel's module loader
// would refuse or misread; empty when the file looks loadable. `moduleName` is
// the name the module gives itself (2.6 only).
std::vector<std::string> CheckModule(std::span<const std::uint8_t> file, KernelBuild build,
                                     const std::string& moduleName);

}  // namespace corvane::language::testing
