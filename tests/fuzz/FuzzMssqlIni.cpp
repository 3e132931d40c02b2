// MSSQL.ini from a kit or a web location: the SQL Server editions offered for installation,
// read from the file's bytes for a 32-bit and a 64-bit Windows.
#include "FuzzSupport.h"
#include "sql/MSSQLIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (bool is64 : {false, true}) {
    TWindowsFacts windows{is64, 6, 1};
    TMSSQLiniList list = ReadMSSQLIni(fuzz::Bytes(data, size), windows);
    if (list.Entries.empty() != (list.Selected == -1) || list.Selected >= static_cast<int>(list.Entries.size()))
      fuzz::Finding("the selected entry is not one of the list");
    if (list.Entries.empty() == list.Problem.empty()) fuzz::Finding("a reason is given exactly when the list is empty");
    for (const TMSSQLini& e : list.Entries)
      if (!SuitsWindows(e, windows)) fuzz::Finding("an edition for another Windows was kept: " + e.Nazev);
  }
  fuzz::ResetLog();
  return 0;
}
