#include "app/Style.h"

#include <cstdlib>

#include "platform/Text.h"

namespace {
TVisualStyle currentStyle;

// RRGGBB as written in the resource, to the 0x00BBGGRR of the control layer.
bool ParseColor(std::string_view text, ui::TColor& color) {
  if (text.size() != 6) return false;
  unsigned long v = 0;
  for (char c : text) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    v = v * 16 + static_cast<unsigned long>(d);
  }
  color = ui::RGBColor(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                       static_cast<int>(v & 0xFF));
  return true;
}
}  // namespace

const TVisualStyle& CurrentStyle() { return currentStyle; }

void ResetStyle() { currentStyle = TVisualStyle{}; }

bool ApplyStyleText(std::string_view name, std::string_view resourceText, std::string& error) {
  TVisualStyle style;
  struct Key {
    const char* name;
    ui::TColor TVisualStyle::*field;
  } keys[] = {{"window", &TVisualStyle::Window},         {"text", &TVisualStyle::Text},
              {"heading", &TVisualStyle::Heading},       {"headingText", &TVisualStyle::HeadingText},
              {"bevelDark", &TVisualStyle::BevelDark},   {"bevelLight", &TVisualStyle::BevelLight},
              {"buttonStrip", &TVisualStyle::ButtonStrip}, {"buttonText", &TVisualStyle::ButtonText},
              {"error", &TVisualStyle::Error}};
  size_t pos = 0;
  int line = 0;
  while (pos <= resourceText.size()) {
    size_t end = resourceText.find('\n', pos);
    if (end == std::string_view::npos) end = resourceText.size();
    std::string text = platform::Trim(std::string(resourceText.substr(pos, end - pos)));
    pos = end + 1;
    ++line;
    if (text.empty() || text[0] == ';') continue;
    size_t eq = text.find('=');
    if (eq == std::string::npos) {
      error = "Style line " + std::to_string(line) + " has no value";
      return false;
    }
    std::string key = platform::Trim(text.substr(0, eq)), value = platform::Trim(text.substr(eq + 1));
    if (key == "name") {
      style.Name = value;
      continue;
    }
    bool known = false;
    for (const Key& k : keys) {
      if (key != k.name) continue;
      known = true;
      if (!ParseColor(value, style.*k.field)) {
        error = "Style line " + std::to_string(line) + ": \"" + value + "\" is not a colour";
        return false;
      }
    }
    if (!known) {
      error = "Style line " + std::to_string(line) + ": unknown key \"" + key + "\"";
      return false;
    }
  }
  if (style.Name != name) {
    error = "Style \"" + std::string(name) + "\" not found";
    return false;
  }
  currentStyle = style;
  return true;
}
