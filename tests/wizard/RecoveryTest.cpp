// The restore page when files of the backup cannot be written: the rest comes back, the page
// reports the failure, and the message box and the log name the files left as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "WizardTestSupport.h"
#include "engine/BackupRestore.h"
#include "platform/Files.h"

namespace wizard_test {
namespace {

class RecoveryTest : public WizardTest {};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) lines.push_back(text.substr(at, nl - at));
  lines.push_back(text.substr(at));
  return lines;
}

TEST_F(RecoveryTest, FilesTheRestoreCannotWriteAreNamedAndTheRestComesBack) {
  struct Case {
    int blocked;
    std::size_t boxLines;  // heading, the files listed, and the line counting the rest
    const char* lastLine;
  };
  const std::vector<Case> cases = {{1, 2, nullptr}, {15, 16, nullptr}, {16, 16, "... and 2 more (listed in the installation log)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.blocked) + " files blocked");
    std::string folder = "Velmor" + std::to_string(c.blocked);
    std::string target = temp / folder;
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "Data/f%02d.txt", i);
      files.push_back(temp.Write(folder + "/" + name, "old " + std::to_string(i)));
    }
    engine::BackupResult backup = engine::BackUpFiles(target, files, "20261211120000", engine::NoProgress());
    ASSERT_TRUE(backup.Complete);
    // The failed installation changed every file; a folder now stands where the first ones were.
    for (int i = 0; i < 20; ++i) platform::WriteWholeFile(files[i], "new");
    for (int i = 0; i < c.blocked; ++i) {
      std::filesystem::remove(files[i]);
      std::filesystem::create_directories(files[i] + "/in-the-way");
    }

    auto w = Create();
    w->State.AdrInstall = target;
    w->State.BackupVelmor = backup.ArchivePath;
    w->ShowPage(w->tsObnova);
    std::size_t boxes = host.plainMessages.size();
    EXPECT_FALSE(w->RecoveryPrevVelmor());

    EXPECT_EQ(w->lblResultRecov.Caption(), Msg(msgErrorRecoveringPrevious));
    EXPECT_TRUE(w->pnlRecovResult.Visible());
    for (int i = c.blocked; i < 20; ++i) EXPECT_EQ(testing_support::ReadFile(files[i]), "old " + std::to_string(i));
    for (int i = 0; i < c.blocked; ++i) EXPECT_TRUE(std::filesystem::is_directory(files[i] + "/in-the-way"));

    const auto& shown = host.plainMessages;
    ASSERT_EQ(shown.size(), boxes + 1);
    std::vector<std::string> box = Lines(shown.back());
    ASSERT_EQ(box.size(), c.boxLines);
    EXPECT_EQ(box[0], "These files could not be restored and were left as they were:");
    EXPECT_EQ(box[1], files[0]);
    if (c.lastLine) EXPECT_EQ(box.back(), c.lastLine);
    for (int i = 0; i < c.blocked; ++i) EXPECT_TRUE(LogHas(files[i] + " : ")) << files[i] << " in the log";
    EXPECT_FALSE(LogHas(files[c.blocked] + " : "));
    EXPECT_TRUE(LogHas(Msg(msgErrorRecoveringPrevious)));
  }
}

}  // namespace
}  // namespace wizard_test
