#pragma once
// One entry of a list whose lines hold a value and a flag separated by a semicolon, such as
// the address of a product version's definition with an optional "Default" mark.
#include <string>

// Cuts the first token off Text at the first Separator: Token becomes the part before it,
// trimmed, and Text the part after it, trimmed. Without a separator Token is the whole text
// trimmed and Text becomes empty.
void CutToken(std::string& Text, char Separator, std::string& Token);

class TStringValue {
 public:
  TStringValue() = default;
  // Value is the first ';'-separated token of ValueS, trimmed; Setting is true when the second
  // token is "Default" in any case. Further tokens are ignored.
  explicit TStringValue(const std::string& ValueS);

  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& v) { FValue = v; }
  bool Setting() const { return FSetting; }
  void SetSetting(bool v) { FSetting = v; }

 private:
  std::string FValue;
  bool FSetting = false;
};
