#include "setup/StringValue.h"

#include "platform/Text.h"

void CutToken(std::string& Text, char Separator, std::string& Token) {
  size_t at = Text.find(Separator);
  if (at == std::string::npos) {
    Token = platform::Trim(Text);
    Text.clear();
    return;
  }
  Token = platform::Trim(std::string_view(Text).substr(0, at));
  Text = platform::Trim(std::string_view(Text).substr(at + 1));
}

TStringValue::TStringValue(const std::string& ValueS) {
  std::string rest = ValueS;
  CutToken(rest, ';', FValue);
  std::string flag;
  CutToken(rest, ';', flag);
  FSetting = platform::SameTextAscii(flag, "Default");
}
