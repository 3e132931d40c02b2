#!/usr/bin/env python3
"""Watches the system calls of `velkit install` over a previous installation (strace) and checks
what makes an installation recoverable after a power loss:
- the backup archive is written under a temporary name, flushed to the disk (fsync of that very
  file), renamed to its final name, and its folder flushed, all before the first package file is
  created in the target;
- that flush is the only one of a file: extracted files are not flushed one by one;
- every package file is created under a temporary name and renamed into place.

    flush_order.py VELKIT
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kill_install import make_kit, tree, write  # noqa: E402
from strace_calls import calls  # noqa: E402


def main():
    velkit = os.path.abspath(sys.argv[1])
    if shutil.which("strace") is None:
        raise SystemExit("strace is not installed (scripts/deps.sh installs it)")
    sandbox = tempfile.mkdtemp(prefix="velsetup-flush-")
    failures = []
    try:
        rng = random.Random(5)
        kit = os.path.join(sandbox, "kit")
        target = os.path.join(sandbox, "Velmor")
        os.makedirs(kit)
        make_kit(velkit, rng, kit, os.path.join(sandbox, "work"))
        tree(rng, target, "P", 30, 25, "old")
        write(os.path.join(target, "VELMOR.EXE"), b"MZ previous program")
        trace = os.path.join(sandbox, "trace.txt")
        # The leak checker of a sanitizer build cannot work under a tracer.
        env = dict(os.environ)
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
        run = subprocess.run(["strace", "-f", "-qq", "-o", trace, "-e",
                              "trace=open,openat,creat,fsync,fdatasync,sync_file_range,rename,renameat,renameat2,close",
                              velkit, "install", kit, target], capture_output=True, text=True, env=env)
        if run.returncode != 0 or "Installed." not in run.stdout:
            print(run.stdout, run.stderr)
            raise SystemExit("the installation failed")

        fds = {}  # fd -> path; strace -f numbers lines by thread, and threads share descriptors
        events = []
        with open(trace) as f:
            for _, name, args, result in calls(f):
                paths = re.findall(r'"((?:[^"\\]|\\.)*)"', args)
                if name in ("open", "openat", "creat") and result >= 0:
                    fds[result] = paths[0] if paths else "?"
                    writing = "O_WRONLY" in args or "O_RDWR" in args or name == "creat"
                    events.append(("create" if writing and "O_CREAT" in args else "open", paths[0] if paths else "?",
                                   "O_DIRECTORY" in args))
                elif name in ("fsync", "fdatasync", "sync_file_range") and result == 0:
                    fd = int(args.split(",")[0])
                    events.append(("flush", fds.get(fd, "?"), None))
                elif name.startswith("rename") and result == 0:
                    events.append(("rename", paths[0], paths[-1]))
                elif name == "close":
                    fds.pop(int(args), None)

        backup = os.path.join(target, "Backup")
        under = lambda path, folder: os.path.abspath(path).startswith(os.path.abspath(folder) + os.sep)
        flushes = [(i, e[1]) for i, e in enumerate(events) if e[0] == "flush"]
        archive_flushes = [i for i, path in flushes if under(path, backup) and path.endswith(".vspart")]
        file_flushes = [(i, path) for i, path in flushes if os.path.isfile(path) or path.endswith(".vspart")]
        renames = [(i, e[1], e[2]) for i, e in enumerate(events) if e[0] == "rename" and under(e[2], backup)]
        folder_flushes = [i for i, path in flushes if os.path.abspath(path) == os.path.abspath(backup)]
        package_files = [(i, e[1]) for i, e in enumerate(events)
                         if e[0] == "create" and under(e[1], target) and not under(e[1], backup)]

        if len(archive_flushes) != 1:
            failures.append("the backup archive was flushed %d times, not once" % len(archive_flushes))
        if len(file_flushes) != 1:
            failures.append("files flushed: %s (only the backup archive should be)" % [p for _, p in file_flushes])
        if len(renames) != 1 or not renames[0][2].endswith(".zip") or not renames[0][1].endswith(".zip.vspart"):
            failures.append("the backup archive's renames: %s" % renames)
        if not folder_flushes:
            failures.append("the Backup folder was never flushed after the archive's rename")
        if not package_files:
            failures.append("no package file was created in the target")
        if archive_flushes and renames and folder_flushes and package_files:
            flushed, renamed, folder, first = archive_flushes[0], renames[0][0], folder_flushes[-1], package_files[0][0]
            if not flushed < renamed < folder < first:
                failures.append("order: archive flushed at %d, renamed at %d, folder flushed at %d, first package "
                                "file created at %d (%s)" % (flushed, renamed, folder, first, package_files[0][1]))
        straight = [p for _, p in package_files if not p.endswith(".vspart")]
        if straight:
            failures.append("package files created under their own names: %s" % straight[:5])
        print("%d events; backup archive flushed at %s, renamed at %s, folder flushed at %s; %d package files, "
              "first created at %s" % (len(events), archive_flushes, [r[0] for r in renames], folder_flushes,
                                       len(package_files), package_files[0][0] if package_files else None))
    finally:
        shutil.rmtree(sandbox, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
