# SPDX-License-Identifier: GPL-3.0-or-later
"""EUC-JP on top of the cp932 tables.

EUC-JP and Shift_JIS share JIS X 0208, so most codes convert arithmetically.
The user-defined rows go to the EUC user-defined rows (the first ten to the
two-byte area, the rest to the three-byte area), and the IBM extensions
(with their NEC-selected duplicates) follow the Microsoft-compatible EUC
variant, which puts them in the three-byte area.  Only those need a table.
"""

from charsets import Iconv


def sjis_to_row_cell(code):
    lead, trail = code >> 8, code & 0xFF
    row = (lead - (0x81 if lead <= 0x9F else 0xC1)) * 2 + 1
    if trail >= 0x9F:
        return row + 1, trail - 0x9E
    return row, trail - 0x3F - (1 if trail >= 0x80 else 0)


def row_cell_to_sjis(row, cell):
    lead = (row + 1) // 2 + (0x80 if row <= 62 else 0xC0)
    if row % 2:
        trail = cell + 0x3F + (1 if cell >= 64 else 0)
    else:
        trail = cell + 0x9E
    return (lead << 8) | trail


def arithmetic_euc(sjis):
    """EUC bytes for a Shift_JIS code by arithmetic alone, or None."""
    if sjis < 0x80:
        return bytes([sjis])
    if 0xA1 <= sjis <= 0xDF:
        return bytes([0x8E, sjis])
    row, cell = sjis_to_row_cell(sjis)
    if not 1 <= cell <= 94:
        return None
    if 1 <= row <= 84:
        return bytes([row + 0xA0, cell + 0xA0])
    if 95 <= row <= 104:
        return bytes([row - 10 + 0xA0, cell + 0xA0])
    if 105 <= row <= 114:
        return bytes([0x8F, row - 20 + 0xA0, cell + 0xA0])
    return None


def arithmetic_sjis(euc):
    """Shift_JIS code for EUC bytes by arithmetic alone, or None."""
    if len(euc) == 1:
        return euc[0] if euc[0] < 0x80 else None
    if euc[0] == 0x8E:
        return euc[1] if 0xA1 <= euc[1] <= 0xDF else None
    if len(euc) == 2:
        row, cell = euc[0] - 0xA0, euc[1] - 0xA0
        if row >= 85:
            row += 10
    else:
        row, cell = euc[1] - 0xA0, euc[2] - 0xA0
        if row < 85:
            return None
        row += 20
    return row_cell_to_sjis(row, cell)


def special_pairs(cp932):
    """(EUC code without its 0x8F prefix, Shift_JIS code, used for encoding)
    triples for the codes that arithmetic gets wrong, sorted by EUC code; every
    EUC code here is a three-byte one.  Entries not used for encoding are
    second EUC codes of a character that the converter only decodes."""
    decode = Iconv("UTF-32LE", "EUC-JP-MS")
    encode = Iconv("EUC-JP-MS", "UTF-32LE")
    to_sjis = cp932.from_unicode()
    pairs = {}
    encoding = set()
    # Decoding side: three-byte codes outside the user-defined rows whose
    # character cp932 has.
    for b1 in range(0xA1, 0xF5):
        for b2 in range(0xA1, 0xFF):
            out = decode.convert(bytes([0x8F, b1, b2]))
            if out is None or len(out) != 4:
                continue
            uni = int.from_bytes(out, "little")
            if uni in to_sjis:
                pairs[(b1 << 8) | b2] = to_sjis[uni]
    # Encoding side: every character whose cp932 code does not convert
    # arithmetically to the code the EUC variant uses.
    for uni, sjis in to_sjis.items():
        euc = encode.convert(uni.to_bytes(4, "little"))
        if euc is None:
            continue
        if arithmetic_euc(sjis) == euc:
            continue
        if len(euc) != 3 or euc[0] != 0x8F:
            raise RuntimeError(f"EUC code {euc.hex()} for U+{uni:04X} needs a two-byte exception")
        pairs[(euc[1] << 8) | euc[2]] = sjis
        encoding.add((euc[1] << 8) | euc[2])
    return [(euc, sjis, euc in encoding) for euc, sjis in sorted(pairs.items())]
