// SPDX-License-Identifier: GPL-3.0-or-later
#include "module_elf_check.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace corvane::language::testing {

namespace {

constexpr unsigned kShtProgbits = 1, kShtSymtab = 2, kShtStrtab = 3, kShtRela = 4, kShtNobits = 8,
                   kShtRel = 9;
constexpr unsigned kShfAlloc = 2;
constexpr unsigned kEmPpc = 20, kEmArm = 40;

struct Section {
  std::string name;
  unsigned type, flags, offset, size, link, info, entsize;
};

struct Symbol {
  std::string name;
  unsigned value, size, info, shndx;
};

class ElfReader {
 public:
  ElfReader(std::span<const std::uint8_t> file, std::vector<std::string>& problems)
      : file_(file), problems_(problems) {}

  bool Parse() {
    if (file_.size() < 52 || std::string_view(reinterpret_cast<const char*>(file_.data()), 4) !=
                                 "\x7f"
                                 "ELF") {
      return Fail("not an ELF file");
    }
    if (file_[4] != 1) return Fail("not a 32-bit ELF file");
    big_endian_ = file_[5] == 2;
    const unsigned shoff = U32(32), shentsize = U16(46), shnum = U16(48), shstrndx = U16(50);
    if (shentsize != 40 || shstrndx >= shnum || !Fits(shoff, shnum * 40)) {
      return Fail("bad section header table");
    }
    for (unsigned i = 0; i < shnum; ++i) {
      const unsigned at = shoff + i * 40;
      sections_.push_back({"", U32(at + 4), U32(at + 8), U32(at + 16), U32(at + 20), U32(at + 24),
                           U32(at + 28), U32(at + 36)});
      name_offsets_.push_back(U32(at));
      const Section& s = sections_.back();
      if (s.type != kShtNobits && !Fits(s.offset, s.size)) return Fail("section beyond the file");
    }
    for (unsigned i = 0; i < shnum; ++i) sections_[i].name = String(shstrndx, name_offsets_[i]);
    return ReadSymbols();
  }

  unsigned U8(unsigned at) const { return file_[at]; }
  unsigned U16(unsigned at) const {
    return big_endian_ ? file_[at] << 8 | file_[at + 1] : file_[at] | file_[at + 1] << 8;
  }
  unsigned U32(unsigned at) const {
    return big_endian_ ? U16(at) << 16 | U16(at + 2) : U16(at) | U16(at + 2) << 16;
  }
  bool big_endian() const { return big_endian_; }
  const std::vector<Section>& sections() const { return sections_; }
  const std::vector<Symbol>& symbols() const { return symbols_; }
  std::string String(unsigned section, unsigned offset) const {
    const Section& s = sections_[section];
    std::string text;
    for (unsigned at = s.offset + offset; at < s.offset + s.size && file_[at] != 0; ++at) {
      text.push_back(static_cast<char>(file_[at]));
    }
    return text;
  }
  const Section* Find(std::string_view name) const {
    for (const Section& s : sections_) {
      if (s.name == name) return &s;
    }
    return nullptr;
  }
  const Symbol* FindSymbol(std::string_view name) const {
    for (const Symbol& s : symbols_) {
      if (s.name == name) return &s;
    }
    return nullptr;
  }

 private:
  bool Fits(std::size_t offset, std::size_t size) const {
    return offset <= file_.size() && size <= file_.size() - offset;
  }
  bool Fail(const std::string& problem) {
    problems_.push_back(problem);
    return false;
  }
  bool ReadSymbols() {
    const auto symtab = std::find_if(sections_.begin(), sections_.end(),
                                     [](const Section& s) { return s.type == kShtSymtab; });
    if (symtab == sections_.end() || symtab->link >= sections_.size()) {
      return Fail("no symbol table");
    }
    for (unsigned at = symtab->offset; at + 16 <= symtab->offset + symtab->size; at += 16) {
      symbols_.push_back(
          {String(symtab->link, U32(at)), U32(at + 4), U32(at + 8), U8(at + 12), U16(at + 14)});
    }
    return true;
  }

  std::span<const std::uint8_t> file_;
  std::vector<std::string>& problems_;
  bool big_endian_ = false;
  std::vector<Section> sections_;
  std::vector<unsigned> name_offsets_;
  std::vector<Symbol> symbols_;
};

struct BuildFacts {
  unsigned machine;
  bool big_endian;
  unsigned relocation_type;
  std::set<unsigned> relocation_kinds;
  std::string modinfo;
  unsigned module_size, init_offset, exit_offset;  // struct module image (2.6)
};

BuildFacts FactsFor(KernelBuild build) {
  switch (build) {
    case KernelBuild::kPowerPc24:
      // ADDR32, ADDR16_LO, ADDR16_HI, ADDR16_HA, REL24, REL32
      return {kEmPpc, true, kShtRela, {1, 4, 5, 6, 10, 26}, "kernel_version=2.4.21-pre4", 0, 0, 0};
    case KernelBuild::kArm266:
      // PC24, ABS32
      return {kEmArm, false, kShtRel, {1, 2}, "vermagic=2.6.6-arm2 ARMv5 gcc-3.3", 256, 104, 204};
    case KernelBuild::kArm2612:
      return {kEmArm, false, kShtRel, {1, 2}, "vermagic=2.6.12.6-arm1 ARMv5 gcc-3.3",
              320,    164,   268};
  }
  return {};
}

void CheckHeader(const ElfReader& elf, const BuildFacts& facts,
                 std::vector<std::string>& problems) {
  if (elf.big_endian() != facts.big_endian) problems.push_back("wrong byte order");
  if (elf.U16(16) != 1) problems.push_back("not a relocatable object");
  if (elf.U16(18) != facts.machine) problems.push_back("wrong machine");
  const unsigned flags = elf.U32(36);
  if (facts.machine == kEmArm) {
    // Old ABI: no EABI version; soft float; neither 26-bit nor PIC.
    if ((flags & 0xFF000000u) != 0) problems.push_back("ABI: built for the EABI");
    if ((flags & 0x200u) == 0) problems.push_back("ABI: not marked soft-float");
    if ((flags & 0x28u) != 0) problems.push_back("ABI: 26-bit or position-independent");
  } else if (flags != 0) {
    problems.push_back("ABI: unexpected PowerPC flags");
  }
}

void CheckSections(const ElfReader& elf, const BuildFacts& facts, std::size_t file_size,
                   std::vector<std::string>& problems) {
  const std::set<std::string> allowed = {"",
                                         ".text",
                                         ".data",
                                         ".bss",
                                         ".rodata",
                                         ".rodata.str1.4",
                                         ".rodata.str1.1",
                                         ".modinfo",
                                         ".symtab",
                                         ".strtab",
                                         ".shstrtab",
                                         ".pad",
                                         ".gnu.linkonce.this_module"};
  const std::string relocation_prefix = facts.relocation_type == kShtRela ? ".rela" : ".rel";
  for (const Section& s : elf.sections()) {
    std::string base = s.name;
    if (s.type == kShtRel || s.type == kShtRela) {
      if (s.type != facts.relocation_type || base.rfind(relocation_prefix + ".", 0) != 0) {
        problems.push_back("relocation section of the wrong kind: " + s.name);
        continue;
      }
      base = base.substr(relocation_prefix.size());
    }
    if (!allowed.count(base)) problems.push_back("unexpected section " + s.name);
    const std::set<unsigned> types = {0,          kShtProgbits, kShtSymtab,
                                      kShtStrtab, kShtNobits,   facts.relocation_type};
    if (!types.count(s.type)) problems.push_back("section type the loader refuses: " + s.name);
  }
  for (const char* required : {".text", ".modinfo", ".symtab", ".strtab", ".pad"}) {
    if (!elf.Find(required)) problems.push_back(std::string("missing section ") + required);
  }
  const bool arm = facts.machine == kEmArm;
  if (arm != (elf.Find(".gnu.linkonce.this_module") != nullptr)) {
    problems.push_back("module structure section present or absent wrongly");
  }
  const Section& pad = elf.sections().back();
  if (pad.name != ".pad" || (pad.flags & kShfAlloc) || pad.offset + pad.size != file_size) {
    problems.push_back("padding is not a non-allocated section at the end of the file");
  }
}

void CheckRelocations(const ElfReader& elf, const BuildFacts& facts,
                      std::vector<std::string>& problems) {
  for (const Section& s : elf.sections()) {
    if (s.type != kShtRel && s.type != kShtRela) continue;
    const unsigned step = s.type == kShtRel ? 8 : 12;
    for (unsigned at = s.offset; at + step <= s.offset + s.size; at += step) {
      const unsigned kind = elf.U32(at + 4) & 0xFF;
      if (!facts.relocation_kinds.count(kind)) {
        problems.push_back("relocation kind " + std::to_string(kind) + " in " + s.name);
        return;
      }
    }
  }
}

void CheckSymbols(const ElfReader& elf, std::vector<std::string>& problems) {
  const std::set<std::string> kernel = {"register_nls", "unregister_nls", "load_nls", "unload_nls",
                                        "__this_module"};
  for (const Symbol& s : elf.symbols()) {
    if (s.shndx == 0 && !s.name.empty() && !kernel.count(s.name)) {
      problems.push_back("undefined symbol " + s.name);
    }
  }
  for (const char* entry : {"init_module", "cleanup_module"}) {
    const Symbol* symbol = elf.FindSymbol(entry);
    const Section* text = elf.Find(".text");
    if (!symbol || (symbol->info >> 4) != 1 || (symbol->info & 0xF) != 2 || !text ||
        elf.sections()[symbol->shndx].name != ".text") {
      problems.push_back(std::string("no global function ") + entry);
    }
  }
}

void CheckModinfo(const ElfReader& elf, const BuildFacts& facts,
                  std::vector<std::string>& problems) {
  const Section* modinfo = elf.Find(".modinfo");
  if (!modinfo) return;
  std::set<std::string> strings;
  const unsigned index = static_cast<unsigned>(modinfo - elf.sections().data());
  for (unsigned at = 0; at < modinfo->size; ++at) {
    const std::string text = elf.String(index, at);
    if (!text.empty()) strings.insert(text);
    at += static_cast<unsigned>(text.size());
  }
  if (!strings.count("license=GPL")) problems.push_back("no GPL licence in .modinfo");
  if (!strings.count(facts.modinfo)) problems.push_back("no " + facts.modinfo + " in .modinfo");
  for (const std::string& s : strings) {
    if ((s.rfind("vermagic=", 0) == 0 || s.rfind("kernel_version=", 0) == 0) &&
        s != facts.modinfo) {
      problems.push_back("stray " + s);
    }
  }
}

// The struct module image: its name, and its init and exit slots relocated
// against the module's entry points.
void CheckModuleStruct(const ElfReader& elf, const BuildFacts& facts, const std::string& name,
                       std::vector<std::string>& problems) {
  const Section* image = elf.Find(".gnu.linkonce.this_module");
  if (!image) return;
  if (image->size != facts.module_size) {
    problems.push_back("struct module image of " + std::to_string(image->size) + " bytes");
    return;
  }
  const unsigned index = static_cast<unsigned>(image - elf.sections().data());
  if (elf.String(index, 12) != name) problems.push_back("module name is not " + name);
  const Symbol* self = elf.FindSymbol("__this_module");
  if (!self || self->shndx != index || self->value != 0 || (self->info >> 4) != 1) {
    problems.push_back("__this_module is not the module structure");
  }
  std::map<unsigned, unsigned> slots;  // offset -> symbol value + addend
  for (const Section& s : elf.sections()) {
    if (s.type != kShtRel || s.info != index) continue;
    for (unsigned at = s.offset; at + 8 <= s.offset + s.size; at += 8) {
      const unsigned offset = elf.U32(at), symbol = elf.U32(at + 4) >> 8;
      if (symbol >= elf.symbols().size()) continue;
      slots[offset] = elf.symbols()[symbol].value + elf.U32(image->offset + offset);
    }
  }
  const std::pair<unsigned, const char*> entries[] = {{facts.init_offset, "init_module"},
                                                      {facts.exit_offset, "cleanup_module"}};
  for (const auto& [offset, entry] : entries) {
    const Symbol* target = elf.FindSymbol(entry);
    if (!slots.count(offset) || !target || slots[offset] != target->value) {
      problems.push_back("struct module slot " + std::to_string(offset) + " is not " + entry);
    }
  }
  if (slots.size() != 2) problems.push_back("struct module image has stray relocations");
}

}  // namespace

std::vector<std::string> CheckModule(std::span<const std::uint8_t> file, KernelBuild build,
                                     const std::string& moduleName) {
  std::vector<std::string> problems;
  ElfReader elf(file, problems);
  if (!elf.Parse()) return problems;
  const BuildFacts facts = FactsFor(build);
  CheckHeader(elf, facts, problems);
  CheckSections(elf, facts, file.size(), problems);
  CheckRelocations(elf, facts, problems);
  CheckSymbols(elf, problems);
  CheckModinfo(elf, facts, problems);
  CheckModuleStruct(elf, facts, moduleName, problems);
  return problems;
}

}  // namespace corvane::language::testing
