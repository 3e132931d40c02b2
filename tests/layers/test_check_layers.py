#!/usr/bin/env python3
"""check_layers.py on small source trees: it names every upward include and passes the rest."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

FAULT_LINE = re.compile(r"FAULT (\S+:\d+): \S+ includes (\S+),")
CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

# (what the tree shows, its files {path: text}, the faults expected as "file:line included")
CASES = [
    ("platform implementing a seam declared in setup",
     {"platform/posix/Client.cpp": '#include "platform/Text.h"\n#include "setup/HttpClient.h"\n',
      "setup/HttpClient.h": "", "platform/Text.h": ""},
     ["platform/posix/Client.cpp:2 setup/HttpClient.h"]),
    ("a backend in a subfolder of ui reaching support",
     {"ui/win32/Loop.cpp": '#include "support/Application.h"\n', "support/Application.h": ""},
     ["ui/win32/Loop.cpp:1 support/Application.h"]),
    ("a header counts as much as a source file",
     {"support/Report.h": '#pragma once\n#include "setup/SetupDat.h"\n'},
     ["support/Report.h:2 setup/SetupDat.h"]),
    ("an include written relative to the file",
     {"engine/Run.cpp": '#include "../support/SystemUtil.h"\n', "support/SystemUtil.h": ""},
     ["engine/Run.cpp:1 support/SystemUtil.h"]),
    ("an include in angle brackets and one inside a platform block",
     {"setup/Download.cpp": '#include <vector>\n#include <sql/Discovery.h>\n#ifdef _WIN32\n'
                            '#  include "app/Install.h"\n#endif\n'},
     ["setup/Download.cpp:2 sql/Discovery.h", "setup/Download.cpp:4 app/Install.h"]),
    ("every downward include of the top layers",
     {"app/Install.cpp": "".join(f'#include "{d}/X.h"\n' for d in
                                 ["platform", "engine", "ui", "support", "setup", "sql", "tools"]),
      "tools/velkit/Main.cpp": '#include "Command.h"\n#include "app/CommandLine.h"\n#include "sql/MSSQLIni.h"\n',
      "tools/velkit/Command.h": ""},
     []),
    ("the two folders of one layer include each other",
     {"engine/Progress.cpp": '#include "ui/Types.h"\n', "ui/Types.cpp": '#include "engine/Progress.h"\n'},
     []),
    ("text that only looks like an include, and a file of no layer",
     {"platform/Files.cpp": '// #include "setup/SetupDat.h"\nconst char* s = "#include \\"sql/X.h\\"";\n'
                            '#include "Version.h"\n#include <windows.h>\n',
      "tests/Any.cpp": '#include "app/Install.h"\n', "platform/notes.txt": '#include "app/Install.h"\n'},
     []),
]


def write_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)


def run_checker(root):
    return subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)


class CheckLayers(unittest.TestCase):
    def test_cases(self):
        for what, files, expected in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                write_tree(root, files)
                result = run_checker(root)
                named = sorted(f"{m[1]} {m[2]}" for m in map(FAULT_LINE.match, result.stdout.splitlines()) if m)
                self.assertEqual(named, sorted(expected), result.stdout)
                self.assertEqual(result.returncode, 1 if expected else 0, result.stdout + result.stderr)

    def test_wrong_command_line(self):
        with tempfile.TemporaryDirectory() as root:
            missing = os.path.join(root, "missing")
            for args in ([], [missing], [root, root]):
                with self.subTest(args=args):
                    result = subprocess.run([sys.executable, CHECKER, *args], capture_output=True, text=True)
                    self.assertEqual(result.returncode, 2, result.stdout + result.stderr)
                    self.assertTrue(result.stderr.strip())


if __name__ == "__main__":
    unittest.main()
