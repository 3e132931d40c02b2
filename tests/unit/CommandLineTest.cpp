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
      {{"/QUIET"}, false, "", "", "Unknown command-line argument: /QUIET"},
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

// The switches of the unattended installation: which field each fills, and every refusal.
TEST(CommandLine, ReadsTheUnattendedSwitches) {
  SetCurrentLanguage(langEN);
  struct Case {
    Args arguments;
    std::string problemHas;  // empty: accepted
    bool silent = false, verySilent = false;
    std::string dir = "", type = "", version = "", lang = "", log = "", sqlServer = "", sqlNew = "", database = "";
    bool noRestart = false, help = false;
  } cases[] = {
      {{"/SILENT"}, "", true},
      {{"/verysilent"}, "", false, true},
      {{"-VerySilent", "/Silent"}, "", true, true},
      {{"/VERYSILENT", "/DIR=C:\\Velmor Test", "/TYPE=3", "/VERSION=Velmor 3.1", "/LANG=de", "/LOG=C:\\l.log"},
       "", false, true, "C:\\Velmor Test", "3", "Velmor 3.1", "DE", "C:\\l.log"},
      {{"/SILENT", "/SQLSERVER=PC\\VELMOR", "/DATABASE=Velmor_1", "/NORESTART"},
       "", true, false, "", "", "", "", "", "PC\\VELMOR", "", "Velmor_1", true},
      {{"/VERYSILENT", "/SQLNEW=Express x64"}, "", false, true, "", "", "", "", "", "", "Express x64"},
      {{"/?"}, "", false, false, "", "", "", "", "", "", "", "", false, true},
      {{"/help", "/LOG=x.log"}, "", false, false, "", "", "", "", "x.log", "", "", "", false, true},
      {{"/NORESTART"}, "", false, false, "", "", "", "", "", "", "", "", true},
      // Refusals, each naming the argument.
      {{"/SILENT=1"}, "/SILENT=1 takes no value"},
      {{"/SILENT", "/silent"}, "/SILENT is given more than once"},
      {{"/HELP", "/?"}, "is given more than once"},
      {{"/VERYSILENT", "/DIR"}, "/DIR has no value"},
      {{"/VERYSILENT", "/TYPE=5"}, "/TYPE=5: the installation type is a number from 0 to 4"},
      {{"/VERYSILENT", "/TYPE=12"}, "/TYPE=12: the installation"},
      {{"/VERYSILENT", "/TYPE=x"}, "/TYPE=x: the installation"},
      {{"/VERYSILENT", "/LANG=FR"}, "/LANG=FR: the language is CZ, EN, DE or SK"},
      {{"/VERYSILENT", "/SQLSERVER=a", "/SQLNEW=b"}, "either /SQLSERVER= or /SQLNEW="},
      {{"/DIR=C:\\x"}, "/DIR= is used only with /SILENT or /VERYSILENT"},
      {{"/SQLSERVER=a"}, "/SQLSERVER= is used only with"},
      {{"/DATABASE=a"}, "/DATABASE= is used only with"},
      {{"/VERYSILENT", "/DIRECTORY=C:\\x"}, "Unknown command-line argument: /DIRECTORY=C:\\x"},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& a : c.arguments) trace += a + " ";
    SCOPED_TRACE(trace);
    TCommandLineResult r = ParseCommandLine(c.arguments);
    if (!c.problemHas.empty()) {
      EXPECT_FALSE(r.Ok);
      EXPECT_NE(r.Problem.find(c.problemHas), std::string::npos) << r.Problem;
      continue;
    }
    ASSERT_TRUE(r.Ok) << r.Problem;
    const TCommandLine& o = r.Options;
    EXPECT_EQ(o.Silent, c.silent);
    EXPECT_EQ(o.VerySilent, c.verySilent);
    EXPECT_EQ(o.Dir, c.dir);
    EXPECT_EQ(o.Type, c.type);
    EXPECT_EQ(o.Version, c.version);
    EXPECT_EQ(o.Lang, c.lang);
    EXPECT_EQ(o.Log, c.log);
    EXPECT_EQ(o.SqlServer, c.sqlServer);
    EXPECT_EQ(o.SqlNew, c.sqlNew);
    EXPECT_EQ(o.Database, c.database);
    EXPECT_EQ(o.NoRestart, c.noRestart);
    EXPECT_EQ(o.Help, c.help);
  }
  SetCurrentLanguage(langCZ);
}

// A wrong command line of an unattended run is still known as unattended (it is logged, never
// shown), wherever the silent switch stands, and the log file asked for still gets the log.
TEST(CommandLine, AWrongCommandLineStillSaysWhetherItIsUnattended) {
  struct Case {
    Args arguments;
    bool unattended;
    std::string log = "";
  } cases[] = {
      {{"/BOGUS", "/VERYSILENT"}, true},
      {{"/SILENT", "/TYPE=9", "/LOG=C:\\x.log"}, true, "C:\\x.log"},
      {{"/SILENT=yes"}, true},
      {{"/BOGUS", "/log=a.log", "/LOG=b.log"}, false, "a.log"},
      {{"/DIR=x"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    TCommandLineResult r = ParseCommandLine(c.arguments);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Options.Unattended(), c.unattended);
    EXPECT_EQ(r.Options.Log, c.log);
  }
  // The usage lists every switch and the exit codes.
  SetCurrentLanguage(langEN);
  std::string usage = UsageText();
  for (const char* part : {"/SILENT", "/VERYSILENT", "/DIR=<", "/TYPE=<0-4>", "/SQLSERVER=<", "/SQLNEW=<", "/DATABASE=<",
                           "/LOG=<", "/NORESTART", "/LANG=<", "/VERSION=<", "3010", "1602", "1603", "1618", "87"})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
  SetCurrentLanguage(langCZ);
}

}  // namespace
