# SPDX-License-Identifier: GPL-3.0-or-later
"""The file server's codepage tables and unicode maps."""

import struct

from charsets import CodePage

# Punctuation that the 866 table lists as codes without a case partner.
_UNPAIRED_MARKS_866 = b"!#$%&'()-@^_`{}~"


def _case_pairs(page, codes):
    pairs = []
    for code in codes:
        uni = page.to_unicode.get(code)
        if uni is None:
            continue
        upper = chr(uni).upper()
        if len(upper) != 1 or ord(upper) == uni:
            continue
        upper_code = page.encode(ord(upper))
        if upper_code is None or upper_code > 0xFF or upper_code not in codes:
            continue
        pairs.append((uni, code, upper_code))
    pairs.sort()
    return [(lower, upper) for _, lower, upper in pairs]


def _unpaired_866(page):
    codes = [c for c in range(0x30, 0x3A)]
    codes += list(_UNPAIRED_MARKS_866) + [0x7F]
    for code in range(0x80, 0x100):
        if not chr(page.to_unicode[code]).isalpha():
            codes.append(code)
    return sorted(codes)


def codepage_table(number):
    """Codepage file: header, then (lower, upper, flag, flag) entries."""
    entries = b""
    if number == "850":
        page = CodePage("850")
        high = range(0x80, 0x100)
        entries += b"".join(bytes([lo, up, 1, 1]) for lo, up in _case_pairs(page, high))
        entries += bytes([0x9C, 0, 0, 0])
    elif number == "866":
        page = CodePage("866")
        entries += b"".join(bytes([lo, up, 1, 1]) for lo, up in _case_pairs(page, range(256)))
        entries += b"".join(bytes([code, 0, 0, 0]) for code in _unpaired_866(page))
    return struct.pack("<HHI", 1, int(number), len(entries)) + entries


def unicode_map(name):
    """Unicode map file: name, code page -> Unicode table, Unicode -> code page table."""
    page = CodePage(name)
    size = 65536 if page.double_byte else 256
    to_unicode = [0] * size
    for code, uni in page.to_unicode.items():
        to_unicode[code] = uni
    from_unicode = [0x5F] * 65536
    from_unicode[0] = 0
    protected = set()
    for code in sorted(page.to_unicode):
        uni = page.to_unicode[code]
        if uni in protected:
            continue
        from_unicode[uni] = code
        # Among cp932's duplicated characters the entries of the JIS rows stay.
        if name == "932" and 0x8140 <= code <= 0x84FF:
            protected.add(uni)
    header = struct.pack("<H20sII", 0x8001, name.encode(), 2 * size, 2 * 65536)
    return (header + struct.pack(f"<{size}H", *to_unicode)
            + struct.pack("<65536H", *from_unicode))
