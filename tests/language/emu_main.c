/* SPDX-License-Identifier: GPL-3.0-or-later */
/* A freestanding program around one kernel character-set module payload, for
   running it under user-mode emulation: it plays the kernel's registry, starts
   the module (and the base module it borrows from, linked in with its entry
   points renamed base_*), and writes nls_dump's stream to standard output. */
#include "nls_dump.h"

#if defined(NLS_TARGET_2_4)
/* The 2.4 module loader supplies the module structure. */
char __this_module[64];
#endif

struct nls_table {
  const char* charset;
#if !defined(NLS_TARGET_2_4)
  const char* alias;
#endif
  nls_dump_uni2char uni2char;
  nls_dump_char2uni char2uni;
  const unsigned char* charset2lower;
  const unsigned char* charset2upper;
  void* owner;
  struct nls_table* next;
};

int register_nls(struct nls_table* nls);
int unregister_nls(struct nls_table* nls);
struct nls_table* load_nls(char* charset);
void unload_nls(struct nls_table* nls);
int init_module(void);
int base_init_module(void) __attribute__((weak));
void _start(void) __attribute__((noreturn));

static struct nls_table* tables[4];
static int table_count;

int register_nls(struct nls_table* nls) {
  if (table_count == 4) return -12;
  tables[table_count++] = nls;
  return 0;
}

int unregister_nls(struct nls_table* nls) {
  (void)nls;
  return 0;
}

static int same_text(const char* a, const char* b) {
  while (*a != 0 && *a == *b) {
    a++;
    b++;
  }
  return *a == *b;
}

struct nls_table* load_nls(char* charset) {
  int i;

  for (i = 0; i < table_count; i++)
    if (same_text(tables[i]->charset, charset)) return tables[i];
  return 0;
}

void unload_nls(struct nls_table* nls) {
  (void)nls;
}

#if defined(__powerpc__)
static long system_call(long number, long a, long b, long c) {
  register long r0 __asm__("r0") = number;
  register long r3 __asm__("r3") = a;
  register long r4 __asm__("r4") = b;
  register long r5 __asm__("r5") = c;

  __asm__ __volatile__("sc"
                       : "+r"(r0), "+r"(r3), "+r"(r4), "+r"(r5)
                       :
                       : "memory", "cr0", "ctr", "r6", "r7", "r8", "r9", "r10", "r11", "r12");
  return r3;
}
#define SYSTEM_WRITE(fd, data, count) system_call(4, (fd), (long)(data), (long)(count))
#define SYSTEM_EXIT(code) system_call(1, (code), 0, 0)
#elif defined(__arm__)
/* The old ARM ABI puts the call number into the swi instruction. */
static long system_write(long fd, const void* data, unsigned long count) {
  register long r0 __asm__("r0") = fd;
  register long r1 __asm__("r1") = (long)data;
  register long r2 __asm__("r2") = (long)count;

  __asm__ __volatile__("swi 0x900004" : "+r"(r0) : "r"(r1), "r"(r2) : "memory");
  return r0;
}

static void system_exit(long code) {
  register long r0 __asm__("r0") = code;

  __asm__ __volatile__("swi 0x900001" : : "r"(r0) : "memory");
}
#define SYSTEM_WRITE(fd, data, count) system_write((fd), (data), (count))
#define SYSTEM_EXIT(code) system_exit(code)
#else
#error "unsupported processor"
#endif

static unsigned char buffer[4096];
static unsigned int buffered;
static int write_failed;

static void flush(void) {
  unsigned int done = 0;

  while (done < buffered) {
    long written = SYSTEM_WRITE(1, buffer + done, buffered - done);

    if (written <= 0) {
      write_failed = 1;
      break;
    }
    done += (unsigned int)written;
  }
  buffered = 0;
}

static void emit(const unsigned char* bytes, unsigned count, void* context) {
  (void)context;
  while (count-- > 0) {
    if (buffered == sizeof buffer) flush();
    buffer[buffered++] = *bytes++;
  }
}

void _start(void) {
  struct nls_table* table;

  if (base_init_module && base_init_module() != 0) SYSTEM_EXIT(3);
  if (init_module() != 0) SYSTEM_EXIT(4);
  table = tables[table_count - 1];
  nls_dump(table->uni2char, table->char2uni, NLS_DUMP_MAX_LENGTH, emit, 0);
  flush();
  SYSTEM_EXIT(write_failed ? 5 : 0);
  for (;;) {
  }
}
