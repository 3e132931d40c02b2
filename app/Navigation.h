#pragma once
// The wizard's pages as one table: for each page the buttons it shows (per mode), what the Next
// button says and whether it is enabled, where Next and Previous lead, what showing the page
// does and which control takes the focus. The form's navigation operations only look a page up
// here; a page's behaviour changes in its one row.
#include "app/Install.h"

struct TPageRule {
  ui::TTabSheet TFInstall::*Page;
  // The buttons of the page in mode 0 and mode 1; a page without buttons of its own keeps
  // the buttons shown before.
  bool SetsButtons;
  TButtonsVisible Buttons;
  TButtonsVisible ButtonsMode1;
  // Runs before the buttons are shown (nullptr: nothing).
  void (*BeforeButtons)(TFInstall& form);
  // Sets btnNext's caption and enabled state (nullptr: Next stays as it is).
  void (*NextButton)(TFInstall& form);
  // Next and Previous on the page (nullptr: the button is never shown there).
  void (*Next)(TFInstall& form);
  void (*Previous)(TFInstall& form);
  // The show step of the page.
  void (*Show)(TFInstall& form);
  // The control that gets the focus (nullptr: the focus stays where it is).
  ui::TControl* (*Focus)(TFInstall& form);
};

// The row of a page; nullptr for a page that is not in the table.
const TPageRule* PageRuleOf(const TFInstall& form, const ui::TTabSheet* page);
