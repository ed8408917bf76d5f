// SPDX-License-Identifier: GPL-3.0-or-later
// The kernel modules' generated C, compiled natively, against glibc's converters
// over the whole input range.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "iconv_codec.h"
#include "nls_dump.h"
#include "nls_host.h"

namespace {

// The kernel's registry of character sets, as far as the modules use it.
struct Registry {
  std::map<std::string, nls_table*> tables;
  std::map<std::string, int> references;
  int nextRegisterResult = 0;
} registry;

}  // namespace

extern "C" int register_nls(nls_table* nls) {
  if (registry.nextRegisterResult != 0) return registry.nextRegisterResult;
  if (registry.tables.count(nls->charset)) return -16;
  registry.tables[nls->charset] = nls;
  return 0;
}

extern "C" int unregister_nls(nls_table* nls) {
  return registry.tables.erase(nls->charset) ? 0 : -22;
}

extern "C" nls_table* load_nls(char* charset) {
  const auto found = registry.tables.find(charset);
  if (found == registry.tables.end()) return nullptr;
  ++registry.references[charset];
  return found->second;
}

extern "C" void unload_nls(nls_table* nls) {
  if (nls != nullptr) --registry.references[nls->charset];
}

namespace corvane::language {
namespace {

using testing::CodeBytes;
using testing::IconvCodec;

constexpr int kEinval = -22;
constexpr int kNameTooLong = -36;

struct ModuleEntry {
  int (*init)();
  void (*exit)();
};

const std::map<std::string, ModuleEntry>& Modules() {
  static const std::map<std::string, ModuleEntry> modules = {
      {"cp850", {nls_host_init_cp850, nls_host_exit_cp850}},
      {"cp866", {nls_host_init_cp866, nls_host_exit_cp866}},
      {"koi8-r", {nls_host_init_koi8_r, nls_host_exit_koi8_r}},
      {"cp932", {nls_host_init_cp932, nls_host_exit_cp932}},
      {"cp936", {nls_host_init_cp936, nls_host_exit_cp936}},
      {"cp949", {nls_host_init_cp949, nls_host_exit_cp949}},
      {"cp950", {nls_host_init_cp950, nls_host_exit_cp950}},
      {"big5", {nls_host_init_big5, nls_host_exit_big5}},
      {"gb2312", {nls_host_init_gb2312, nls_host_exit_gb2312}},
      {"euc-kr", {nls_host_init_euc_kr, nls_host_exit_euc_kr}},
      {"sjis", {nls_host_init_sjis, nls_host_exit_sjis}},
      {"euc-jp", {nls_host_init_euc_jp, nls_host_exit_euc_jp}},
  };
  return modules;
}

// Loads modules in order and unloads them in reverse when it goes.
class LoadedModules {
 public:
  explicit LoadedModules(std::vector<std::string> names) {
    for (const std::string& name : names) {
      const int result = Modules().at(name).init();
      EXPECT_EQ(result, 0) << name;
      if (result == 0) loaded_.push_back(name);
    }
  }
  ~LoadedModules() {
    for (auto it = loaded_.rbegin(); it != loaded_.rend(); ++it) Modules().at(*it).exit();
  }
  const nls_table& operator[](const std::string& name) const { return *registry.tables.at(name); }

 private:
  std::vector<std::string> loaded_;
};

struct Decoded {
  int result;
  unsigned short uni;
};

Decoded Char2Uni(const nls_table& table, std::vector<std::uint8_t> raw) {
  unsigned short uni = 0;
  const int result = table.char2uni(raw.data(), static_cast<int>(raw.size()), &uni);
  return {result, uni};
}

std::vector<std::uint8_t> Uni2Char(const nls_table& table, unsigned uni, int boundlen,
                                   int* result) {
  unsigned char out[3] = {0, 0, 0};
  *result = table.uni2char(static_cast<unsigned short>(uni), out, boundlen);
  if (*result <= 0) return {};
  return std::vector<std::uint8_t>(out, out + *result);
}

struct ModuleCase {
  std::string charset;
  std::string page;  // as the classic tables name it
  std::string iconvName;
};

class SingleByteModule : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(SingleByteModule, DecodesEveryByteAsIconvDoes) {
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  const IconvCodec codec(GetParam().iconvName);
  for (unsigned byte = 1; byte < 256; ++byte) {
    const Decoded decoded = Char2Uni(table, {static_cast<std::uint8_t>(byte)});
    const auto expected = codec.Decode(CodeBytes(byte));
    ASSERT_TRUE(expected) << byte;
    ASSERT_EQ(decoded.result, 1) << byte;
    EXPECT_EQ(decoded.uni, *expected) << byte;
  }
  EXPECT_EQ(Char2Uni(table, {0}).result, kEinval);
}

TEST_P(SingleByteModule, EncodesEveryCharacterAsIconvDoes) {
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  const IconvCodec codec(GetParam().iconvName);
  for (unsigned uni = 1; uni < 0x10000; ++uni) {
    int result = 0;
    const auto bytes = Uni2Char(table, uni, 1, &result);
    const auto expected = codec.Encode(uni);
    if (expected && codec.Decode(*expected) == char32_t(uni)) {
      ASSERT_EQ(result, 1) << "U+" << std::hex << uni;
      EXPECT_EQ(bytes, *expected) << "U+" << std::hex << uni;
    } else {
      ASSERT_EQ(result, kEinval) << "U+" << std::hex << uni;
    }
  }
  unsigned char out[1];
  EXPECT_EQ(table.uni2char('A', out, 0), kNameTooLong);
}

TEST_P(SingleByteModule, CaseTablesFollowUnicode) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  const IconvCodec codec(GetParam().iconvName);
  for (unsigned byte = 0; byte < 256; ++byte) {
    const char32_t c = codec.Decode(CodeBytes(byte)).value_or(0);
    for (const bool upper : {false, true}) {
      const char32_t other = upper ? std::towupper(c) : std::towlower(c);
      const auto other_bytes = codec.Encode(other);
      unsigned expected = byte;
      if (other != c && other_bytes && other_bytes->size() == 1) expected = (*other_bytes)[0];
      const unsigned char* cases = upper ? table.charset2upper : table.charset2lower;
      EXPECT_EQ(cases[byte], expected) << (upper ? "upper " : "lower ") << byte;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, SingleByteModule,
                         ::testing::Values(ModuleCase{"cp850", "850", "CP850"},
                                           ModuleCase{"cp866", "866", "CP866"},
                                           ModuleCase{"koi8-r", "KOI8-R", "KOI8-R"}),
                         [](const ::testing::TestParamInfo<ModuleCase>& test) {
                           return test.param.page == "KOI8-R" ? "Koi8R" : test.param.charset;
                         });

class DoubleByteModule : public ::testing::TestWithParam<ModuleCase> {
 protected:
  // iconv's decoding of `code`, unless the classic table leaves it out.
  std::optional<char32_t> Classic(const IconvCodec& codec, unsigned code) const {
    const auto c = codec.Decode(CodeBytes(code));
    if (!c || (testing::IsPrivateUse(*c) && GetParam().page == "950") ||
        testing::LeftOutOfClassicTable(GetParam().page, code)) {
      return std::nullopt;
    }
    return c;
  }
};

TEST_P(DoubleByteModule, DecodesEverySequenceAsIconvDoes) {
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  const IconvCodec codec(GetParam().iconvName);
  for (unsigned first = 1; first < 256; ++first) {
    const auto b0 = static_cast<std::uint8_t>(first);
    const Decoded single = Char2Uni(table, {b0});
    const auto single_expected = Classic(codec, first);
    if (single.result == 1) {
      ASSERT_EQ(single_expected, char32_t(single.uni)) << std::hex << first;
    } else {
      ASSERT_EQ(single.result, kEinval);
      ASSERT_FALSE(single_expected) << std::hex << first;
    }
    for (unsigned second = 0; second < 256; ++second) {
      const unsigned code = first << 8 | second;
      const Decoded pair = Char2Uni(table, {b0, static_cast<std::uint8_t>(second)});
      if (pair.result == 1) {
        ASSERT_EQ(single.result, 1) << std::hex << code;
        ASSERT_EQ(pair.uni, single.uni) << std::hex << code;
        continue;
      }
      const auto expected = Classic(codec, code);
      if (pair.result == 2) {
        ASSERT_EQ(expected, char32_t(pair.uni)) << std::hex << code;
      } else {
        ASSERT_EQ(pair.result, kEinval) << std::hex << code;
        ASSERT_FALSE(expected) << std::hex << code;
      }
    }
  }
}

TEST_P(DoubleByteModule, EncodesEveryCharacterSoThatIconvDecodesIt) {
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  const IconvCodec codec(GetParam().iconvName);
  for (unsigned uni = 1; uni < 0x10000; ++uni) {
    int result = 0;
    const auto bytes = Uni2Char(table, uni, 2, &result);
    if (result > 0) {
      ASSERT_EQ(codec.Decode(bytes), char32_t(uni)) << "U+" << std::hex << uni;
      if (result == 2) {
        int short_result = 0;
        Uni2Char(table, uni, 1, &short_result);
        EXPECT_EQ(short_result, kNameTooLong);
      }
      continue;
    }
    ASSERT_EQ(result, kEinval);
    const auto expected = codec.Encode(uni);
    if (!expected || expected->size() > 2 || codec.Decode(*expected) != char32_t(uni)) continue;
    const unsigned code =
        expected->size() == 1 ? (*expected)[0] : (*expected)[0] << 8 | (*expected)[1];
    ASSERT_FALSE(Classic(codec, code)) << "U+" << std::hex << uni << " not encoded";
  }
}

TEST_P(DoubleByteModule, CaseTablesChangeOnlyAsciiLetters) {
  LoadedModules modules({GetParam().charset});
  const nls_table& table = modules[GetParam().charset];
  for (unsigned byte = 0; byte < 256; ++byte) {
    const bool lower = byte >= 'a' && byte <= 'z';
    const bool upper = byte >= 'A' && byte <= 'Z';
    EXPECT_EQ(table.charset2upper[byte], lower ? byte - 32 : byte);
    EXPECT_EQ(table.charset2lower[byte], upper ? byte + 32 : byte);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, DoubleByteModule,
    ::testing::Values(ModuleCase{"cp932", "932", "CP932"}, ModuleCase{"cp936", "936", "GBK"},
                      ModuleCase{"cp949", "949", "CP949"}, ModuleCase{"cp950", "950", "CP950"}),
    [](const ::testing::TestParamInfo<ModuleCase>& test) { return test.param.charset; });

TEST(EucJpModule, DecodesEverySequenceAsTheMicrosoftCompatibleEucDoes) {
  LoadedModules modules({"cp932", "euc-jp"});
  const nls_table& table = modules["euc-jp"];
  const nls_table& cp932 = modules["cp932"];
  const IconvCodec codec("EUC-JP-MS");
  auto cp932_has = [&](char32_t c) {
    int result = 0;
    Uni2Char(cp932, c, 2, &result);
    return result > 0;
  };
  std::size_t decoded = 0;
  auto check = [&](const std::vector<std::uint8_t>& raw) {
    const Decoded got = Char2Uni(table, raw);
    if (got.result > 0 && std::size_t(got.result) < raw.size()) return;  // shorter code first
    const auto expected = codec.Decode(raw);
    if (got.result > 0) {
      ++decoded;
      ASSERT_EQ(expected, char32_t(got.uni)) << ::testing::PrintToString(raw);
    } else {
      ASSERT_EQ(got.result, kEinval);
      ASSERT_FALSE(expected && *expected != 0 && cp932_has(*expected))
          << ::testing::PrintToString(raw) << " not decoded";
    }
  };
  for (unsigned first = 0; first < 256; ++first) {
    const auto b0 = static_cast<std::uint8_t>(first);
    check({b0});
    for (unsigned second = 0; second < 256; ++second) {
      check({b0, static_cast<std::uint8_t>(second)});
      check({0x8F, b0, static_cast<std::uint8_t>(second)});
    }
  }
  EXPECT_GT(decoded, 9000u);
}

TEST(EucJpModule, EncodesEveryCp932CharacterSoThatTheEucDecodesIt) {
  LoadedModules modules({"cp932", "euc-jp"});
  const nls_table& table = modules["euc-jp"];
  const nls_table& cp932 = modules["cp932"];
  const IconvCodec codec("EUC-JP-MS");
  for (unsigned uni = 1; uni < 0x10000; ++uni) {
    int result = 0;
    const auto bytes = Uni2Char(table, uni, 3, &result);
    if (result > 0) {
      ASSERT_EQ(codec.Decode(bytes), char32_t(uni)) << "U+" << std::hex << uni;
      int short_result = 0;
      Uni2Char(table, uni, result - 1, &short_result);
      EXPECT_EQ(short_result, kNameTooLong);
      continue;
    }
    int cp932_result = 0;
    Uni2Char(cp932, uni, 2, &cp932_result);
    ASSERT_FALSE(cp932_result > 0 && codec.Encode(uni)) << "U+" << std::hex << uni;
  }
}

TEST(BorrowingModules, ServeTheirBaseTablesUnderTheirOwnName) {
  const std::pair<const char*, const char*> pairs[] = {
      {"big5", "cp950"}, {"gb2312", "cp936"}, {"euc-kr", "cp949"}, {"sjis", "cp932"}};
  for (const auto& [name, base] : pairs) {
    {
      LoadedModules modules({base, name});
      const nls_table& table = modules[name];
      const nls_table& base_table = modules[base];
      EXPECT_STREQ(table.charset, name);
      EXPECT_EQ(table.char2uni, base_table.char2uni) << name;
      EXPECT_EQ(table.uni2char, base_table.uni2char) << name;
      EXPECT_EQ(table.charset2lower, base_table.charset2lower) << name;
      EXPECT_EQ(table.charset2upper, base_table.charset2upper) << name;
      EXPECT_EQ(registry.references[base], 1) << name;
    }
    EXPECT_EQ(registry.references[base], 0) << name << " keeps its base loaded";
    EXPECT_TRUE(registry.tables.empty());
  }
}

TEST(BorrowingModules, FailWithoutTheirBaseAndReleaseItWhenRegistrationFails) {
  EXPECT_EQ(nls_host_init_big5(), kEinval);
  EXPECT_TRUE(registry.tables.empty());
  for (const auto& [name, base] :
       {std::pair<const char*, const char*>{"sjis", "cp932"}, {"euc-jp", "cp932"}}) {
    LoadedModules modules({base});
    registry.nextRegisterResult = -12;
    EXPECT_EQ(Modules().at(name).init(), -12) << name;
    registry.nextRegisterResult = 0;
    EXPECT_EQ(registry.references[base], 0) << name;
  }
}

}  // namespace
}  // namespace corvane::language

namespace corvane::language {
namespace {

std::string FindInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

std::string RunProgram(const std::string& emulator, const std::string& program, int* status) {
  const std::string command = "'" + emulator + "' '" + program + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  if (pipe == nullptr) return output;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
    output.append(chunk, n);
  }
  *status = pclose(pipe);
  return output;
}

std::string NativeDump(const std::string& charset) {
  std::vector<std::string> names = {charset};
  if (charset == "euc-jp") names.insert(names.begin(), "cp932");
  LoadedModules modules(names);
  const nls_table& table = modules[charset];
  const int max_length = charset == "euc-jp" ? 3 : charset.starts_with("cp9") ? 2 : 1;
  std::string stream;
  nls_dump(
      table.uni2char, table.char2uni, max_length,
      [](const unsigned char* bytes, unsigned count, void* context) {
        static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), count);
      },
      &stream);
  return stream;
}

struct EmulatedCase {
  std::string file;
  std::string charset;
};

class EmulatedModule : public ::testing::TestWithParam<EmulatedCase> {};

TEST_P(EmulatedModule, CrossBuiltPayloadConvertsLikeTheNativeBuild) {
  const bool powerpc = GetParam().file.ends_with(".o");
  const std::string emulator = FindInPath(powerpc ? "qemu-ppc" : "qemu-arm");
  if (emulator.empty()) GTEST_SKIP() << "qemu-user is not installed";
  int status = -1;
  const std::string emulated =
      RunProgram(emulator, std::string(CORVANE_EMULATED_DIR) + "/emu_" + GetParam().file, &status);
  ASSERT_EQ(status, 0) << GetParam().file;
  const std::string native = NativeDump(GetParam().charset);
  ASSERT_EQ(emulated.size(), native.size()) << GetParam().file;
  const auto mismatch = std::mismatch(native.begin(), native.end(), emulated.begin());
  EXPECT_TRUE(mismatch.first == native.end())
      << GetParam().file << " differs at byte " << (mismatch.first - native.begin());
}

std::vector<EmulatedCase> EmulatedCases() {
  std::vector<EmulatedCase> cases;
  for (const char* suffix : {".o", ".ko", "_12.ko"}) {
    for (const char* charset :
         {"cp850", "cp866", "koi8-r", "cp932", "cp936", "cp949", "cp950", "euc-jp"}) {
      cases.push_back({std::string("nls_") + charset + suffix, charset});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(All, EmulatedModule, ::testing::ValuesIn(EmulatedCases()),
                         [](const ::testing::TestParamInfo<EmulatedCase>& test) {
                           std::string name = test.param.file;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace corvane::language
