/* A program with the faults the import check exists for: it needs zlib1.dll, it imports
   SetDefaultDllDirectories, which Windows 7 has only with an optional update, and it imports
   version.dll at start, which Windows looks for in the program's own folder first. */
#include <windows.h>
#include <zlib.h>

int main(void) {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (GetFileVersionInfoSizeW(L"kernel32.dll", NULL) == 0) return 2;
  return zlibVersion()[0] == '1' ? 0 : 1;
}
