# SPDX-License-Identifier: GPL-3.0-or-later
"""Character-set tables built from the codecs that ship with Python and glibc.

The device software expects the classic vendor tables of each code page, so a
few codes that later revisions of the converters added (the euro sign in
cp949/cp950, the Eten extensions of cp950, vendor private-use bytes of cp932)
are left out here.
"""

import ctypes

DOUBLE_BYTE = ("932", "936", "949", "950")

# Python codec that decodes each code page the classic way.
CODEC = {
    "850": "cp850",
    "866": "cp866",
    "KOI8-R": "koi8_r",
    "932": "cp932",
    "936": "gbk",
    "949": "cp949",
    "950": "cp950",
}


def _excluded(page, code):
    """Codes that the classic tables did not map although today's codecs do."""
    if page == "932":
        return code in (0x80, 0xA0, 0xFD, 0xFE, 0xFF)
    if page == "936":
        return code == 0x80
    if page == "949":
        return code in (0xA2E6, 0xA2E7)
    if page == "950":
        return (code in (0x80, 0xA3E1) or 0xC6A1 <= code <= 0xC6FE
                or 0xC740 <= code <= 0xC77E or 0xC7A1 <= code <= 0xC7FC)
    return False


def _decode_one(codec, raw):
    try:
        text = raw.decode(codec)
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


class CodePage:
    """Decoding table of one code page: code -> Unicode (BMP only)."""

    def __init__(self, page):
        self.page = page
        self.codec = CODEC[page]
        self.double_byte = page in DOUBLE_BYTE
        self.to_unicode = {}
        for code in self.codes():
            if _excluded(page, code):
                continue
            raw = code.to_bytes(2, "big") if code > 0xFF else bytes([code])
            uni = _decode_one(self.codec, raw)
            if uni is not None and uni <= 0xFFFF:
                self.to_unicode[code] = uni

    def codes(self):
        yield from range(256)
        if self.double_byte:
            for lead in range(0x80, 0x100):
                for trail in range(0x40, 0x100):
                    yield (lead << 8) | trail

    def lead_bytes(self):
        return sorted({code >> 8 for code in self.to_unicode if code > 0xFF})

    def encode(self, uni):
        """The code the codec itself prefers for a character, if it is one of ours."""
        try:
            raw = chr(uni).encode(self.codec)
        except UnicodeEncodeError:
            return None
        code = int.from_bytes(raw, "big")
        if len(raw) > 2 or self.to_unicode.get(code) != uni:
            return None
        return code

    def from_unicode(self):
        """Unicode -> code for the kernel modules: the codec's own choice among
        duplicates, else the highest code."""
        result = {}
        for code in sorted(self.to_unicode):
            uni = self.to_unicode[code]
            if uni == 0:
                continue
            result[uni] = code
        for uni in list(result):
            preferred = self.encode(uni)
            if preferred is not None:
                result[uni] = preferred
        return result


class Iconv:
    """Minimal binding to glibc's iconv for converters Python lacks."""

    def __init__(self, to_code, from_code):
        self._libc = ctypes.CDLL(None)
        self._libc.iconv_open.restype = ctypes.c_void_p
        self._libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self._libc.iconv.restype = ctypes.c_size_t
        self._libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
        self._libc.iconv_close.argtypes = [ctypes.c_void_p]
        self._cd = self._libc.iconv_open(to_code.encode(), from_code.encode())
        if self._cd in (None, ctypes.c_size_t(-1).value):
            raise RuntimeError(f"iconv cannot convert {from_code} to {to_code}")

    def convert(self, data):
        src = ctypes.create_string_buffer(data, len(data))
        dst = ctypes.create_string_buffer(64)
        src_ptr = ctypes.c_char_p(ctypes.addressof(src))
        dst_ptr = ctypes.c_char_p(ctypes.addressof(dst))
        src_left = ctypes.c_size_t(len(data))
        dst_left = ctypes.c_size_t(64)
        self._libc.iconv(self._cd, None, None, None, None)
        failed = ctypes.c_size_t(-1).value
        result = self._libc.iconv(self._cd, ctypes.byref(src_ptr), ctypes.byref(src_left),
                                  ctypes.byref(dst_ptr), ctypes.byref(dst_left))
        if result == failed or src_left.value:
            return None
        if self._libc.iconv(self._cd, None, None, ctypes.byref(dst_ptr),
                            ctypes.byref(dst_left)) == failed:
            return None
        return dst.raw[:64 - dst_left.value]
