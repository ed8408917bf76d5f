# SPDX-License-Identifier: GPL-3.0-or-later
"""Post-processing of the compiled module objects.

Old module loaders are strict: the 2.4 loader refuses section types it does
not know, and neither series accepts relocation kinds beyond a few.  This
rewrites a 32-bit ELF relocatable object without the sections the loaders do
not need, checks its relocations and undefined symbols, and pads it to an
exact size with a non-allocated section at the very end of the file (a loader
never copies such a section into memory).
"""

import struct

SHT_SYMTAB, SHT_RELA, SHT_NOBITS, SHT_REL = 2, 4, 8, 9
SHN_LORESERVE = 0xFF00
EM_PPC, EM_ARM = 20, 40

DROPPED = (".comment", ".note.GNU-stack", ".gnu.attributes", ".ARM.attributes")
PAD_SECTION = ".pad"

# Relocation kinds each loader applies.
ALLOWED_RELOCATIONS = {
    EM_PPC: {1: "R_PPC_ADDR32", 4: "R_PPC_ADDR16_LO", 5: "R_PPC_ADDR16_HI",
             6: "R_PPC_ADDR16_HA", 10: "R_PPC_REL24", 26: "R_PPC_REL32"},
    EM_ARM: {1: "R_ARM_PC24", 2: "R_ARM_ABS32"},
}
ALLOWED_RELOCATION_SECTION = {EM_PPC: SHT_RELA, EM_ARM: SHT_REL}
KERNEL_SYMBOLS = {"register_nls", "unregister_nls", "load_nls", "unload_nls", "__this_module"}


class Section:
    def __init__(self, name, header, data):
        self.name = name
        (self.sh_name, self.type, self.flags, self.addr, self.offset, self.size, self.link,
         self.info, self.addralign, self.entsize) = header
        self.data = data


class ElfObject:
    def __init__(self, blob):
        if blob[:4] != b"\x7fELF" or blob[4] != 1:
            raise ValueError("not a 32-bit ELF file")
        self.endian = "<" if blob[5] == 1 else ">"
        self.ident = blob[:16]
        (self.type, self.machine, self.version, self.entry, _, shoff, self.flags, _, _, _,
         shentsize, shnum, shstrndx) = struct.unpack_from(self.endian + "HHIIIIIHHHHHH", blob, 16)
        headers = [struct.unpack_from(self.endian + "10I", blob, shoff + i * shentsize)
                   for i in range(shnum)]
        names = headers[shstrndx]
        strtab = blob[names[4]:names[4] + names[5]]
        self.sections = []
        for header in headers:
            name = strtab[header[0]:strtab.index(b"\0", header[0])].decode()
            data = b"" if header[1] == SHT_NOBITS else blob[header[4]:header[4] + header[5]]
            self.sections.append(Section(name, header, data))
        self.shstrndx = shstrndx

    def section(self, name):
        return next(s for s in self.sections if s.name == name)

    def symbols(self):
        symtab = next(s for s in self.sections if s.type == SHT_SYMTAB)
        strtab = self.sections[symtab.link].data
        for offset in range(0, len(symtab.data), 16):
            name, value, size, info, other, shndx = struct.unpack_from(
                self.endian + "IIIBBH", symtab.data, offset)
            yield strtab[name:strtab.index(b"\0", name)].decode(), value, info, shndx

    def relocation_types(self):
        for section in self.sections:
            if section.type in (SHT_REL, SHT_RELA):
                step = 8 if section.type == SHT_REL else 12
                for offset in range(0, len(section.data), step):
                    info = struct.unpack_from(self.endian + "I", section.data, offset + 4)[0]
                    yield section.type, info & 0xFF

    def drop_sections(self, names):
        keep = [i for i, s in enumerate(self.sections) if s.name not in names]
        remap = {old: new for new, old in enumerate(keep)}
        for section in self.sections:
            if section.type in (SHT_REL, SHT_RELA) and section.info not in remap:
                raise ValueError(f"{section.name} relocates a dropped section")
        symbol_map = self._drop_symbols(remap)
        for section in self.sections:
            if section.type in (SHT_REL, SHT_RELA):
                section.data = self._renumber_relocations(section, symbol_map)
            if section.link:
                section.link = remap[section.link]
            if section.type in (SHT_REL, SHT_RELA):
                section.info = remap[section.info]
        self.shstrndx = remap[self.shstrndx]
        self.sections = [self.sections[i] for i in keep]

    def _drop_symbols(self, remap):
        """Drops the section symbols of dropped sections; returns old -> new index."""
        symtab = next(s for s in self.sections if s.type == SHT_SYMTAB)
        kept, symbol_map = bytearray(), {}
        locals_dropped = 0
        for index, offset in enumerate(range(0, len(symtab.data), 16)):
            entry = bytearray(symtab.data[offset:offset + 16])
            info, shndx = entry[12], struct.unpack_from(self.endian + "H", entry, 14)[0]
            if shndx and shndx < SHN_LORESERVE:
                if shndx not in remap:
                    if info != 3:  # anything but a local section symbol
                        raise ValueError(f"a symbol lies in dropped section "
                                         f"{self.sections[shndx].name}")
                    locals_dropped += 1
                    continue
                struct.pack_into(self.endian + "H", entry, 14, remap[shndx])
            symbol_map[index] = len(kept) // 16
            kept += entry
        symtab.data = bytes(kept)
        symtab.info -= locals_dropped
        return symbol_map

    def _renumber_relocations(self, section, symbol_map):
        data = bytearray(section.data)
        step = 8 if section.type == SHT_REL else 12
        for offset in range(0, len(data), step):
            info = struct.unpack_from(self.endian + "I", data, offset + 4)[0]
            if info >> 8 not in symbol_map:
                raise ValueError(f"{section.name} refers to a dropped symbol")
            struct.pack_into(self.endian + "I", data, offset + 4,
                             (symbol_map[info >> 8] << 8) | (info & 0xFF))
        return bytes(data)

    def serialize(self, pad=None):
        """The object laid out afresh; with `pad`, a trailing non-allocated
        section of that many zero bytes is added after the section headers."""
        sections = list(self.sections)
        if pad is not None:
            sections.append(Section(PAD_SECTION, (0, 1, 0, 0, 0, pad, 0, 0, 1, 0), bytes(pad)))
        names = bytearray(b"\0")
        for section in sections[1:]:
            section.sh_name = len(names)
            names += section.name.encode() + b"\0"
        sections[self.shstrndx].data = bytes(names)
        sections[self.shstrndx].size = len(names)
        out = bytearray(52)
        for section in sections[1:]:
            if section.name == PAD_SECTION:
                continue
            align = max(section.addralign, 1)
            out += bytes(-len(out) % align)
            section.offset = len(out)
            if section.type != SHT_NOBITS:
                section.size = len(section.data)
                out += section.data
        out += bytes(-len(out) % 4)
        shoff = len(out)
        if pad is not None:
            sections[-1].offset = shoff + 40 * len(sections)
        for section in sections:
            out += struct.pack(self.endian + "10I", section.sh_name, section.type, section.flags,
                               section.addr, section.offset, section.size, section.link,
                               section.info, section.addralign, section.entsize)
        if pad is not None:
            out += sections[-1].data
        out[:52] = self.ident + struct.pack(self.endian + "HHIIIIIHHHHHH", self.type,
                                            self.machine, self.version, self.entry, 0, shoff,
                                            self.flags, 52, 0, 0, 40, len(sections),
                                            self.shstrndx)
        return bytes(out)


def check_loadable(obj, what):
    allowed = ALLOWED_RELOCATIONS[obj.machine]
    for section_type, kind in obj.relocation_types():
        if section_type != ALLOWED_RELOCATION_SECTION[obj.machine] or kind not in allowed:
            raise ValueError(f"{what}: relocation kind {kind} in section type {section_type} "
                             "is not accepted by the kernel's module loader")
    for name, _, info, shndx in obj.symbols():
        if shndx == 0 and name and name not in KERNEL_SYMBOLS:
            raise ValueError(f"{what}: undefined symbol {name} is not provided by the kernel")


def finish_module(blob, size, what):
    """The module object cleaned, checked and padded to exactly `size` bytes."""
    obj = ElfObject(blob)
    obj.drop_sections(DROPPED)
    check_loadable(obj, what)
    base = len(obj.serialize(pad=0))
    if base > size:
        raise ValueError(f"{what}: {base} bytes do not fit in {size}")
    result = obj.serialize(pad=size - base)
    assert len(result) == size
    return result
