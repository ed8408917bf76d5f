// SPDX-License-Identifier: GPL-3.0-or-later
// Every kernel module payload against what the device kernels' module loaders accept.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "language/payload_catalogue.h"
#include "module_elf_check.h"

namespace corvane::language {
namespace {

using testing::CheckModule;
using testing::KernelBuild;

KernelBuild BuildOf(std::string_view file_name) {
  if (file_name.ends_with("_12.ko")) return KernelBuild::kArm2612;
  if (file_name.ends_with(".ko")) return KernelBuild::kArm266;
  return KernelBuild::kPowerPc24;
}

// "nls_euc-jp_12.ko" -> "nls_euc_jp", as the kernel's build would name it.
std::string ModuleName(std::string_view file_name) {
  std::string name(file_name.substr(0, file_name.find('.')));
  if (name.ends_with("_12")) name.resize(name.size() - 3);
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

std::string Join(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& p : problems) text += "\n  " + p;
  return text;
}

TEST(ModuleElf, EveryModuleSuitsItsKernelsLoader) {
  std::size_t modules = 0;
  for (const Payload& payload : AllPayloads()) {
    if (!payload.fileName.starts_with("nls_")) continue;
    ++modules;
    const auto problems =
        CheckModule(payload.bytes, BuildOf(payload.fileName), ModuleName(payload.fileName));
    EXPECT_TRUE(problems.empty()) << payload.fileName << Join(problems);
  }
  EXPECT_EQ(modules, 28u);
}

TEST(ModuleElf, ModulesOfTheOtherKernelAreRefused) {
  const auto powerpc = LookUpPayload(145).value();  // nls_cp850.o
  const auto arm = LookUpPayload(179).value();      // nls_cp850.ko
  EXPECT_FALSE(CheckModule(powerpc.bytes, KernelBuild::kArm266, "nls_cp850").empty());
  EXPECT_FALSE(CheckModule(arm.bytes, KernelBuild::kPowerPc24, "nls_cp850").empty());
  EXPECT_FALSE(CheckModule(arm.bytes, KernelBuild::kArm2612, "nls_cp850").empty());
  EXPECT_FALSE(CheckModule(arm.bytes, KernelBuild::kArm266, "nls_cp866").empty());
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool Mentions(const std::vector<std::string>& problems, std::string_view word) {
  return std::any_of(problems.begin(), problems.end(),
                     [&](const std::string& p) { return p.find(word) != std::string::npos; });
}

// The same C built with the cross compilers' defaults (EABI, position-independent
// code) must fail the check.
TEST(ModuleElf, DefaultCompilerOutputIsRefused) {
  const auto eabi = ReadFile(CORVANE_BAD_ARM_MODULE);
  const auto pic = ReadFile(CORVANE_BAD_PPC_MODULE);
  ASSERT_FALSE(eabi.empty());
  ASSERT_FALSE(pic.empty());
  const auto eabi_problems = CheckModule(eabi, KernelBuild::kArm266, "nls_cp850");
  EXPECT_TRUE(Mentions(eabi_problems, "ABI: built for the EABI")) << Join(eabi_problems);
  EXPECT_TRUE(Mentions(eabi_problems, "relocation kind")) << Join(eabi_problems);
  const auto pic_problems = CheckModule(pic, KernelBuild::kPowerPc24, "nls_cp850");
  EXPECT_TRUE(Mentions(pic_problems, "relocation kind") || Mentions(pic_problems, ".got2"))
      << Join(pic_problems);
}

}  // namespace
}  // namespace corvane::language
