// The message window on the headless backend: kinds, captions and buttons, sizing, focus,
// the wait window's life, the cursor reset, and the scripted presenter tests use elsewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageForm.h"
#include "support/ScriptedMessages.h"
#include "ui/Application.h"
#include "ui/headless/Headless.h"

using namespace ui;

namespace {

class MessageWindow : public testing::Test {
 protected:
  void SetUp() override {
    headless::Instance().Reset();
    SetCurrentLanguage(langEN);
    UseMessageForm();
  }
  void TearDown() override {
    CloseWait();
    SetMessagePresenter(nullptr);
    SetCurrentLanguage(langCZ);
    Screen().SetCursor(crDefault);
    headless::Instance().Reset();
  }
  // Runs f on the message window while it is shown (before the user answers).
  void WhileShown(std::function<void(TFMessage&)> f) {
    headless::QueueAction([f] { f(*MessageFormPresenter().Showing()); });
  }
};

}  // namespace

TEST_F(MessageWindow, QuestionShowsYesAndNoCentredWithNoFocused) {
  bool checked = false;
  WhileShown([&](TFMessage& f) {
    EXPECT_EQ(f.Caption(), "Question");
    EXPECT_EQ(f.lbZprava.Caption(), "Abort the installation ? ");
    EXPECT_EQ(f.OKBtn.Caption(), "&Yes");
    EXPECT_EQ(f.CancelBtn.Caption(), "&No");
    EXPECT_TRUE(f.CancelBtn.Visible());
    EXPECT_TRUE(f.CancelBtn.Focused());
    EXPECT_EQ(f.CancelBtn.Left() - (f.OKBtn.Left() + f.OKBtn.Width()), 22);
    int leftGap = f.OKBtn.Left(), rightGap = f.Panel1.Width() - (f.CancelBtn.Left() + f.CancelBtn.Width());
    EXPECT_LE(std::abs(leftGap - rightGap), 1);
    EXPECT_FALSE(f.pnlObr.Visible());  // no picture for any kind
    EXPECT_FALSE(f.lblNadpis.Visible());
    checked = true;
  });
  headless::QueueAction([] { headless::PressKey(*MessageFormPresenter().Showing(), vkReturn); });
  EXPECT_FALSE(ShowQuestion("Abort the installation", ""));  // Enter presses the focused No
  EXPECT_TRUE(checked);

  EXPECT_FALSE(ShowQuestion("Abort the installation", ""));  // closed by the close box

  headless::QueueAction([] { headless::UserClick(MessageFormPresenter().Showing()->OKBtn); });
  EXPECT_TRUE(ShowQuestion("Abort the installation", ""));
  EXPECT_EQ(MessageFormPresenter().Showing(), nullptr);  // released after the call
}

TEST_F(MessageWindow, EachKindHasItsCaptionButtonsAndWayOfShowing) {
  struct Case {
    TMessageKind kind;
    TLanguage language;
    std::string caption;  // "" : the caller's caption
    bool cancel, strip, modal;
  } cases[] = {
      {mkQuestion, langCZ, MsgIn(msgQuestion, langCZ), true, true, true},
      {mkWarning, langEN, "Warning", false, true, true},
      {mkInfo, langEN, "Info", false, true, true},
      {mkError, langDE, MsgIn(msgError, langDE), false, true, true},
      {mkInformation, langSK, MsgIn(msgInformation, langSK), false, true, true},
      {mkPlain, langEN, " ", false, true, true},
      {mkRunProc, langEN, "Installation", false, false, false},
      {mkWait, langEN, "Installation", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    SetCurrentLanguage(c.language);
    bool shown = false, ran = false;
    auto inspect = [&](TFMessage& f) {
      shown = true;
      EXPECT_EQ(f.Caption(), c.caption);
      EXPECT_EQ(f.CancelBtn.Visible(), c.cancel);
      EXPECT_EQ(f.Panel1.Visible(), c.strip);
      EXPECT_EQ(f.Modal(), c.modal);
      if (c.strip) {
        EXPECT_EQ(f.OKBtn.Caption(), c.kind == mkQuestion ? MsgIn(msgYes, c.language) : "&OK");
      }
      EXPECT_EQ(f.BorderStyle(), c.strip ? TBorderStyle::bsDialog : TBorderStyle::bsSingle);
    };
    TNotifyEvent runProc;
    if (c.modal)
      WhileShown(inspect);
    else
      runProc = [&](void* sender) {
        EXPECT_EQ(sender, nullptr);
        ran = true;
        inspect(*MessageFormPresenter().Showing());
      };
    bool result = ShowMessageForm("Some text", "", "Installation", c.kind, 0, runProc);
    EXPECT_TRUE(shown);
    EXPECT_EQ(ran, !c.modal);
    // Nobody pressed a button: a closed box is not OK; a window that does not wait is true.
    EXPECT_EQ(result, !c.modal);
    EXPECT_EQ(MessageFormPresenter().WaitForm() != nullptr, c.kind == mkWait);
    CloseWait();
  }
}

TEST_F(MessageWindow, ErrorIsLoggedBeforeItIsShownAndAnEmptyTitleIsHidden) {
  bool seen = false;
  WhileShown([&](TFMessage& f) {
    seen = true;
    EXPECT_FALSE(f.lblNadpis.Visible());
    EXPECT_TRUE(f.lbZprava.Visible());
    ASSERT_EQ(InstallLog().Log().size(), 2u);  // the line and its separator
    EXPECT_NE(InstallLog().Log()[0].find("!!! Cannot create folder !!!"), std::string::npos);
  });
  ShowError("Cannot create folder", "");
  EXPECT_TRUE(seen);
}

TEST_F(MessageWindow, SizeFollowsTheTextWithinTheScreen) {
  struct Result { int width, height; };
  auto measure = [&](const std::string& text, const std::string& title) {
    Result r{};
    WhileShown([&](TFMessage& f) {
      r = {f.Width(), f.Height()};
      // The texts fit the labels they are drawn in.
      if (f.lbZprava.Visible() && f.Height() < Screen().Height() - 50) {
        EXPECT_GE(f.lbZprava.Height(), WrappedTextExtent(f.lbZprava.Caption(), f.lbZprava.Font(), f.lbZprava.Width()).Height);
      }
      if (f.lblNadpis.Visible()) {
        EXPECT_GE(f.lblNadpis.Width() + 1, std::min(700, TextWidth(f.lblNadpis.Caption(), f.lblNadpis.Font())) - 60);
      }
      EXPECT_LE(f.Height(), Screen().Height() - 50);
      EXPECT_LE(f.Width(), Screen().Width() - 50);
      EXPECT_GE(f.Width(), 340);
      EXPECT_GE(f.Height(), 64);
    });
    ShowInfo(text, title);
    return r;
  };
  Result tiny = measure("OK", "");
  EXPECT_EQ(tiny.width, 340);  // the two buttons and 100 pixels at least
  std::string sentence = "The installation directory cannot be created because the disk is full.";
  Result one = measure(sentence, "");
  Result two = measure(sentence + " " + sentence + " " + sentence, "");
  EXPECT_GT(two.height, one.height);  // a long line wraps at the message area's width...
  EXPECT_LE(two.width, static_cast<int>(std::lround((551 + 30) * 1.05)));  // ...and does not widen it
  std::string huge;
  for (int i = 0; i < 300; ++i) huge += sentence + " ";
  Result big = measure(huge, "");
  EXPECT_EQ(big.height, Screen().Height() - 50);

  Result titled = measure(sentence, "These errors was found during checking");
  EXPECT_GT(titled.height, one.height);
  std::string longTitle;
  for (int i = 0; i < 8; ++i) longTitle += "These errors was found during checking ";
  Result wideTitle = measure("x", longTitle);
  EXPECT_GE(wideTitle.width, 700);
  EXPECT_LE(wideTitle.width, static_cast<int>(std::lround(760 * 1.05)));
  EXPECT_GT(wideTitle.height, titled.height - 60);  // wrapped into several lines, not one wide line
}

TEST_F(MessageWindow, OneWaitWindowAtATimeThatOtherMessagesLeaveOpen) {
  UpdateWait("nothing open", "");  // before any wait window: nothing happens
  ShowWait("Initializing ......", "", "Installation");
  TFMessage* first = MessageFormPresenter().WaitForm();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Visible());
  EXPECT_EQ(first->Caption(), "Installation");
  EXPECT_EQ(first->lbZprava.Caption(), "Initializing ......");
  EXPECT_FALSE(first->Panel1.Visible());

  ShowWait("Loading Setup Settings ......", "", "Installation");
  TFMessage* second = MessageFormPresenter().WaitForm();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->lbZprava.Caption(), "Loading Setup Settings ......");

  ShowInfo("in between", "");
  ShowQuestion("still there", "");
  EXPECT_EQ(MessageFormPresenter().WaitForm(), second);
  EXPECT_TRUE(second->Visible());

  int repaints = headless::Instance().RepaintCount(second->lbZprava);
  int width = second->Width();
  UpdateWait("Downloading 50 %", "A title");
  EXPECT_EQ(second->lbZprava.Caption(), "Downloading 50 %");
  EXPECT_EQ(second->lblNadpis.Caption(), "A title");
  EXPECT_FALSE(second->lblNadpis.Visible());  // opened without a title: it stays hidden
  EXPECT_EQ(second->Width(), width);          // not resized
  EXPECT_GT(headless::Instance().RepaintCount(second->lbZprava), repaints);

  second->Close();  // closing by hand only hides it
  EXPECT_EQ(MessageFormPresenter().WaitForm(), second);
  CloseWait();
  EXPECT_EQ(MessageFormPresenter().WaitForm(), nullptr);
  UpdateWait("after close", "");  // nothing happens
  CloseWait();
}

TEST_F(MessageWindow, EveryMessageResetsTheCursorAndRunsPendingInputOnce) {
  Screen().SetCursor(crHourGlass);
  int ran = 0;
  headless::QueueAction([] {});  // answers the box (closes nothing; the loop then closes it)
  ShowInfo("done", "");
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_EQ(headless::Instance().PlatformCursor(), crDefault);

  // A wait window is not modal: the one pending action runs before the call returns.
  headless::QueueAction([&] { ++ran; });
  headless::QueueAction([&] { ++ran; });
  Screen().SetCursor(crHourGlass);
  ShowMessageForm("working", "", "Installation", mkWait, crHourGlass);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(Screen().Cursor(), crHourGlass);  // a cursor argument is set at the end
}

TEST_F(MessageWindow, AFailingRunProcedureStillReleasesTheWindowAndPropagates) {
  bool pumped = false;
  headless::QueueAction([&] { pumped = true; });
  Screen().SetCursor(crHourGlass);
  EXPECT_THROW(ShowMessageForm("x", "", "Installation", mkRunProc, 0,
                               [](void*) { throw std::runtime_error("step failed"); }),
               std::runtime_error);
  EXPECT_EQ(MessageFormPresenter().Showing(), nullptr);
  EXPECT_EQ(MessageFormPresenter().WaitForm(), nullptr);
  EXPECT_TRUE(pumped);
  EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(ScriptedMessages, RecordsEverythingAndAnswersFromTheScript) {
  {
    TScriptedMessages messages;
    messages.Answer({true, false});
    EXPECT_TRUE(ShowQuestion("First", ""));
    EXPECT_FALSE(ShowQuestion("Second", ""));
    EXPECT_FALSE(ShowQuestion("Third", ""));  // script used up: the default answer
    messages.DefaultAnswer = true;
    EXPECT_TRUE(ShowQuestion("Fourth", ""));
    ShowError("Broken", "Title");
    ShowWait("Initializing ......", "", "Installation");
    UpdateWait("50 %", "");
    EXPECT_EQ(messages.Wait()->Text, "50 %");
    CloseWait();
    EXPECT_FALSE(messages.Wait());
    UpdateWait("ignored", "");
    EXPECT_EQ(messages.WaitUpdates().size(), 1u);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"First", "Second", "Third", "Fourth", "Broken",
                                                          "Initializing ......"}));
    EXPECT_EQ(messages.Shown()[4], (TShownMessage{mkError, "Broken", "Title", ""}));
    EXPECT_EQ(messages.Shown()[5], (TShownMessage{mkWait, "Initializing ......", "", "Installation"}));
    EXPECT_EQ(InstallLog().Log().size(), 2u);  // the error, logged (with its separator)
  }
  // Gone: the silent default presenter is back.
  EXPECT_FALSE(ShowQuestion("unanswered", ""));
}
