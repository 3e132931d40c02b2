#!/usr/bin/env python3
"""The strace reader of the fault tests on a recorded trace whose threads interrupt each other."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from strace_calls import calls  # noqa: E402

# Recorded with `strace -f -qq` from velkit install (paths shortened): the writer thread's fsync
# and a worker's openat are each cut in two by the other threads' calls.
TRACE = """\
5021  openat(AT_FDCWD, "/t/Velmor/Backup/Backup20261211120000.zip.vspart", O_RDWR|O_CREAT|O_TRUNC|O_CLOEXEC, 0666) = 5
5023  openat(AT_FDCWD, "/t/Velmor/P1/a.txt", O_RDONLY|O_CLOEXEC <unfinished ...>
5021  fsync(5 <unfinished ...>
5023  <... openat resumed>)             = 6
5024  openat(AT_FDCWD, "/t/Velmor/P2/b.txt", O_RDONLY|O_CLOEXEC) = 7
5024  close(7 <unfinished ...>
5023  close(6)                          = 0
5024  <... close resumed>)              = 0
5021  <... fsync resumed>)              = 0
5021  close(5)                          = 0
5021  rename("/t/Velmor/Backup/Backup20261211120000.zip.vspart", "/t/Velmor/Backup/Backup20261211120000.zip" <unfinished ...>
5022  futex(0x7f3c, FUTEX_WAIT_PRIVATE, 0, NULL <unfinished ...>
5021  <... rename resumed>)             = 0
5021  openat(AT_FDCWD, "/t/Velmor/missing", O_RDONLY) = -1 ENOENT (No such file or directory)
5022  <... futex resumed>)              = ?
5025  <... read resumed>"abc", 3)       = 3
5021  fdatasync(8)                      = 0
"""


class StraceCalls(unittest.TestCase):
    def test_interrupted_calls_are_joined_where_they_end(self):
        got = [(pid, name, result) for pid, name, _, result in calls(TRACE.splitlines(True))]
        self.assertEqual(got, [
            ("5021", "openat", 5),
            ("5023", "openat", 6),
            ("5024", "openat", 7),
            ("5023", "close", 0),
            ("5024", "close", 0),
            ("5021", "fsync", 0),
            ("5021", "close", 0),
            ("5021", "rename", 0),
            ("5021", "openat", -1),
            ("5021", "fdatasync", 0),
        ])

    def test_a_joined_call_keeps_all_its_arguments(self):
        args = {(pid, name): a for pid, name, a, _ in calls(TRACE.splitlines(True))}
        self.assertEqual(args[("5021", "fsync")], "5")
        self.assertEqual(args[("5023", "openat")], 'AT_FDCWD, "/t/Velmor/P1/a.txt", O_RDONLY|O_CLOEXEC')
        self.assertEqual(args[("5021", "rename")], '"/t/Velmor/Backup/Backup20261211120000.zip.vspart", '
                                                   '"/t/Velmor/Backup/Backup20261211120000.zip"')

    def test_a_resumed_half_of_another_thread_or_call_is_not_joined(self):
        trace = ["1  fsync(5 <unfinished ...>\n", "2  <... fsync resumed>) = 0\n",
                 "1  <... close resumed>) = 0\n", "1  <... fsync resumed>) = 0\n"]
        self.assertEqual([(p, n) for p, n, _, _ in calls(trace)], [("1", "fsync")])


if __name__ == "__main__":
    unittest.main()
