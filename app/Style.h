#pragma once
// The installer's visual style: the colours every window of the wizard is drawn in.
// Styles are compiled into the program as text resources ("key=RRGGBB" lines); start-up
// applies "Velmor setup white" and, when that fails, the windows keep the default look.
#include <string>
#include <string_view>

#include "ui/Types.h"

struct TVisualStyle {
  std::string Name;  // empty: the default look
  ui::TColor Window = ui::clWhite;
  ui::TColor Text = ui::clBlack;
  ui::TColor Heading = ui::clWhite;
  ui::TColor HeadingText = ui::clBlack;
  ui::TColor BevelDark = ui::clGray;
  ui::TColor BevelLight = ui::clWhite;
  ui::TColor ButtonStrip = ui::clDefault;
  ui::TColor ButtonText = 3355443;  // dark grey of the navigation buttons
  ui::TColor Error = ui::clRed;
};

// The style in use (the default look until ApplyStyleText succeeds).
const TVisualStyle& CurrentStyle();

// Parses a style resource and makes it current when its name is the one asked for.
// Returns false with the reason in error, leaving the current style unchanged.
bool ApplyStyleText(std::string_view name, std::string_view resourceText, std::string& error);

// Back to the default look (tests).
void ResetStyle();
