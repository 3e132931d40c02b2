#include "support/SetupInfo.h"

#include <cstdio>

#include "platform/Locale.h"
#include "platform/SystemInfo.h"
#include "support/SystemUtil.h"

using namespace ui;

std::string MemorySizeText(double gibibytes, const std::string& decimalSeparator) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", gibibytes);
  std::string text = buffer;
  if (auto dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, decimalSeparator);
  return text + " GB";
}

std::string OsVersionText(const std::string& platformName, unsigned major, unsigned minor) {
  return platformName + "  " + std::to_string(major) + "." + std::to_string(minor);
}

std::string ArchitectureText(TCpuArchitecture architecture) {
  switch (architecture) {
    case TCpuArchitecture::caX86: return "Intel 32";
    case TCpuArchitecture::caX64: return "Intel 64";
    case TCpuArchitecture::caArm32: return "Arm 32";
    default: return "Unknown";
  }
}

TFSetupInfo::TFSetupInfo(TForm* owner) : TForm("FSetupInfo", owner) {
  SetWindowClassName("TFSetupInfo");
  SetBorderStyle(TBorderStyle::bsDialog);
  SetMinimizeBox(false);
  SetMaximizeBox(false);
  SetPosition(TPosition::poOwnerFormCenter);
  SetCaption("Informace o PC");
  SetClientWidth(603);
  SetClientHeight(222);

  Panel2.SetHeight(41);
  Panel2.SetAlign(TAlign::alBottom);
  Panel1.SetAlign(TAlign::alClient);
  btnOK.SetBounds(242, 6, 120, 32);
  btnOK.SetCaption("OK");
  btnOK.SetFontBold(true);
  btnOK.SetModalResult(mrOk);

  const TFont captionFont{"Tahoma", 13, true, clBlack};
  const TFont valueFont{"Tahoma", 13, false, clBlack};
  struct Row { TLabel& caption; const char* text; TLabel& value; int top; } rows[] = {
      {Label5, "CPU :", lblCPU, 33},
      {Label1, "Total memory size :", lblMemSize, 63},
      {Label2, "OS version :", lblOSVer, 95},
      {Label3, "Architecture :", lblArchitecture, 127},
  };
  for (auto& r : rows) {
    r.caption.SetFont(captionFont);
    r.caption.SetBounds(21, r.top, 0, 0);
    r.caption.SetCaption(r.text);
    r.value.SetFont(valueFont);
    r.value.SetBounds(167, r.top, 0, 0);
  }
  OnActivate = [this](TControl*) { btnOK.SetFocus(); };
  FormCreate();
}

void TFSetupInfo::FormCreate() {
  lblMemSize.SetCaption(MemorySizeText(TotalMemoryGB(), platform::DecimalSeparator()));
  lblArchitecture.SetCaption(
      ArchitectureText(platform::NativeArchitectureIsAmd64() ? TCpuArchitecture::caX64 : TCpuArchitecture::caX86));
  platform::OsVersionInfo os = platform::OsVersion();
#ifdef _WIN32
  const char* platformName = "Windows";
#else
  const char* platformName = "Linux";
#endif
  lblOSVer.SetCaption(OsVersionText(platformName, os.major, os.minor));
  lblCPU.SetCaption(ReadProcessorName());
}

void ShowSetupInfo(TForm* owner) {
  TFSetupInfo info(owner);
  info.ShowModal();
}
