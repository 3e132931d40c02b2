#include "ui/headless/Headless.h"

#include <cmath>

#include "ui/Application.h"

namespace ui::headless {

class HeadlessPeer : public IControlPeer {
 public:
  HeadlessPeer(THeadlessBackend& backend, TControl& control) : FBackend(backend), FControl(control) {}
  void SetFocus() override {}
  void Repaint() override { ++FBackend.FRepaints[&FControl]; }
  void* Handle() const override { return nullptr; }

 private:
  THeadlessBackend& FBackend;
  TControl& FControl;
};

std::unique_ptr<IControlPeer> THeadlessBackend::CreatePeer(TControl& control) {
  return std::make_unique<HeadlessPeer>(*this, control);
}

void THeadlessBackend::ControlDestroyed(TControl& control) {
  if (FFocused == &control) FFocused = nullptr;
  FRepaints.erase(&control);
}

namespace {
// Width of one character in twentieths of the font height: a rough proportional font.
int CharTwentieths(char32_t c) {
  if (c == ' ') return 6;
  if (c < 128) {
    char a = static_cast<char>(c);
    if (std::string_view("ijlI.,:;'!|").find(a) != std::string_view::npos) return 5;
    if (std::string_view("mwMW").find(a) != std::string_view::npos) return 17;
    if ((a >= 'A' && a <= 'Z') || (a >= '0' && a <= '9')) return 12;
    return 10;
  }
  return 11;
}

std::u32string CodePoints(const std::string& text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = len == 1 ? b : b & (0xFF >> (len + 1));
    for (int k = 1; k < len && i + static_cast<size_t>(k) < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3F);
    out.push_back(cp);
    i += static_cast<size_t>(len);
  }
  return out;
}

int LineHeight(const TFont& font) { return (font.Height * 4 + 2) / 3; }
}  // namespace

TSize THeadlessBackend::TextExtent(const std::string& text, const TFont& font) {
  int units = 0;
  for (char32_t c : CodePoints(text))
    if (c != '\r' && c != '\n') units += CharTwentieths(c);
  double width = units * font.Height / 20.0 * (font.Bold ? 1.1 : 1.0);
  return {static_cast<int>(std::lround(width)), LineHeight(font)};
}

TSize THeadlessBackend::WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) {
  if (text.empty()) return {0, 0};
  auto lines = WrapText(text, maxWidth, [&](const std::string& s) { return TextExtent(s, font).Width; });
  int right = 0;
  for (const auto& l : lines) right = std::max(right, TextExtent(l, font).Width);
  return {right, static_cast<int>(lines.size()) * LineHeight(font)};
}

TSize THeadlessBackend::NonClientSize(const TForm& form) {
  switch (form.BorderStyle()) {
    case TBorderStyle::bsNone: return {0, 0};
    case TBorderStyle::bsSizeable: return {16, 39};
    default: return {6, 29};
  }
}

TRect THeadlessBackend::PlatformPageRect(const TPageControl& control) {
  int row = control.TabHeight() > 0 ? control.TabHeight() : LineHeight(control.Font()) + 6;
  if (control.Style() == TTabStyle::tsTabs) return {4, row + 6, control.ClientWidth() - 4, control.ClientHeight() - 4};
  return {0, row + 3, control.ClientWidth(), control.ClientHeight()};
}

void THeadlessBackend::RunModal(TForm& form) {
  form.ShowForm();
  while (form.ModalResult() == mrNone && form.Visible()) {
    if (FActions.empty()) {
      // Nobody answers: the user closes the window by its close box.
      form.Close();
      if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
      break;
    }
    auto action = std::move(FActions.front());
    FActions.pop_front();
    action();
  }
}

void THeadlessBackend::RunMainLoop(TForm& mainForm) {
  while (mainForm.Visible() && !Application().Terminated() && !FActions.empty()) {
    auto action = std::move(FActions.front());
    FActions.pop_front();
    action();
  }
}

void THeadlessBackend::ProcessMessages() {
  if (FActions.empty()) return;
  auto action = std::move(FActions.front());
  FActions.pop_front();
  action();
}

bool THeadlessBackend::SaveFileDialog(TForm*, std::string& fileName) {
  ++FSaveDialogs;
  if (FSaveAnswers.empty()) return false;
  auto answer = std::move(FSaveAnswers.front());
  FSaveAnswers.pop_front();
  if (!answer) return false;
  fileName = *answer;
  return true;
}

bool THeadlessBackend::BrowseForFolder(TForm*, const std::string& title, const std::string& root,
                                       const std::string& initial, std::string& folder) {
  FFolderRequests.push_back({title, root, initial});
  if (FFolderAnswers.empty()) return false;
  auto answer = std::move(FFolderAnswers.front());
  FFolderAnswers.pop_front();
  if (!answer) return false;
  folder = *answer;
  return true;
}

void THeadlessBackend::PlainMessageBox(TForm*, const std::string& text) { FPlainMessages.push_back(text); }

int THeadlessBackend::RepaintCount(const TControl& control) const {
  auto it = FRepaints.find(&control);
  return it == FRepaints.end() ? 0 : it->second;
}

void THeadlessBackend::Reset() {
  FActions.clear();
  FSaveAnswers.clear();
  FSaveDialogs = 0;
  FFolderAnswers.clear();
  FFolderRequests.clear();
  FPlainMessages.clear();
  FScreen = {1280, 1024};
  FCursor = crDefault;
  FRepaints.clear();
}

THeadlessBackend& Instance() {
  static THeadlessBackend backend;
  return backend;
}

void QueueAction(std::function<void()> action) {
  if (&Backend() == &Instance()) SetBackend(&Instance());  // make sure the pump runs our queue
  Instance().QueueAction(std::move(action));
}

bool UserClick(TControl& control) {
  if (!control.CanFocus()) return false;
  control.Click();
  return true;
}

bool PressKey(TForm& form, int key, TShiftState shift) {
  if (!form.Visible()) return false;
  return form.DispatchKey(key, shift);
}

}  // namespace ui::headless
