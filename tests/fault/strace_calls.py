"""Reads the output of `strace -f` as whole system calls.

With -f, a call that another thread interrupts is printed in two lines, its start and its end:

    4711  fsync(5 <unfinished ...>
    4712  close(7)                          = 0
    4711  <... fsync resumed>)              = 0

calls() joins the two halves of each thread's call into one line, placed where the call ended (its
result is known only there), so a reader never misses a call because another thread ran beside it.
"""
import re

UNFINISHED = re.compile(r'^(\d+)\s+(.*?)\s*<unfinished \.\.\.>\s*$')
RESUMED = re.compile(r'^(\d+)\s+<\.\.\. (\w+) resumed>(.*)$')
CALL = re.compile(r'^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+)')


def joined_lines(lines):
    """The trace's lines, each interrupted call joined into one line at its end."""
    started = {}  # pid -> the first half of its call under way
    for line in lines:
        line = line.rstrip("\n")
        m = UNFINISHED.match(line)
        if m:
            started[m.group(1)] = m.group(2)
            continue
        m = RESUMED.match(line)
        if m:
            pid, name, rest = m.groups()
            head = started.get(pid)
            if head is None or not head.startswith(name + "("):
                continue  # the start was never seen (the trace began inside it): nothing to join
            del started[pid]
            yield "%s %s%s" % (pid, head, rest)
            continue
        yield line


def calls(lines):
    """(pid, name, arguments, result) of every completed call with a numeric result, in the order
    the calls ended."""
    for line in joined_lines(lines):
        m = CALL.match(line)
        if m:
            pid, name, args, result = m.groups()
            yield pid, name, args, int(result)
