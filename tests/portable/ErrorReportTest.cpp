// The system information window and the error report, on the headless backend.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "platform/Files.h"
#include "platform/Mail.h"
#include "platform/Text.h"
#include "support/Catalogue.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/SetupInfo.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"
#include "ui/headless/Headless.h"

using namespace ui;

TEST(SetupInfoTexts, ValuesAreWrittenAsTheWindowShowsThem) {
  struct Mem { double gb; const char* sep; const char* text; } mems[] = {
      {15.8867, ",", "15,89 GB"}, {16.0, ",", "16,00 GB"}, {0.5, ".", "0.50 GB"}, {1023.999, ",", "1024,00 GB"}};
  for (const auto& m : mems) EXPECT_EQ(MemorySizeText(m.gb, m.sep), m.text);
  EXPECT_EQ(OsVersionText("Windows", 10, 0), "Windows  10.0");
  EXPECT_EQ(OsVersionText("Windows", 6, 1), "Windows  6.1");
  struct Arch { TCpuArchitecture a; const char* text; } archs[] = {
      {TCpuArchitecture::caX86, "Intel 32"}, {TCpuArchitecture::caX64, "Intel 64"},
      {TCpuArchitecture::caArm32, "Arm 32"}, {TCpuArchitecture::caOther, "Unknown"}};
  for (const auto& a : archs) EXPECT_EQ(ArchitectureText(a.a), a.text);
}

TEST(SetupInfoWindow, ShowsTheMachineWithOKFocusedAndClosesOnOK) {
  headless::Instance().Reset();
  TForm main("Main");
  main.SetBounds(100, 100, 770, 750);
  main.ShowForm();
  bool checked = false;
  headless::QueueAction([&] {
    auto* info = dynamic_cast<TFSetupInfo*>(headless::Instance().FocusedControl()->ParentForm());
    ASSERT_NE(info, nullptr);
    checked = true;
    EXPECT_EQ(info->Caption(), "Informace o PC");
    EXPECT_EQ(info->ClientWidth(), 603);
    EXPECT_EQ(info->ClientHeight(), 222);
    EXPECT_TRUE(info->btnOK.Focused());
    EXPECT_EQ(info->Label1.Caption(), "Total memory size :");
    EXPECT_NE(info->lblMemSize.Caption().find(" GB"), std::string::npos);
    EXPECT_FALSE(info->lblOSVer.Caption().empty());
    EXPECT_TRUE(info->lblArchitecture.Caption() == "Intel 64" || info->lblArchitecture.Caption() == "Intel 32");
    // Centred on the wizard.
    EXPECT_NEAR(info->Left() + info->Width() / 2, main.Left() + main.Width() / 2, 1);
    // Every value label starts right of the longest caption.
    EXPECT_LT(info->Label1.Left() + info->Label1.Width(), info->lblMemSize.Left());
    headless::UserClick(info->btnOK);
  });
  ShowSetupInfo(&main);
  EXPECT_TRUE(checked);
  EXPECT_EQ(headless::Instance().PendingActions(), 0u);
}

namespace {
class ErrorReport : public testing::Test {
 protected:
  void SetUp() override {
    headless::Instance().Reset();
    ResetInstallErrDlg();
    SetCurrentLanguage(langEN);
  }
  void TearDown() override {
    headless::Instance().Reset();
    ResetInstallErrDlg();
    SetCurrentLanguage(langCZ);
    Application().ResetTerminated();
  }

  // Removes the error copies of the log in the temporary folder that hold text; whether any did.
  static bool RemoveErrorLogHolding(const std::string& text) {
    bool found = false;
    for (const auto& e : std::filesystem::directory_iterator(platform::PathFromUtf8(TempDirectory()))) {
      std::string name = platform::Utf8FromPath(e.path().filename());
      if (name.rfind("VelmorErrorInst", 0) == 0 &&
          testing_support::ReadFile(platform::Utf8FromPath(e.path())).find(text) != std::string::npos) {
        found = true;
        std::filesystem::remove(e.path());
      }
    }
    return found;
  }
};
}  // namespace

TEST_F(ErrorReport, UnhandledErrorIsLoggedSavedShownAndEndsTheProgram) {
  InstallLog().Add("before the error");
  std::vector<std::string> viewed;
  bool sendEnabled = true;
  headless::QueueAction([&] {
    TFInstallErrDlg& dlg = FInstallErrDlg();
    EXPECT_TRUE(dlg.Visible());
    EXPECT_EQ(dlg.Caption(), "Předčasné ukončení aplikace");
    EXPECT_EQ(dlg.btnSendLog.Caption(), "Send log on email");
    EXPECT_EQ(dlg.lblPozn.Caption(), "Installation log file will be automatically added when sending mail");
    sendEnabled = dlg.btnSendLog.Enabled();
    headless::UserClick(dlg.btnViewLog);  // the viewer's loop closes it again
    viewed = dlg.LogView().Memo1.Lines();
  });
  headless::QueueAction([] { headless::UserClick(FInstallErrDlg().btnOK); });
  HandleUnhandledError("Access violation at address 0", "");
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(sendEnabled);  // no support address in the definition
  ASSERT_GE(viewed.size(), 4u);
  EXPECT_NE(viewed[2].find("Access violation at address 0"), std::string::npos);
  // The error copy of the log is in the temporary folder.
  EXPECT_TRUE(RemoveErrorLogHolding("Access violation at address 0"));
}

// The report mails the log to the address its caller gives (the definition's TechSupport).
TEST_F(ErrorReport, UnhandledErrorReportMailsTheLogToTheAddressItIsGiven) {
  InstallLog().Add("before the error");
  bool sendEnabled = false;
  headless::QueueAction([&] {
    TFInstallErrDlg& dlg = FInstallErrDlg();
    sendEnabled = dlg.btnSendLog.Enabled();
    dlg.mmoEmailText.SetText("what I did");
    headless::UserClick(dlg.btnSendLog);
    headless::UserClick(dlg.btnOK);
  });
  HandleUnhandledError("Stack overflow in the report test", "podpora@example.cz");
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(sendEnabled);
#ifndef _WIN32
  const platform::MailMessage* mail = platform::LastMailSent();
  ASSERT_NE(mail, nullptr);
  EXPECT_EQ(mail->RecipientAddress, "SMTP:podpora@example.cz");
  EXPECT_EQ(mail->Body.rfind("what I did\n\r", 0), 0u);
  EXPECT_NE(mail->Body.find("Stack overflow in the report test"), std::string::npos);
#endif
  EXPECT_TRUE(RemoveErrorLogHolding("Stack overflow in the report test"));
}

TEST_F(ErrorReport, SavedLogIsTheLogInAnsiWithCrLf) {
  testing_support::TempFolder dir;
  std::string target = dir / "můj log.txt";
  InstallLog().Add("Příliš žluťoučký kůň");
  headless::Instance().QueueSaveDialogAnswer(target);
  headless::Instance().QueueSaveDialogAnswer(std::nullopt);
  FInstallErrDlg().btnSaveLogClick();
  FInstallErrDlg().btnSaveLogClick();  // cancelled: nothing written, nothing shown
  std::string bytes = testing_support::ReadFile(target);
  EXPECT_EQ(bytes, platform::AnsiFromUtf8(InstallLogText()));
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);
  EXPECT_EQ(headless::Instance().SaveDialogsShown(), 2);

  // A file that cannot be created: the user is told, the dialog stays.
  headless::Instance().QueueSaveDialogAnswer(dir / "no/such/folder\x01/x.txt");
  EXPECT_NO_THROW(FInstallErrDlg().btnSaveLogClick());

  // A letter the ANSI code page lacks: the saved copy follows the log's own rule, UTF-8 with
  // its byte-order mark, so the name survives instead of turning into question marks.
  InstallLog().Add("Složka Δεδομένα");
  std::string greek = dir / "greek.txt";
  headless::Instance().QueueSaveDialogAnswer(greek);
  FInstallErrDlg().btnSaveLogClick();
  EXPECT_EQ(testing_support::ReadFile(greek), "\xEF\xBB\xBF" + InstallLogText());
  EXPECT_EQ(testing_support::ReadFile(greek), LogFileBytes(InstallLogText()));
}

// The report and the system information window come up over the wizard, wherever it is.
TEST_F(ErrorReport, ReportsAreCentredOnTheMainWindow) {
  TForm main("Main");
  main.SetBounds(40, 30, 800, 700);
  main.ShowForm();
  SetMainForm(&main);
  TFInstallErrDlg& dlg = FInstallErrDlg();
  dlg.ApplyPosition();
  EXPECT_NEAR(dlg.Left() + dlg.Width() / 2, 40 + 800 / 2, 1);
  EXPECT_NEAR(dlg.Top() + dlg.Height() / 2, 30 + 700 / 2, 1);
  // Without a visible main window: the screen.
  main.Hide();
  dlg.ApplyPosition();
  EXPECT_NEAR(dlg.Left() + dlg.Width() / 2, Screen().Width() / 2, 1);
  SetMainForm(nullptr);
}

TEST_F(ErrorReport, SendLogPreparesTheSupportMail) {
  InstallLog().Add("first line");
  TFInstallErrDlg& dlg = FInstallErrDlg();
  dlg.SetSupportAddress("podpora@example.cz");
  headless::QueueAction([&] {
    EXPECT_TRUE(dlg.btnSendLog.Enabled());
    dlg.mmoEmailText.SetText("test");
    headless::UserClick(dlg.btnSendLog);
    headless::UserClick(dlg.btnOK);
  });
  dlg.ShowModal();
#ifndef _WIN32
  const platform::MailMessage* mail = platform::LastMailSent();
  ASSERT_NE(mail, nullptr);
  EXPECT_EQ(mail->Subject, "Error when installing the VELMOR system.");
  EXPECT_EQ(mail->RecipientAddress, "SMTP:podpora@example.cz");
  EXPECT_EQ(mail->OriginatorAddress, "Instalace");
  EXPECT_EQ(mail->AttachmentPath, "");
  EXPECT_EQ(mail->Body.rfind("test\n\r" + InstallLog().Log()[0] + "\r\n", 0), 0u);
#endif
}

TEST_F(ErrorReport, SendLogWithoutSupportAddressDoesNothing) {
  TFInstallErrDlg& dlg = FInstallErrDlg();
  const platform::MailMessage* before = platform::LastMailSent();
  std::string beforeBody = before ? before->Body : "";
  dlg.btnSendLogClick();  // even when called directly
  const platform::MailMessage* after = platform::LastMailSent();
  EXPECT_EQ(after ? after->Body : "", beforeBody);
}

TEST(SendMailMAPI, MissingLibraryOrEntryGiveTheirResults) {
  std::string saved = platform::MapiLibraryName;
  platform::MapiLibraryName = "NoSuchMapi.dll";
  EXPECT_EQ(SendMailMAPI("s", "b", "", "", "", "", ""), -1);
#ifdef _WIN32
  platform::MapiLibraryName = "version.dll";  // a system library without the entry
  EXPECT_EQ(SendMailMAPI("s", "b", "", "", "", "", ""), 1);
#endif
  platform::MapiLibraryName = saved;
  ResetInstallErrDlg();
}
