/* A test DLL without a C runtime. Its entry point logs every call into an array whose address
   the test patches into the image bytes, and answers with a value the test can patch too. */
#include <windows.h>

/* Markers replaced in the image bytes by the test before each load. */
volatile unsigned int probe_log_address = 0x4C6F6721u;
volatile unsigned int probe_attach_answer = 0x416E7321u;

/* Three absolute addresses: three type-3 relocations in one block, padded with a type-0. */
static int first = 11, second = 22, third = 33;
int* const probe_pointers[3] = {&first, &second, &third};

/* Uninitialised data: a section without raw data. */
unsigned char probe_zeros[8192];

BOOL WINAPI ProbeEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  unsigned int* log = (unsigned int*)probe_log_address;
  (void)reserved;
  if (log != 0) {
    /* log[0] counts the calls; log[1..7] hold the reasons, 0x100 added for a non-zero handle */
    if (log[0] < 7) log[1 + log[0]] = reason + (module != 0 ? 0x100u : 0u);
    log[0]++;
  }
  return (BOOL)probe_attach_answer;
}

int ProbeAdd(int a, int b) { return a + b + probe_zeros[0]; }
int ProbeSix(void) { return 6; }
int ProbeSeven(void) { return 7; }
