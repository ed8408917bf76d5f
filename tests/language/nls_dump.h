/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Runs every input of a kernel character-set module's conversions and reports
   the results as a byte stream, so that a build for another processor (run
   under emulation) can be compared with the native build. */
#ifndef CORVANE_TESTS_LANGUAGE_NLS_DUMP_H
#define CORVANE_TESTS_LANGUAGE_NLS_DUMP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*nls_dump_uni2char)(unsigned short uni, unsigned char* out, int boundlen);
typedef int (*nls_dump_char2uni)(const unsigned char* raw, int boundlen, unsigned short* uni);
typedef void (*nls_dump_emit)(const unsigned char* bytes, unsigned count, void* context);

/* Longest input sequence the character set uses: 1, 2 or 3. */
void nls_dump(nls_dump_uni2char uni2char, nls_dump_char2uni char2uni, int max_length,
              nls_dump_emit emit, void* context);

#ifdef __cplusplus
}
#endif

#endif
