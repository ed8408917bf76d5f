/* SPDX-License-Identifier: GPL-3.0-or-later */
#include "nls_dump.h"

static void emit_char2uni(nls_dump_char2uni char2uni, const unsigned char* raw, int length,
                          nls_dump_emit emit, void* context) {
  unsigned short uni = 0;
  int result = char2uni(raw, length, &uni);
  unsigned char record[3];

  record[0] = (unsigned char)result;
  record[1] = (unsigned char)uni;
  record[2] = (unsigned char)(uni >> 8);
  emit(record, 3, context);
}

static void emit_uni2char(nls_dump_uni2char uni2char, unsigned short uni, int boundlen,
                          nls_dump_emit emit, void* context) {
  unsigned char record[4] = {0, 0, 0, 0};
  int result = uni2char(uni, record + 1, boundlen);

  record[0] = (unsigned char)result;
  emit(record, 4, context);
}

void nls_dump(nls_dump_uni2char uni2char, nls_dump_char2uni char2uni, int max_length,
              nls_dump_emit emit, void* context) {
  unsigned char raw[3] = {0, 0, 0};
  unsigned int first, second;
  unsigned int uni;

  for (first = 0; first < 256; first++) {
    raw[0] = (unsigned char)first;
    emit_char2uni(char2uni, raw, 1, emit, context);
    if (max_length < 2) continue;
    for (second = 0; second < 256; second++) {
      raw[1] = (unsigned char)second;
      emit_char2uni(char2uni, raw, 2, emit, context);
    }
  }
  if (max_length >= 3) {
    raw[0] = 0x8F;
    for (first = 0; first < 256; first++) {
      for (second = 0; second < 256; second++) {
        raw[1] = (unsigned char)first;
        raw[2] = (unsigned char)second;
        emit_char2uni(char2uni, raw, 3, emit, context);
      }
    }
  }
  for (uni = 0; uni < 0x10000; uni++) {
    emit_uni2char(uni2char, (unsigned short)uni, 1, emit, context);
    emit_uni2char(uni2char, (unsigned short)uni, 3, emit, context);
  }
}
