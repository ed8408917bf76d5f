/* SPDX-License-Identifier: GPL-3.0-or-later */
/* The kernel character-set modules' C, compiled natively (NLS_TARGET_HOST):
   the table they register and their entry points. */
#ifndef CORVANE_TESTS_LANGUAGE_NLS_HOST_H
#define CORVANE_TESTS_LANGUAGE_NLS_HOST_H

#ifdef __cplusplus
extern "C" {
#endif

struct module;

struct nls_table {
  const char* charset;
  int (*uni2char)(unsigned short uni, unsigned char* out, int boundlen);
  int (*char2uni)(const unsigned char* raw, int boundlen, unsigned short* uni);
  const unsigned char* charset2lower;
  const unsigned char* charset2upper;
  struct module* owner;
  struct nls_table* next;
};

/* Provided by the test: the kernel's registry. */
int register_nls(struct nls_table* nls);
int unregister_nls(struct nls_table* nls);
struct nls_table* load_nls(char* charset);
void unload_nls(struct nls_table* nls);

#define NLS_HOST_MODULE(ident)     \
  int nls_host_init_##ident(void); \
  void nls_host_exit_##ident(void);
NLS_HOST_MODULE(cp850)
NLS_HOST_MODULE(cp866)
NLS_HOST_MODULE(koi8_r)
NLS_HOST_MODULE(cp932)
NLS_HOST_MODULE(cp936)
NLS_HOST_MODULE(cp949)
NLS_HOST_MODULE(cp950)
NLS_HOST_MODULE(big5)
NLS_HOST_MODULE(gb2312)
NLS_HOST_MODULE(euc_kr)
NLS_HOST_MODULE(sjis)
NLS_HOST_MODULE(euc_jp)
#undef NLS_HOST_MODULE

#ifdef __cplusplus
}
#endif

#endif
