# SPDX-License-Identifier: GPL-3.0-or-later
"""The payloads the language installer writes: resource id, device file name,
exact size, and how each is made."""

# (id, file name, size, kind, argument)
#   kind "codepage": argument is the code page number
#   kind "unicode_map": argument is the map name
#   kind "module": argument is (character set, kernel build)
#   kind "copy": argument is the id whose bytes the payload repeats
PAYLOADS = [
    (143, "codepage.850", 132, "codepage", "850"),
    (145, "nls_cp850.o", 5020, "module", ("cp850", "2.4")),
    (148, "unicode_map.850", 131614, "unicode_map", "850"),
    (151, "codepage.950", 8, "codepage", "950"),
    (153, "nls_cp950.o", 106268, "module", ("cp950", "2.4")),
    (155, "nls_big5.o", 1724, "module", ("big5", "2.4")),
    (156, "unicode_map.950", 262174, "unicode_map", "950"),
    (157, "codepage.936", 8, "codepage", "936"),
    (158, "nls_cp936.o", 129244, "module", ("cp936", "2.4")),
    (159, "nls_gb2312.o", 1728, "module", ("gb2312", "2.4")),
    (160, "unicode_map.936", 262174, "unicode_map", "936"),
    (161, "codepage.932", 8, "codepage", "932"),
    (162, "nls_cp932.o", 82848, "module", ("cp932", "2.4")),
    (163, "nls_euc-jp.o", 6364, "module", ("euc-jp", "2.4")),
    (164, "unicode_map.932", 262174, "unicode_map", "932"),
    (165, "codepage.949", 8, "codepage", "949"),
    (166, "nls_cp949.o", 152216, "module", ("cp949", "2.4")),
    (167, "nls_euc-kr.o", 1728, "module", ("euc-kr", "2.4")),
    (168, "unicode_map.949", 262174, "unicode_map", "949"),
    (169, "codepage.866", 588, "codepage", "866"),
    (170, "nls_cp866.o", 5308, "module", ("cp866", "2.4")),
    (171, "unicode_map.866", 588, "copy", 169),
    (172, "nls_sjis.o", 1724, "module", ("sjis", "2.4")),
    (173, "nls_cp932.ko", 82562, "module", ("cp932", "2.6.6")),
    (174, "nls_cp950.ko", 105791, "module", ("cp950", "2.6.6")),
    (175, "nls_cp936.ko", 128599, "module", ("cp936", "2.6.6")),
    (176, "nls_cp949.ko", 151405, "module", ("cp949", "2.6.6")),
    (177, "nls_cp866.ko", 6006, "module", ("cp866", "2.6.6")),
    (178, "nls_euc-jp.ko", 6809, "module", ("euc-jp", "2.6.6")),
    (179, "nls_cp850.ko", 5719, "module", ("cp850", "2.6.6")),
    (183, "nls_koi8-r.ko", 6010, "module", ("koi8-r", "2.6.6")),
    (184, "unicode_map.KOI8-R", 131614, "unicode_map", "KOI8-R"),
    (185, "nls_koi8-r.o", 5312, "module", ("koi8-r", "2.4")),
    (187, "nls_cp850_12.ko", 5783, "module", ("cp850", "2.6.12")),
    (188, "nls_cp866_12.ko", 6070, "module", ("cp866", "2.6.12")),
    (189, "nls_cp932_12.ko", 82995, "module", ("cp932", "2.6.12")),
    (190, "nls_cp936_12.ko", 128695, "module", ("cp936", "2.6.12")),
    (191, "nls_cp949_12.ko", 151501, "module", ("cp949", "2.6.12")),
    (192, "nls_cp950_12.ko", 105887, "module", ("cp950", "2.6.12")),
    (193, "nls_euc-jp_12.ko", 6921, "module", ("euc-jp", "2.6.12")),
    (194, "nls_koi8-r_12.ko", 6074, "module", ("koi8-r", "2.6.12")),
]
