#pragma once
// The system information window: processor, memory, operating system and architecture.
#include <string>

#include "ui/Controls.h"

// The value texts, apart from the window so they can be checked on any machine.
// 15,89 GB: two decimals with the regional decimal separator.
std::string MemorySizeText(double gibibytes, const std::string& decimalSeparator);
// "Windows  10.0": the platform name, two spaces, major.minor.
std::string OsVersionText(const std::string& platformName, unsigned major, unsigned minor);
enum class TCpuArchitecture : unsigned char { caX86, caX64, caArm32, caOther };
std::string ArchitectureText(TCpuArchitecture architecture);

class TFSetupInfo : public ui::TForm {
 public:
  explicit TFSetupInfo(ui::TForm* owner);

  ui::TPanel Panel2{this, "Panel2"};
  ui::TButton btnOK{&Panel2, "btnOK"};
  ui::TPanel Panel1{this, "Panel1"};
  ui::TLabel Label5{&Panel1, "Label5"};
  ui::TLabel Label1{&Panel1, "Label1"};
  ui::TLabel Label2{&Panel1, "Label2"};
  ui::TLabel Label3{&Panel1, "Label3"};
  ui::TLabel lblCPU{&Panel1, "lblCPU"};
  ui::TLabel lblMemSize{&Panel1, "lblMemSize"};
  ui::TLabel lblOSVer{&Panel1, "lblOSVer"};
  ui::TLabel lblArchitecture{&Panel1, "lblArchitecture"};

 private:
  void FormCreate();
};

// Creates the window, shows it modally and releases it (what Ctrl+I in the wizard does).
void ShowSetupInfo(ui::TForm* owner);
