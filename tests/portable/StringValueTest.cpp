#include <gtest/gtest.h>

#include "setup/StringValue.h"

namespace {

TEST(CutTokenTest, CutsAtTheFirstSeparatorAndTrims) {
  struct Case { const char* text; char sep; const char* token; const char* rest; } cases[] = {
      {"first ; Default ; x", ';', "first", "Default ; x"},
      {"  alone  ", ';', "alone", ""},
      {"", ';', "", ""},
      {";", ';', "", ""},
      {"a;", ';', "a", ""},
      {";b", ';', "", "b"},
      {"\tURL\t;\r\n", ';', "URL", ""},
      {"a,b;c", ',', "a", "b;c"},
      {"https://host/x.dat?a=1;Default", ';', "https://host/x.dat?a=1", "Default"},
  };
  for (const Case& c : cases) {
    std::string text = c.text, token = "stale";
    CutToken(text, c.sep, token);
    EXPECT_EQ(token, c.token) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(StringValueTest, ValueAndDefaultFlag) {
  struct Case { const char* line; const char* value; bool setting; } cases[] = {
      {"https://example.cz/a/setup.dat; Default", "https://example.cz/a/setup.dat", true},
      {" x ;default", "x", true},
      {"x;DEFAULT;more;tokens", "x", true},
      {"x", "x", false},
      {"x;Defaults", "x", false},
      {"x;;Default", "x", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    TStringValue v(c.line);
    EXPECT_EQ(v.Value(), c.value) << c.line;
    EXPECT_EQ(v.Setting(), c.setting) << c.line;
  }
}

}  // namespace
