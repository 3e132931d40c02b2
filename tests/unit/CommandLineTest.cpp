// The installer's command line: splitting the text into arguments and reading the switches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "support/Catalogue.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsOnBlanksAndKeepsQuotedBlanks) {
  struct Case {
    const char* text;
    Args expected;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"/INDEX=a", {"/INDEX=a"}},
      {"  /INDEX=a \t /SETUPDAT=b  ", {"/INDEX=a", "/SETUPDAT=b"}},
      {"/INDEX=\"C:\\Kit mirror\\dats.ini\"", {"/INDEX=C:\\Kit mirror\\dats.ini"}},
      {"\"/INDEX=C:\\Kit mirror\\dats.ini\"", {"/INDEX=C:\\Kit mirror\\dats.ini"}},
      // A backslash before the closing quote is part of the path.
      {"/SETUPDAT=\"C:\\Kit\\\" /X", {"/SETUPDAT=C:\\Kit\\", "/X"}},
      {"\"\"", {""}},
      {"/INDEX=\"a b", {"/INDEX=a b"}},  // an unclosed quote runs to the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitCommandLine(c.text), c.expected);
  }
}

TEST(CommandLine, ReadsTheSwitchesAndRefusesEverythingElse) {
  SetCurrentLanguage(langEN);
  struct Case {
    Args arguments;
    bool ok;
    std::string index, setupDat;
    std::string problemHas;  // a part of the message
  } cases[] = {
      {{}, true, "", "", ""},
      {{"/INDEX=https://mirror.example/DAT/dats.ini"}, true, "https://mirror.example/DAT/dats.ini", "", ""},
      {{"/index=C:\\Kit mirror\\dats.ini"}, true, "C:\\Kit mirror\\dats.ini", "", ""},
      {{"-Index=x.ini"}, true, "x.ini", "", ""},
      {{"/SetupDat=D:\\setup.dat"}, true, "", "D:\\setup.dat", ""},
      // The value may hold '=' itself (an address with a query).
      {{"/INDEX=https://m/dats.ini?a=b"}, true, "https://m/dats.ini?a=b", "", ""},
      {{"/SILENT"}, false, "", "", "Unknown command-line argument: /SILENT"},
      {{"dats.ini"}, false, "", "", "Unknown command-line argument: dats.ini"},
      {{"/"}, false, "", "", "Unknown command-line argument: /"},
      {{"/INDEXX=a"}, false, "", "", "Unknown command-line argument: /INDEXX=a"},
      {{""}, false, "", "", "Unknown command-line argument"},
      {{"/INDEX"}, false, "", "", "/INDEX has no value"},
      {{"/INDEX=  "}, false, "", "", "has no value"},
      {{"/INDEX=a", "/index=b"}, false, "", "", "/INDEX is given more than once"},
      {{"/INDEX=a", "/SETUPDAT=b"}, false, "", "", "either /INDEX= or /SETUPDAT="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
    TCommandLineResult r = ParseCommandLine(c.arguments);
    EXPECT_EQ(r.Ok, c.ok) << r.Problem;
    EXPECT_EQ(r.Options.Index, c.ok ? c.index : r.Options.Index);
    EXPECT_EQ(r.Options.SetupDat, c.ok ? c.setupDat : r.Options.SetupDat);
    if (c.ok) EXPECT_EQ(r.Problem, "");
    else EXPECT_NE(r.Problem.find(c.problemHas), std::string::npos) << r.Problem;
  }
  // An unknown argument gets the list of the accepted ones.
  std::string problem = ParseCommandLine({"/X"}).Problem;
  EXPECT_NE(problem.find("/INDEX=<"), std::string::npos);
  EXPECT_NE(problem.find("/SETUPDAT=<"), std::string::npos);
  SetCurrentLanguage(langCZ);
}

}  // namespace
