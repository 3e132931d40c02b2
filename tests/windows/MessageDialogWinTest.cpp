// The message window as real windows: a driver thread finds it by its class and presses its
// buttons the way a user (or a GUI driver) does.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/Application.h"
#include "support/Catalogue.h"
#include "support/MessageForm.h"
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

HWND FindVisibleMessageWindow() {
  for (int i = 0; i < 1000; ++i) {
    HWND w = FindWindowW(L"TFMessage", nullptr);
    if (w && IsWindowVisible(w)) return w;
    Sleep(10);
  }
  return nullptr;
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

// What the driver thread does once the message window is up.
enum class Act { ClickYes, ClickNo, Enter, CloseBox };

std::thread Driver(Act act, std::atomic<bool>& done) {
  return std::thread([act, &done] {
    HWND w = FindVisibleMessageWindow();
    if (!w) return;
    HWND button = FindButton(w, act == Act::ClickYes ? L"&Yes" : L"&No");
    if (!button) {  // never leave the test waiting for an answer
      PostMessageW(w, WM_CLOSE, 0, 0);
      return;
    }
    switch (act) {
      case Act::ClickYes: case Act::ClickNo: SendMessageW(button, BM_CLICK, 0, 0); break;
      case Act::Enter: {
        GUITHREADINFO info{sizeof info};
        GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
        PostMessageW(info.hwndFocus, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(info.hwndFocus, WM_KEYUP, VK_RETURN, 0xC0000001);
        break;
      }
      case Act::CloseBox: PostMessageW(w, WM_CLOSE, 0, 0); break;
    }
    done = true;
  });
}

}  // namespace

TEST_F(RealMessageWindow, QuestionIsAnsweredByRealButtonPresses) {
  struct Case { Act act; bool expected; } cases[] = {
      {Act::ClickYes, true}, {Act::ClickNo, false}, {Act::Enter, false}, {Act::CloseBox, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.act));
    std::atomic<bool> done{false};
    std::thread driver = Driver(c.act, done);
    bool answer = ShowQuestion("Abort the installation", "");
    driver.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(FindWindowW(L"TFMessage", nullptr), nullptr);  // released
  }
}

TEST_F(RealMessageWindow, ButtonsAndTextsSitInsideTheWindow) {
  std::atomic<bool> done{false};
  RECT window{}, yes{}, no{}, client{};
  std::thread driver([&] {
    HWND w = FindVisibleMessageWindow();
    if (!w) return;
    GetWindowRect(w, &window);
    GetClientRect(w, &client);
    GetWindowRect(FindButton(w, L"&Yes"), &yes);
    GetWindowRect(FindButton(w, L"&No"), &no);
    PostMessageW(w, WM_CLOSE, 0, 0);
    done = true;
  });
  ShowQuestion("The target directory already contains a newer version of the program. Continue anyway", "");
  driver.join();
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
