// The message window as real windows: found by its class, its buttons pressed by real
// messages the way a user (or a GUI driver) does.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/Catalogue.h"
#include "support/MessageForm.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

namespace {

class RealMessageWindow : public testing::Test {
 protected:
  void SetUp() override {
    ui::win32::UseWin32Backend();
    UseMessageForm();
    SetCurrentLanguage(langEN);
  }
  void TearDown() override {
    CloseWait();
    SetMessagePresenter(nullptr);
    SetCurrentLanguage(langCZ);
    Application().ProcessMessages();
    ui::SetBackend(nullptr);
  }
};

// The user's side runs from a timer inside the window's own message loop, once the message
// window is visible.
std::function<void(HWND)> pendingAct;
int timerTicks = 0;

void CALLBACK ActWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowW(L"TFMessage", nullptr);
  if ((!w || !IsWindowVisible(w)) && ++timerTicks < 500) return;
  KillTimer(nullptr, id);
  auto act = std::move(pendingAct);
  pendingAct = nullptr;
  if (act) act(w);
}

void WhenShown(std::function<void(HWND)> act) {
  pendingAct = std::move(act);
  timerTicks = 0;
  SetTimer(nullptr, 0, 20, ActWhenShown);
}

struct Search {
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchButton(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  wchar_t cls[32], caption[128];
  GetClassNameW(h, cls, 32);
  GetWindowTextW(h, caption, 128);
  if (_wcsicmp(cls, L"BUTTON") == 0 && s->text == caption && IsWindowVisible(h)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindButton(HWND window, const std::wstring& text) {
  Search search{text};
  EnumChildWindows(window, MatchButton, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What the user does once the message window is up.
enum class Act { ClickYes, ClickNo, Enter, CloseBox };

void Perform(Act act, HWND w, bool& done) {
  if (!w) return;
  if (act == Act::ClickYes || act == Act::ClickNo) {
    HWND button = FindButton(w, act == Act::ClickYes ? L"&Yes" : L"&No");
    if (!button) {  // never leave the test waiting for an answer
      PostMessageW(w, WM_CLOSE, 0, 0);
      return;
    }
    SendMessageW(button, BM_CLICK, 0, 0);
  } else if (act == Act::Enter) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
  } else {
    PostMessageW(w, WM_CLOSE, 0, 0);
  }
  done = true;
}

}  // namespace

TEST_F(RealMessageWindow, QuestionIsAnsweredByRealButtonPresses) {
  struct Case { Act act; bool expected; } cases[] = {
      {Act::ClickYes, true}, {Act::ClickNo, false}, {Act::Enter, false}, {Act::CloseBox, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.act));
    bool done = false;
    WhenShown([&](HWND w) { Perform(c.act, w, done); });
    bool answer = ShowQuestion("Abort the installation", "");
    EXPECT_TRUE(done);
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(FindWindowW(L"TFMessage", nullptr), nullptr);  // released
  }
}

TEST_F(RealMessageWindow, ButtonsAndTextsSitInsideTheWindow) {
  bool done = false;
  RECT window{}, yes{}, no{}, client{};
  WhenShown([&](HWND w) {
    if (!w) return;
    GetWindowRect(w, &window);
    GetClientRect(w, &client);
    GetWindowRect(FindButton(w, L"&Yes"), &yes);
    GetWindowRect(FindButton(w, L"&No"), &no);
    PostMessageW(w, WM_CLOSE, 0, 0);
    done = true;
  });
  ShowQuestion("The target directory already contains a newer version of the program. Continue anyway", "");
  ASSERT_TRUE(done);
  EXPECT_EQ(no.left - yes.right, 22);
  EXPECT_GE(yes.left, window.left);
  EXPECT_LE(no.right, window.right);
  EXPECT_LE(window.bottom - window.top, GetSystemMetrics(SM_CYSCREEN) - 50);
  // Centred on the screen.
  int screenW = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_LE(std::abs((window.left + window.right) / 2 - screenW / 2), 2);
}

TEST_F(RealMessageWindow, WaitWindowStaysOpenWithoutBlockingUntilClosed) {
  ShowWait("Initializing ......", "", "Installation");
  HWND w = FindWindowW(L"TFMessage", nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(IsWindowVisible(w));
  wchar_t caption[64];
  GetWindowTextW(w, caption, 64);
  EXPECT_STREQ(caption, L"Installation");
  EXPECT_EQ(FindButton(w, L"&OK"), nullptr);  // no buttons on a wait window
  UpdateWait("Loading Setup Settings ......", "");
  CloseWait();
  EXPECT_FALSE(IsWindow(w));
}
