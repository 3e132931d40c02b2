/* A program with the two faults the import check exists for: it needs zlib1.dll, and it
   imports SetDefaultDllDirectories, which Windows 7 has only with an optional update. */
#include <windows.h>
#include <zlib.h>

int main(void) {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return zlibVersion()[0] == '1' ? 0 : 1;
}
