#!/usr/bin/env python3
"""Kills `velkit install` with SIGKILL at random points (during the backup, between packages, inside
an extraction) and checks after every kill that the previous installation is either untouched or
comes back byte for byte from the backup archive left on disk, and that nothing outside the target
directory changed. Before the kills: an update whose second package is damaged must end with the
previous installation restored, and one while a process holds a file of it must stop before its
backup.

    kill_install.py VELKIT [--kills N] [--seed S]
"""
import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def content(rng, size, kind):
    if kind == 0:
        return rng.randbytes(size)
    words = [b"Velmor", b"faktura", b"sklad", b"ucet", b"0123", b"\r\n", b"DPH", b"zakaznik"]
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words) + b" "
    return bytes(out[:size])


def tree(rng, root, prefix, count, big_every, seed_tag):
    for i in range(count):
        size = 1_200_000 + i * 100 if i % big_every == 0 else rng.randrange(0, 12_000)
        name = os.path.join(root, "%s%d" % (prefix, i % 6), "%s_%s_%03d.dat" % (prefix, seed_tag, i))
        write(name, content(rng, size, i % 3))


def snapshot(root, skip):
    """Every file below root except below skip: path -> (size, sha1)."""
    state = {}
    for folder, dirs, files in os.walk(root):
        if os.path.abspath(folder).startswith(os.path.abspath(skip)):
            dirs[:] = []
            continue
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                state[os.path.relpath(path, root)] = hashlib.sha1(f.read()).hexdigest()
        state[os.path.relpath(folder, root) + "/"] = "folder"
    return state


def installation_state(target):
    """The previous installation's files as the backup lists them (the Backup folder aside)."""
    state = {}
    for folder, dirs, files in os.walk(target):
        dirs[:] = [d for d in dirs if d.upper() != "BACKUP"]
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                state[os.path.relpath(path, target)] = hashlib.sha1(f.read()).hexdigest()
    return state


def make_kit(velkit, rng, kit, work):
    password = "Kill#Test7"
    packages = []
    for n, (name, count, folder) in enumerate([("Program", 40, ""), ("Data", 25, "Data"), ("Lang_EN", 15, "Lang")]):
        src = os.path.join(work, "pkg", name)
        tree(rng, src, name[0], count, 15, "new")
        # The program package also replaces files of the previous installation.
        if name == "Program":
            for i in range(0, 30, 3):  # P_old_000 ... P_old_027
                write(os.path.join(src, "P%d" % (i % 6), "P_old_%03d.dat" % i), content(rng, 5000 + i, 1))
        subprocess.run(["zip", "-q", "-r", "-X", "-P", password, os.path.join(kit, name + ".zip"), "."], cwd=src,
                       check=True)
        packages.append((name, folder))
    scrambled = subprocess.run([velkit, "password", "scramble", password], check=True, capture_output=True,
                               text=True).stdout.strip()
    zips = "".join("<ZipFile><FileName>%s</FileName><DirInstall>%s</DirInstall><TypInstalace>0</TypInstalace>"
                   "<Jazyk>false</Jazyk></ZipFile>" % p for p in packages)
    xml = ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SetupDat><Main><LocalPath></LocalPath><Password>%s</Password>"
           "<MSSQL></MSSQL><InstallServer></InstallServer><InstallLang>EN</InstallLang><InstallDir>C:\\Velmor</InstallDir>"
           "<VersionProd>1</VersionProd><DBName>Velmor</DBName><TypInst>2</TypInst><OnlyVersion>false</OnlyVersion>"
           "<Version>4.7.2.0001</Version><MinDiskFree>1</MinDiskFree><WinVerMajor>6</WinVerMajor>"
           "<WinVerMinor>1</WinVerMinor></Main><ZipFiles>%s</ZipFiles></SetupDat>" % (scrambled, zips))
    write(os.path.join(work, "setup.xml"), xml.encode())
    subprocess.run([velkit, "definition", "pack", os.path.join(work, "setup.xml"), os.path.join(kit, "setup.dat")],
                   check=True, capture_output=True)


def phase(line):
    line = line.strip()
    if line.startswith("backup "):
        return "backup"
    if line.startswith("package "):
        return "between packages"
    if line.startswith("extract ") and "/" in line.split()[1]:
        return "extraction"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("velkit")
    parser.add_argument("--kills", type=int, default=21)
    parser.add_argument("--seed", type=int, default=random.randrange(1 << 30))
    args = parser.parse_args()
    velkit = os.path.abspath(args.velkit)
    rng = random.Random(args.seed)
    print("seed", args.seed, flush=True)
    started = time.monotonic()

    sandbox = tempfile.mkdtemp(prefix="velsetup-kill-")
    failures = []
    try:
        kit = os.path.join(sandbox, "kit")
        previous = os.path.join(sandbox, "previous")
        target = os.path.join(sandbox, "Velmor")
        os.makedirs(kit)
        write(os.path.join(sandbox, "outside", "neighbour.txt"), b"must not change")
        os.makedirs(os.path.join(sandbox, "tmp"))
        make_kit(velkit, rng, kit, os.path.join(sandbox, "work"))
        shutil.rmtree(os.path.join(sandbox, "work"))
        tree(rng, previous, "P", 60, 25, "old")
        write(os.path.join(previous, "VELMOR.EXE"), b"MZ previous program")
        write(os.path.join(previous, "readonly.cfg"), b"kept read-only")
        os.chmod(os.path.join(previous, "readonly.cfg"), 0o444)
        original = installation_state(previous)
        env = dict(os.environ, TMPDIR=os.path.join(sandbox, "tmp"), TEMP=os.path.join(sandbox, "tmp"))

        def fresh_target():
            if os.path.exists(target):
                for folder, dirs, files in os.walk(target):
                    for d in dirs:
                        os.chmod(os.path.join(folder, d), 0o755)
                    for f in files:
                        os.chmod(os.path.join(folder, f), 0o644)
                shutil.rmtree(target)
            shutil.copytree(previous, target)

        # The command line: help, wrong arguments, a folder that is no kit.
        for argv, code, text in [(["install", "--help"], 0, "KIT TARGET"), (["install", kit], 2, "expected KIT"),
                                 (["install", kit, target, "--type", "9"], 2, "0 to 4"),
                                 (["install", previous, target], 1, "has no setup.dat")]:
            got = subprocess.run([velkit] + argv, env=env, capture_output=True, text=True)
            if got.returncode != code or text not in got.stdout + got.stderr:
                failures.append("velkit %s: exit %d, %s" % (" ".join(argv[:1] + argv[2:]), got.returncode,
                                                           (got.stdout + got.stderr).strip()))

        # One whole run tells where the kill points are.
        fresh_target()
        whole = subprocess.run([velkit, "install", kit, target], env=env, capture_output=True, text=True)
        if whole.returncode != 0 or "Installed." not in whole.stdout:
            print(whole.stdout, whole.stderr)
            raise SystemExit("a whole run failed")
        # A second run over the result is an update of the installation found there.
        again = subprocess.run([velkit, "install", kit, target], env=env, capture_output=True, text=True)
        if again.returncode != 0 or "an update" not in again.stdout:
            failures.append("the second run: exit %d, %s" % (again.returncode, again.stdout[:200]))
        # A program holding a file of the installation stops an update before its backup.
        backups = sorted(os.listdir(os.path.join(target, "Backup")))
        held = next(os.path.join(folder, name) for folder, _, names in os.walk(target)
                    if "Backup" not in folder for name in names)
        with open(held, "rb"):
            busy = subprocess.run([velkit, "install", kit, target], env=env, capture_output=True, text=True)
        if busy.returncode != 1 or "in use by" not in busy.stderr or \
                "python" not in busy.stderr or sorted(os.listdir(os.path.join(target, "Backup"))) != backups:
            failures.append("files in use: exit %d, %s" % (busy.returncode, (busy.stdout + busy.stderr)[-300:]))
        # An update whose second package is damaged stops there and puts the previous installation back.
        damaged = os.path.join(sandbox, "kit-damaged")
        shutil.copytree(kit, damaged)
        with open(os.path.join(damaged, "Data.zip"), "r+b") as f:
            f.seek(os.path.getsize(os.path.join(damaged, "Data.zip")) // 3)
            f.write(b"\0" * 64)
        fresh_target()
        broken = subprocess.run([velkit, "install", damaged, target], env=env, capture_output=True, text=True)
        now = installation_state(target)
        changed = sorted(f for f in original if now.get(f) != original[f])
        if broken.returncode != 1 or "Data could not be installed" not in broken.stderr or \
                "previous installation was restored" not in broken.stdout or changed or \
                os.path.exists(os.path.join(target, "Lang")):
            failures.append("damaged package: exit %d, %d files differ, %s" %
                            (broken.returncode, len(changed), (broken.stdout + broken.stderr)[-300:]))

        lines = whole.stdout.splitlines()
        points = {}
        for i, line in enumerate(lines):
            if phase(line):
                points.setdefault(phase(line), []).append(i)
        assert set(points) == {"backup", "between packages", "extraction"}, points

        outside_before = snapshot(sandbox, target)
        kinds = sorted(points)
        for k in range(args.kills):
            kind = kinds[k % len(kinds)]
            at = rng.choice(points[kind])
            delay = rng.choice([0, 0, 0.001, 0.005, 0.02])
            fresh_target()
            proc = subprocess.Popen([velkit, "install", kit, target], env=env, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL)
            seen = 0
            last = ""
            for raw in proc.stdout:
                last = raw.decode(errors="replace")
                if seen == at:
                    break
                seen += 1
            if delay:
                time.sleep(delay)
            proc.send_signal(signal.SIGKILL)
            proc.wait()
            proc.stdout.close()

            archives = sorted(f for f in os.listdir(os.path.join(target, "Backup")) if f.endswith(".zip")) \
                if os.path.isdir(os.path.join(target, "Backup")) else []
            now = installation_state(target)
            changed = sorted(f for f in original if now.get(f) != original[f])
            verdict = "untouched"
            if archives:
                archive = os.path.join(target, "Backup", archives[-1])
                test = subprocess.run(["unzip", "-tq", archive], capture_output=True, text=True)
                if test.returncode != 0:
                    failures.append("kill %d (%s): the backup archive is damaged: %s" % (k, kind, test.stdout))
                restore = subprocess.run([velkit, "archive", "restore", archive, target], env=env, capture_output=True,
                                         text=True)
                if restore.returncode != 0:
                    failures.append("kill %d (%s): restore failed: %s" % (k, kind, restore.stderr))
                now = installation_state(target)
                still = sorted(f for f in original if now.get(f) != original[f])
                if still:
                    failures.append("kill %d (%s): after the restore %d files differ, e.g. %s" %
                                    (k, kind, len(still), still[:3]))
                verdict = "restored %d changed files" % len(changed)
            elif changed:
                failures.append("kill %d (%s): %d files changed and there is no backup archive, e.g. %s" %
                                (k, kind, len(changed), changed[:3]))
            if snapshot(sandbox, target) != outside_before:
                failures.append("kill %d (%s): something outside the target directory changed" % (k, kind))
            print("kill %2d %-16s after line %4d (%s): %s" % (k, kind, at, last.strip()[:50], verdict), flush=True)
    finally:
        for folder, dirs, files in os.walk(sandbox):
            for d in dirs:
                os.chmod(os.path.join(folder, d), 0o755)
        shutil.rmtree(sandbox, ignore_errors=True)

    for f in failures:
        print("FAILED:", f)
    print("%.1f s" % (time.monotonic() - started))
    print("%d passed, %d failed" % (args.kills - len({f.split(":")[0] for f in failures}),
                                      len({f.split(":")[0] for f in failures})))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
