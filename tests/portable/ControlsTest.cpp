// The control layer's own decisions, on the headless backend: layout, selection rules,
// events, focus and keys, the modal loop and the message pump.
#include <gtest/gtest.h>

#include <memory>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/headless/Headless.h"

using namespace ui;

namespace {
class Controls : public testing::Test {
 protected:
  void SetUp() override { headless::Instance().Reset(); }
  void TearDown() override { headless::Instance().Reset(); }
};
}  // namespace

TEST_F(Controls, AlignedChildrenShareTheClientAreaInPositionOrder) {
  TForm form("F");
  form.SetBorderStyle(TBorderStyle::bsNone);
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  TPanel top(&form, "top"), bottom(&form, "bottom"), client(&form, "client");
  TPanel right1(&form, "r1"), right2(&form, "r2");
  top.SetHeight(50);
  top.SetAlign(TAlign::alTop);
  bottom.SetHeight(40);
  bottom.SetAlign(TAlign::alBottom);
  right1.SetWidth(100);
  right1.SetLeft(300);
  right2.SetWidth(60);
  right2.SetLeft(200);
  right1.SetAlign(TAlign::alRight);
  right2.SetAlign(TAlign::alRight);
  client.SetAlign(TAlign::alClient);

  EXPECT_EQ(top.BoundsRect(), (TRect{0, 0, 400, 50}));
  EXPECT_EQ(bottom.BoundsRect(), (TRect{0, 260, 400, 300}));
  // The right-most stays right-most; the next one goes left of it.
  EXPECT_EQ(right1.BoundsRect(), (TRect{300, 50, 400, 260}));
  EXPECT_EQ(right2.BoundsRect(), (TRect{240, 50, 300, 260}));
  EXPECT_EQ(client.BoundsRect(), (TRect{0, 50, 240, 260}));

  // Hiding a control gives its room to the others; resizing the form re-lays everything.
  right1.Hide();
  EXPECT_EQ(right2.BoundsRect(), (TRect{340, 50, 400, 260}));
  form.SetClientWidth(500);
  EXPECT_EQ(right2.BoundsRect(), (TRect{440, 50, 500, 260}));
  EXPECT_EQ(client.Width(), 440);
}

TEST_F(Controls, MarginsAndPaddingKeepAlignedChildrenInside) {
  TPanel strip(nullptr, "strip");
  strip.SetBounds(0, 0, 754, 75);
  strip.SetPadding({18, 0, 18, 0});
  TButton next(&strip, "next"), prev(&strip, "prev");
  next.SetWidth(130);
  next.SetAlignWithMargins(true);
  next.SetMargins({0, 18, 0, 18});
  next.SetAlign(TAlign::alRight);
  prev.SetWidth(130);
  prev.SetAlign(TAlign::alLeft);
  EXPECT_EQ(next.BoundsRect(), (TRect{754 - 18 - 130, 18, 754 - 18, 75 - 18}));
  EXPECT_EQ(prev.BoundsRect(), (TRect{18, 0, 148, 75}));
}

TEST_F(Controls, ConstraintsLimitTheSize) {
  TPanel p(nullptr, "p");
  p.Constraints() = {340, 64, 900, 600};
  struct Case { int w, h, ew, eh; } cases[] = {{10, 10, 340, 64}, {500, 300, 500, 300}, {2000, 2000, 900, 600}};
  for (const auto& c : cases) {
    p.SetBounds(0, 0, c.w, c.h);
    EXPECT_EQ(p.Width(), c.ew);
    EXPECT_EQ(p.Height(), c.eh);
  }
}

TEST_F(Controls, RadioButtonsOfOneParentExcludeEachOther) {
  TPanel group(nullptr, "g");
  TRadioButton a(&group, "a"), b(&group, "b"), c(&group, "c");
  TPanel other(nullptr, "o");
  TRadioButton d(&other, "d");
  int clicks = 0;
  b.OnClick = [&](TControl*) { ++clicks; };
  d.SetChecked(true);
  a.SetChecked(true);
  b.Click();
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(d.Checked());
  EXPECT_EQ(clicks, 1);
  b.Click();  // already checked: no change, no event
  EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, RadioGroupSelectionEventsAndItemChanges) {
  TRadioGroup rg(nullptr, "rgbJazyk");
  rg.SetBounds(0, 0, 200, 120);
  rg.SetItems({"Čeština", "English", "Deutsch", "Slovenčina"});
  std::vector<int> seen;
  rg.OnClick = [&](TControl*) { seen.push_back(rg.ItemIndex()); };
  EXPECT_EQ(rg.ItemIndex(), -1);

  rg.SetItemIndex(1);            // by program
  rg.Buttons(3).Click();         // by the user
  rg.SetItemIndex(3);            // unchanged: no event
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
  EXPECT_TRUE(rg.Buttons(3).Checked());
  EXPECT_FALSE(rg.Buttons(1).Checked());

  // Renaming items (a language switch) keeps the selection and fires nothing.
  rg.SetItem(3, "Slovak");
  rg.SetItems({"Czech", "English", "German", "Slovak"});
  EXPECT_EQ(rg.ItemIndex(), 3);
  EXPECT_TRUE(rg.Buttons(3).Checked());
  EXPECT_EQ(rg.Buttons(3).Caption(), "Slovak");
  // Fewer items than the selection: the last one stays selected.
  rg.SetItems({"A", "B"});
  EXPECT_EQ(rg.ItemIndex(), 1);
  EXPECT_EQ(seen.size(), 2u);

  // The buttons share the height below the caption, one row each.
  rg.SetItems({"A", "B", "C", "D"});
  EXPECT_LT(rg.Buttons(0).Top() + rg.Buttons(0).Height(), rg.Buttons(1).Top() + 1);
  EXPECT_LE(rg.Buttons(3).Top() + rg.Buttons(3).Height(), rg.Height());
}

TEST_F(Controls, ChangeEventsFollowThePlatformsRules) {
  TEdit ed(nullptr, "edDir");
  TComboBox cmb(nullptr, "cmb");
  std::vector<std::string> events;
  ed.OnChange = [&](TControl*) { events.push_back("ed:" + ed.Text()); };
  cmb.OnChange = [&](TControl*) { events.push_back("cmb:" + cmb.Text()); };

  ed.SetText("C:\\Velmor");     // an edit reports every change, also by program
  ed.SetText("C:\\Velmor");     // no change, no event
  ed.NotifyTextEdited("C:\\V");  // typed by the user
  cmb.SetItems({"A", "B"});
  cmb.SetItemIndex(1);          // by program: silent
  cmb.NotifySelected(0);        // picked by the user
  cmb.NotifyTextEdited("B");    // typed text naming an item selects it
  EXPECT_EQ(cmb.ItemIndex(), 1);
  cmb.NotifyTextEdited("other");
  EXPECT_EQ(cmb.ItemIndex(), -1);
  EXPECT_EQ(events, (std::vector<std::string>{"ed:C:\\Velmor", "ed:C:\\V", "cmb:A", "cmb:B", "cmb:other"}));

  TComboBox list(nullptr, "list");
  list.SetStyle(TComboStyle::csDropDownList);
  list.SetItems({"x", "y"});
  list.SetText("zzz");  // a list-only box cannot hold a foreign text
  EXPECT_EQ(list.Text(), "");
  list.SetText("y");
  EXPECT_EQ(list.ItemIndex(), 1);
  list.SetItemIndex(7);  // out of range: nothing selected
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(Controls, CheckBoxAndProgressBarKeepTheirValuesValid) {
  TCheckBox chk(nullptr, "chk");
  int clicks = 0;
  chk.OnClick = [&](TControl*) { ++clicks; };
  chk.SetChecked(true);
  chk.SetChecked(true);
  chk.Click();
  EXPECT_FALSE(chk.Checked());
  EXPECT_EQ(clicks, 2);

  TProgressBar bar(nullptr, "bar");
  bar.SetMax(10);
  bar.SetPosition(25);
  EXPECT_EQ(bar.Position(), 10);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(7);
  bar.SetMax(5);  // a smaller range pulls the position in
  EXPECT_EQ(bar.Position(), 5);
}

TEST_F(Controls, MemoLinesRoundTripThroughCrLfText) {
  TMemo memo(nullptr, "Memo1");
  memo.SetLines({"first", "", "třetí"});
  EXPECT_EQ(memo.Text(), "first\r\n\r\ntřetí\r\n");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"first", "", "třetí"}));
  memo.SetText("a\nb");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"a", "b"}));
  memo.Clear();
  EXPECT_TRUE(memo.Lines().empty());
}

TEST_F(Controls, PageControlShowsOnlyTheActivePageFillingTheControl) {
  TForm form("F");
  TPageControl pgc(&form, "pgcInstall");
  pgc.SetBounds(0, 120, 754, 516);
  TTabSheet a(&pgc, "tsJazyk"), b(&pgc, "tsAdresar"), c(&pgc, "tsSQLVolba");
  pgc.SetTabHeight(1);
  pgc.SetTabWidth(1);
  EXPECT_EQ(pgc.PageCount(), 3);
  EXPECT_EQ(pgc.ActivePage(), &a);
  EXPECT_EQ(c.PageIndex(), 2);

  pgc.SetActivePageIndex(2);
  EXPECT_EQ(pgc.ActivePageIndex(), 2);
  EXPECT_FALSE(a.Visible());
  EXPECT_TRUE(c.Visible());
  pgc.SetActivePageIndex(9);  // no such page: nothing changes
  EXPECT_EQ(pgc.ActivePage(), &c);
  EXPECT_THROW(pgc.Pages(3), std::out_of_range);

  for (TTabSheet* page : {&a, &b, &c}) {
    EXPECT_EQ(page->Left(), 0);
    EXPECT_EQ(page->Left() + page->Width(), 754);
    EXPECT_EQ(page->Top() + page->Height(), 516);
    EXPECT_LE(page->Top(), 0);
  }
  EXPECT_THROW(TTabSheet(&form, "stray"), std::logic_error);
}

// The wizard finds the controls its language table names: on pages, in panels, at any depth.
TEST_F(Controls, FindControlSearchesEveryLevelByName) {
  TForm form("F");
  TPanel head(&form, "pnlHead");
  TLabel title(&head, "lblTitle");
  TPageControl pgc(&form, "pgcInstall");
  TTabSheet first(&pgc, "tsJazyk"), second(&pgc, "tsAdresar");
  TPanel inner(&second, "pnlInner");
  TButton deep(&inner, "btnDeep");
  TLabel onPage(&first, "lblOnPage");
  struct Case { const char* name; TControl* found; } cases[] = {
      {"pnlHead", &head},   {"lblTitle", &title}, {"tsAdresar", &second}, {"btnDeep", &deep},
      {"lblOnPage", &onPage}, {"F", nullptr},     {"", nullptr},           {"btndeep", nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(form.FindControl(c.name), c.found) << c.name;
  EXPECT_EQ(second.FindControl("lblOnPage"), nullptr) << "only below the control asked";
}

TEST_F(Controls, TablessPageRectCoversTheControlWhateverThePlatformSays) {
  struct Case { TRect platform; int w, h; TRect expected; } cases[] = {
      {{4, 26, 750, 512}, 754, 516, {0, 19, 754, 516}},
      {{2, 5, 100, 100}, 104, 104, {0, -2, 104, 104}},
      {{-2, -1, 90, 40}, 88, 38, {0, -8, 88, 38}},  // the enlarging direction of the request
  };
  for (const auto& c : cases) EXPECT_EQ(TablessPageRect(c.platform, c.w, c.h), c.expected);
}

TEST_F(Controls, LabelsSizeThemselvesToTheirText) {
  TLabel lbl(nullptr, "lbl");
  lbl.SetText("Short");
  int shortWidth = lbl.Width();
  lbl.SetText("A much longer caption");
  EXPECT_GT(lbl.Width(), shortWidth);
  lbl.SetFontHeight(22);
  EXPECT_EQ(lbl.Height(), TextExtent("X", lbl.Font()).Height);

  TLabel wrapped(nullptr, "w");
  wrapped.SetWordWrap(true);
  wrapped.SetWidth(60);
  wrapped.SetText("one two three four five six");
  EXPECT_EQ(wrapped.Width(), 60);
  EXPECT_GT(wrapped.Height(), 2 * TextExtent("X", wrapped.Font()).Height);

  TLabel fixed(nullptr, "f");
  fixed.SetAutoSize(false);
  fixed.SetBounds(0, 0, 10, 10);
  fixed.SetText("does not grow");
  EXPECT_EQ(fixed.Width(), 10);
}

TEST(TextWrap, BreaksAtSpacesKeepsLineBreaksAndLongWords) {
  auto chars = [](const std::string& s) { return static_cast<int>(s.size()); };
  struct Case { std::string text; int width; std::vector<std::string> lines; } cases[] = {
      {"aaa bbb ccc", 7, {"aaa bbb", "ccc"}},
      {"aaa bbb ccc", 100, {"aaa bbb ccc"}},
      {"first\r\nsecond line", 6, {"first", "second", "line"}},
      {"averyveryverylongword x", 5, {"averyveryverylongword", "x"}},
      {"a\n\nb", 10, {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width, chars), c.lines) << c.text;
}

TEST_F(Controls, MeasurementGrowsWithTextFontAndBoldness) {
  TFont regular{"Segoe UI", 19, false, clBlack};
  TFont bold = regular;
  bold.Bold = true;
  TFont small = regular;
  small.Height = 11;
  EXPECT_EQ(TextWidth("", regular), 0);
  EXPECT_LT(TextWidth("iii", regular), TextWidth("WWW", regular));
  EXPECT_LT(TextWidth("Next", regular), TextWidth("Next", bold));
  EXPECT_LT(TextWidth("Next", small), TextWidth("Next", regular));
  // A diacritic letter is one character, not two bytes' worth.
  EXPECT_LT(TextWidth("č", regular), 2 * TextWidth("c", regular));
  TSize wrapped = WrappedTextExtent("word word word word word word", regular, 120);
  EXPECT_LE(wrapped.Width, 120);
  EXPECT_GT(wrapped.Height, TextExtent("X", regular).Height);
}

TEST_F(Controls, ModalLoopEndsWithTheButtonsResultOrCancelWhenClosed) {
  TForm dlg("Dlg");
  TButton ok(&dlg, "ok"), cancel(&dlg, "cancel");
  ok.SetModalResult(mrOk);
  cancel.SetModalResult(mrCancel);
  int showCount = 0;
  dlg.OnShow = [&](TControl*) { ++showCount; };

  headless::QueueAction([&] { EXPECT_TRUE(dlg.Visible()); EXPECT_TRUE(dlg.Modal()); });
  headless::QueueAction([&] { headless::UserClick(ok); });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_FALSE(dlg.Visible());
  EXPECT_FALSE(dlg.Modal());

  // With nothing queued the user closes the window by its close box.
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(showCount, 2);

  // An exception inside the loop leaves the form hidden and no longer modal.
  headless::QueueAction([] { throw std::runtime_error("boom"); });
  EXPECT_THROW(dlg.ShowModal(), std::runtime_error);
  EXPECT_FALSE(dlg.Visible());
  EXPECT_FALSE(dlg.Modal());
}

TEST_F(Controls, CloseActionDecidesWhatClosingDoes) {
  TForm wait("Wait");
  wait.ShowForm();
  wait.Close();  // a non-modal form is only hidden
  EXPECT_FALSE(wait.Visible());

  TForm stubborn("S");
  stubborn.OnClose = [](TControl*, TCloseAction& a) { a = TCloseAction::caNone; };
  stubborn.ShowForm();
  stubborn.Close();
  EXPECT_TRUE(stubborn.Visible());
}

TEST_F(Controls, DisabledOrHiddenControlsIgnoreTheUser) {
  TForm form("F");
  TPanel panel(&form, "p");
  TButton b(&panel, "b");
  int clicks = 0;
  b.OnClick = [&](TControl*) { ++clicks; };
  EXPECT_FALSE(headless::UserClick(b));  // form not shown
  form.ShowForm();
  EXPECT_TRUE(headless::UserClick(b));
  panel.SetEnabled(false);  // a disabled parent disables its children
  EXPECT_FALSE(headless::UserClick(b));
  panel.SetEnabled(true);
  b.Hide();
  EXPECT_FALSE(headless::UserClick(b));
  EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, KeysGoToThePreviewFirstThenToTheFocusedButton) {
  TForm form("F");
  form.SetKeyPreview(true);
  TButton yes(&form, "yes"), no(&form, "no");
  std::vector<std::string> log;
  form.OnKeyDown = [&](TControl*, int& key, TShiftState shift) {
    if (key == 'I' && shift == ssCtrl) {
      log.push_back("info");
      key = 0;
    }
  };
  yes.OnClick = [&](TControl*) { log.push_back("yes"); };
  no.OnClick = [&](TControl*) { log.push_back("no"); };
  yes.SetDefault(true);
  form.ShowForm();
  no.SetFocus();
  EXPECT_TRUE(no.Focused());
  EXPECT_EQ(form.ActiveControl(), &no);

  headless::PressKey(form, 'I', ssCtrl);
  headless::PressKey(form, 'I', ssCtrl | ssShift);  // not the combination: nothing
  headless::PressKey(form, vkReturn);                // the focused button, not the default one
  headless::PressKey(form, vkSpace);
  EXPECT_EQ(log, (std::vector<std::string>{"info", "no", "no"}));
  no.Hide();  // focus gone: Enter presses the default button
  EXPECT_EQ(form.ActiveControl(), nullptr);
  headless::PressKey(form, vkReturn);
  EXPECT_EQ(log.back(), "yes");
}

TEST_F(Controls, ShownFormFocusesItsFirstControlInTabOrder) {
  TForm form("F");
  TLabel label(&form, "l");
  TButton b1(&form, "b1"), b2(&form, "b2");
  b1.SetTabOrder(1);
  b2.SetTabOrder(0);
  form.ShowForm();
  EXPECT_EQ(form.ActiveControl(), &b2);
  // OnActivate may choose the focus itself.
  TForm other("G");
  TButton c1(&other, "c1"), c2(&other, "c2");
  other.OnActivate = [&](TControl*) { c2.SetFocus(); };
  other.ShowForm();
  EXPECT_TRUE(c2.Focused());
}

TEST_F(Controls, FormsAreCentredOnTheScreenOrTheirOwner) {
  headless::Instance().SetScreenSize({1000, 800});
  TForm main("Main");
  main.SetPosition(TPosition::poScreenCenter);
  main.SetBounds(0, 0, 400, 300);
  main.ShowForm();
  EXPECT_EQ(main.Left(), 300);
  EXPECT_EQ(main.Top(), 250);
  TForm child("Child", &main);
  child.SetPosition(TPosition::poOwnerFormCenter);
  child.SetBounds(0, 0, 200, 100);
  child.ShowForm();
  EXPECT_EQ(child.Left(), 400);
  EXPECT_EQ(child.Top(), 350);
}

TEST_F(Controls, ProcessMessagesRunsOneQueuedActionAtATime) {
  std::vector<int> ran;
  headless::QueueAction([&] { ran.push_back(1); });
  headless::QueueAction([&] { ran.push_back(2); });
  Application().ProcessMessages();
  EXPECT_EQ(ran, std::vector<int>{1});
  Application().ProcessMessages();
  Application().ProcessMessages();  // nothing left: nothing happens
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

// A main form that has been destroyed is forgotten: a form centred over the main form then
// centres on the screen instead of reading the destroyed one.
TEST_F(Controls, ADestroyedMainFormIsNoLongerTheMainForm) {
  headless::Instance().SetScreenSize({1000, 800});
  {
    auto main = std::make_unique<TForm>("Main");
    main->SetBounds(0, 0, 400, 300);
    SetMainForm(main.get());
    main->ShowForm();
    EXPECT_EQ(MainForm(), main.get());
  }
  EXPECT_EQ(MainForm(), nullptr);
  TForm box("Box");
  box.SetPosition(TPosition::poMainFormCenter);
  box.SetBounds(0, 0, 200, 100);
  box.ShowForm();
  EXPECT_EQ(box.Left(), 400);
  EXPECT_EQ(box.Top(), 350);
}

TEST_F(Controls, MainLoopEndsWhenTheMainFormClosesOrTheApplicationTerminates) {
  TForm main("Main");
  int after = 0;
  headless::QueueAction([&] { main.Close(); });
  headless::QueueAction([&] { ++after; });
  RunApplication(main);
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(after, 0);
  EXPECT_EQ(headless::Instance().PendingActions(), 1u);

  headless::Instance().Reset();
  headless::QueueAction([] { Application().Terminate(); });
  headless::QueueAction([&] { ++after; });
  RunApplication(main);
  EXPECT_EQ(after, 0);
  Application().ResetTerminated();
}

TEST_F(Controls, ChildrenOutlivedByTheirParentOrDestroyedFirstAreSafe) {
  auto form = std::make_unique<TForm>("F");
  auto button = std::make_unique<TButton>(form.get(), "b");
  form->ShowForm();
  button->SetFocus();
  button.reset();  // the form forgets its focused control
  EXPECT_EQ(form->ActiveControl(), nullptr);
  auto orphan = std::make_unique<TButton>(form.get(), "o");
  form.reset();  // the child outlives its parent and stays usable
  EXPECT_EQ(orphan->Parent(), nullptr);
  orphan->SetCaption("still here");
  // Controls made at run time belong to their parent.
  TPanel p(nullptr, "p");
  TLabel& made = p.Add<TLabel>("made");
  EXPECT_EQ(made.Parent(), &p);
  p.RemoveOwned(made);
  EXPECT_TRUE(p.Controls().empty());
}
