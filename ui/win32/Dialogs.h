#pragma once
// The system's dialogs the program uses: the file-save dialog, the folder browser and the plain
// message box.
#include <string>

namespace ui {
class TForm;
}

namespace ui::win32 {

bool ShowSaveFileDialog(TForm* owner, std::string& fileName);
bool ShowFolderBrowser(TForm* owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder);
void ShowPlainMessageBox(TForm* owner, const std::string& text);

}  // namespace ui::win32
