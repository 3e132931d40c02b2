#pragma once
// The program's message loops: the main window's, a modal form's, and the pump that lets
// pending input run once.
namespace ui {
class TForm;
}

namespace ui::win32 {

void RunModalLoop(TForm& form);
void RunMainMessageLoop(TForm& mainForm);
void ProcessPendingMessages();

}  // namespace ui::win32
