// The Win32 backend under real windows: window classes, sizes, the tab-less page control,
// property mirroring both ways, key preview and the modal loop driven by real messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/win32/Win32Backend.h"

using namespace ui;

namespace {

class Win32Controls : public testing::Test {
 protected:
  void SetUp() override { win32::UseWin32Backend(); }
  void TearDown() override {
    Application().ProcessMessages();
    SetBackend(nullptr);
  }
};

HWND H(const TControl& c) { return static_cast<HWND>(c.Handle()); }

std::wstring Text(HWND h) {
  wchar_t buf[512] = {};
  SendMessageW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
  return buf;
}

RECT RectIn(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Presses keys as the user does: the thread's keyboard state says which modifiers are down.
void PostKey(HWND target, int vk, bool ctrl, bool shift, bool alt) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_MENU] = alt ? 0x80 : 0;
  SetKeyboardState(state);
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
  Application().ProcessMessages();
  state[VK_CONTROL] = state[VK_SHIFT] = state[VK_MENU] = 0;
  SetKeyboardState(state);
}

void CALLBACK PressFirstButton(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowW(L"VelSetupTestDialog", nullptr);
  if (!w || !IsWindowVisible(w)) return;
  KillTimer(nullptr, id);
  SendMessageW(FindWindowExW(w, nullptr, L"BUTTON", nullptr), BM_CLICK, 0, 0);
}

// Showing a window can take a while under a bare X server: the timers wait until the
// dialog is really on screen before they act, or their message would be lost.
void CALLBACK CloseTestDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowW(L"VelSetupTestDialog", nullptr);
  if (!w || !IsWindowVisible(w)) return;
  KillTimer(nullptr, id);
  PostMessageW(w, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(Win32Controls, FormHasItsClassNameAndExactClientSize) {
  TForm form("TestForm");
  form.SetWindowClassName("VelSetupTestForm");
  form.SetBorderStyle(TBorderStyle::bsSingle);
  form.SetMaximizeBox(false);
  form.SetClientWidth(754);
  form.SetClientHeight(711);
  form.SetCaption("Instalace software VELMOR");
  form.ShowForm();
  HWND found = FindWindowW(L"VelSetupTestForm", nullptr);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, H(form));
  RECT client;
  GetClientRect(found, &client);
  EXPECT_EQ(client.right, 754);
  EXPECT_EQ(client.bottom, 711);
  EXPECT_EQ(Text(found), L"Instalace software VELMOR");
  LONG style = GetWindowLongW(found, GWL_STYLE);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  // Closing by the system close box hides the window (the model decides).
  SendMessageW(found, WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(IsWindowVisible(found));
}

TEST_F(Win32Controls, TablessPageControlPagesFillTheWholeControl) {
  TForm form("F");
  form.SetBorderStyle(TBorderStyle::bsNone);
  form.SetBounds(0, 0, 600, 400);
  TPageControl pgc(&form, "pgcInstall");
  pgc.SetBounds(10, 20, 500, 300);
  pgc.SetStyle(TTabStyle::tsFlatButtons);
  TTabSheet a(&pgc, "tsJazyk"), b(&pgc, "tsAdresar");
  a.SetCaption("first");
  b.SetCaption("second");
  TButton onB(&b, "onB");
  form.ShowForm();
  pgc.SetTabHeight(1);
  pgc.SetTabWidth(1);
  a.SetCaption("");
  b.SetCaption("");

  HWND tabs = H(pgc);
  wchar_t cls[64];
  GetClassNameW(tabs, cls, 64);
  EXPECT_STREQ(cls, WC_TABCONTROLW);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);

  // The adjust-rectangle request: left 0, right and bottom the client's, top 7 above the base's.
  RECT client;
  GetClientRect(tabs, &client);
  RECT asked = client;
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&asked));
  EXPECT_EQ(asked.left, 0);
  EXPECT_EQ(asked.right, client.right);
  EXPECT_EQ(asked.bottom, client.bottom);
  EXPECT_LE(asked.top, 0);
  RECT enlarge = {0, 0, 100, 100};  // the other direction gets the same treatment
  SendMessageW(tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&enlarge));
  EXPECT_EQ(enlarge.left, 0);
  EXPECT_EQ(enlarge.right, client.right);

  for (TTabSheet* page : {&a, &b}) {
    pgc.SetActivePage(page);
    RECT r = RectIn(H(*page), tabs);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_LE(r.top, 0);
    EXPECT_TRUE(IsWindowVisible(H(*page)));
  }
  EXPECT_FALSE(IsWindowVisible(H(a)));
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  // What the window shows at the tab row's place is the page, not a tab.
  POINT top{client.right / 2, 0};
  EXPECT_EQ(ChildWindowFromPointEx(tabs, top, CWP_SKIPINVISIBLE), H(b));
}

TEST_F(Win32Controls, PropertiesReachTheWindowsAndUserInputReachesTheModel) {
  TForm form("F");
  form.SetBounds(0, 0, 500, 400);
  TEdit ed(&form, "edDir");
  TComboBox cmb(&form, "cmb");
  TCheckBox chk(&form, "chk");
  TProgressBar bar(&form, "bar");
  TButton btn(&form, "btn");
  TLabel hidden(&form, "hidden");
  TRadioButton r1(&form, "r1"), r2(&form, "r2");
  ed.SetBounds(10, 10, 200, 21);
  cmb.SetBounds(10, 40, 200, 21);
  chk.SetBounds(10, 70, 200, 17);
  btn.SetBounds(10, 100, 100, 30);
  r1.SetBounds(10, 140, 100, 17);
  r2.SetBounds(10, 160, 100, 17);
  form.ShowForm();

  std::vector<std::string> events;
  ed.OnChange = [&](TControl*) { events.push_back("ed=" + ed.Text()); };
  cmb.OnChange = [&](TControl*) { events.push_back("cmb=" + cmb.Text()); };
  btn.OnClick = [&](TControl*) { events.push_back("btn"); };

  ed.SetText("C:\\Velmor");
  EXPECT_EQ(Text(H(ed)), L"C:\\Velmor");
  cmb.SetItems({"MSSQLSERVER", "SQLEXPRESS"});
  cmb.SetItemIndex(1);
  EXPECT_EQ(SendMessageW(H(cmb), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(H(cmb), CB_GETCURSEL, 0, 0), 1);
  chk.SetChecked(true);
  EXPECT_EQ(SendMessageW(H(chk), BM_GETCHECK, 0, 0), BST_CHECKED);
  bar.SetMax(40);
  bar.SetPosition(30);
  EXPECT_EQ(SendMessageW(H(bar), PBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(SendMessageW(H(bar), PBM_GETRANGE, FALSE, 0), 40);
  hidden.Hide();
  EXPECT_FALSE(IsWindowVisible(H(hidden)));
  btn.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(H(btn)));
  btn.SetEnabled(true);

  // The user's side: typing, picking, clicking through real messages.
  SendMessageW(H(ed), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\Jinde"));
  EXPECT_EQ(ed.Text(), "D:\\Jinde");
  SendMessageW(H(cmb), CB_SETCURSEL, 0, 0);
  SendMessageW(H(form), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(H(cmb)));
  EXPECT_EQ(cmb.ItemIndex(), 0);
  SendMessageW(H(chk), BM_CLICK, 0, 0);
  EXPECT_FALSE(chk.Checked());
  EXPECT_EQ(SendMessageW(H(chk), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(H(r2), BM_CLICK, 0, 0);
  SendMessageW(H(r1), BM_CLICK, 0, 0);
  EXPECT_TRUE(r1.Checked());
  EXPECT_FALSE(r2.Checked());
  EXPECT_EQ(SendMessageW(H(r2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(H(btn), BM_CLICK, 0, 0);
  // The program's own SetText reported once, not again through the window's notification.
  EXPECT_EQ(events, (std::vector<std::string>{"ed=C:\\Velmor", "ed=D:\\Jinde", "cmb=MSSQLSERVER", "btn"}));
}

// A notification goes to the control whose window sent it, whichever window of the program it
// reaches (the form or a panel); one from a window the program did not make changes nothing.
TEST_F(Win32Controls, NotificationsReachTheControlThatOwnsTheWindow) {
  TForm form("F");
  form.SetBounds(0, 0, 500, 400);
  TPanel panel(&form, "panel");
  panel.SetBounds(0, 0, 480, 300);
  TListBox list(&panel, "list");
  TMemo memo(&panel, "memo");
  TCheckBox chk(&panel, "chk");
  TRadioButton radio(&form, "radio");
  list.SetBounds(10, 10, 150, 80);
  memo.SetBounds(10, 100, 200, 80);
  chk.SetBounds(10, 200, 150, 17);
  radio.SetBounds(10, 320, 150, 17);
  form.ShowForm();

  std::vector<std::string> events;
  list.OnClick = [&](TControl*) { events.push_back("list=" + std::to_string(list.ItemIndex())); };
  memo.OnChange = [&](TControl*) { events.push_back("memo=" + memo.Text()); };
  chk.OnClick = [&](TControl*) { events.push_back(chk.Checked() ? "chk=on" : "chk=off"); };
  radio.OnClick = [&](TControl*) { events.push_back("radio"); };

  // The program's own changes: reported by the model once, never again by the windows.
  list.SetItems({"Kest", "Tarpel", "Demo"});
  list.SetItemIndex(2);
  memo.SetText("first");
  EXPECT_EQ(SendMessageW(H(list), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(H(list), LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(H(memo)), L"first");
  EXPECT_EQ(events, (std::vector<std::string>{"memo=first"}));
  events.clear();

  // The user's: each through the window it happens in.
  SendMessageW(H(list), LB_SETCURSEL, 0, 0);
  SendMessageW(H(panel), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(H(list)));
  // A multi-line edit sends no EN_CHANGE for WM_SETTEXT: the notification comes as typing sends it.
  SendMessageW(H(memo), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
  SendMessageW(H(panel), WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(H(memo)));
  SendMessageW(H(chk), BM_CLICK, 0, 0);
  SendMessageW(H(radio), BM_CLICK, 0, 0);
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(memo.Text(), "typed");
  EXPECT_TRUE(chk.Checked());
  EXPECT_TRUE(radio.Checked());
  EXPECT_EQ(events, (std::vector<std::string>{"list=0", "memo=typed", "chk=on", "radio"}));
  events.clear();

  // A button the program did not make, on the form: its click reaches no control.
  HWND stranger = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, H(form), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(stranger, nullptr);
  SendMessageW(stranger, BM_CLICK, 0, 0);
  SendMessageW(H(form), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(stranger));
  DestroyWindow(stranger);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(form.ModalResult(), mrNone);
}

TEST_F(Win32Controls, MeasuringTextUsesTheRealFont) {
  TFont segoe{"Segoe UI", 19, false, clBlack};
  TFont bold = segoe;
  bold.Bold = true;
  TSize x = TextExtent("X", segoe);
  EXPECT_GE(x.Height, 19);
  EXPECT_LT(TextWidth("Next", segoe), TextWidth("Next", bold));
  TSize wrapped = WrappedTextExtent(std::string(60, 'a') + " " + std::string(60, 'b'), segoe, 551);
  EXPECT_GE(wrapped.Height, 2 * x.Height);
  EXPECT_GT(Screen().Width(), 0);
  EXPECT_GT(Screen().Height(), 0);
}

TEST_F(Win32Controls, ModalLoopEndsWhenARealButtonIsPressed) {
  TForm dlg("Dlg");
  dlg.SetWindowClassName("VelSetupTestDialog");
  dlg.SetBounds(100, 100, 300, 200);
  TButton ok(&dlg, "ok"), cancel(&dlg, "cancel");
  ok.SetBounds(10, 10, 100, 30);
  cancel.SetBounds(120, 10, 100, 30);
  ok.SetModalResult(mrOk);
  cancel.SetModalResult(mrCancel);
  // A timer inside the modal loop finds the window by its class and presses the button,
  // like a GUI driver does from outside.
  SetTimer(nullptr, 0, 50, PressFirstButton);
  TModalResult result = dlg.ShowModal();
  EXPECT_EQ(result, mrOk);
  EXPECT_FALSE(IsWindowVisible(H(dlg)));

  // The close box ends it with Cancel.
  SetTimer(nullptr, 0, 50, CloseTestDialog);
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
}

TEST_F(Win32Controls, KeyPreviewSeesCtrlIBeforeTheFocusedControl) {
  TForm form("F");
  form.SetBounds(0, 0, 300, 200);
  form.SetKeyPreview(true);
  TEdit ed(&form, "ed");
  ed.SetBounds(10, 10, 100, 21);
  std::vector<std::string> seen;
  form.OnKeyDown = [&](TControl*, int& key, TShiftState shift) {
    if (key == 'I') seen.push_back(std::to_string(shift));
  };
  form.ShowForm();
  ed.SetFocus();
  PostKey(H(ed), 'I', true, false, false);
  PostKey(H(ed), 'I', true, true, false);
  PostKey(H(ed), 'I', false, false, true);
  PostKey(H(ed), 'I', false, false, false);
  EXPECT_EQ(seen, (std::vector<std::string>{std::to_string(ssCtrl), std::to_string(ssCtrl | ssShift),
                                            std::to_string(ssAlt), "0"}));
}

TEST_F(Win32Controls, ErrorsInHandlersReachTheCallerOfTheLoop) {
  TForm form("F");
  form.SetBounds(0, 0, 300, 200);
  TButton b(&form, "b");
  b.SetBounds(10, 10, 80, 25);
  b.OnClick = [](TControl*) { throw std::runtime_error("handler failed"); };
  form.ShowForm();
  PostMessageW(H(b), BM_CLICK, 0, 0);
  EXPECT_THROW(Application().ProcessMessages(), std::runtime_error);
  // The loop keeps working afterwards.
  b.OnClick = nullptr;
  PostMessageW(H(b), BM_CLICK, 0, 0);
  EXPECT_NO_THROW(Application().ProcessMessages());
}
