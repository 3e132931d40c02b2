#!/usr/bin/env python3
"""Reads the import tables of Windows programs (through MinGW's objdump -p) and fails when one
needs a DLL that a Windows 7 SP1 PC does not have, or statically imports a function that Windows
added later (or only with an optional update): such a program stops before its first window with
"... was not found" or "entry point not found".

The shipped installer (given as --shipped FILE) must also import statically only Windows' known
DLLs: any other DLL is looked for in the program's own folder first when the program starts (a
Downloads folder, where a planted version.dll would run with administrator rights) and must be
delay-loaded from the system folder instead.

usage: check_imports.py OBJDUMP [--shipped] FILE... (exit 0: all clean; 1: findings, printed one a line)
"""
import subprocess
import sys

# Windows system DLLs present on every Windows 7 SP1 installation (lower case).
WINDOWS7_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "dbghelp.dll",
    "dnsapi.dll", "dwmapi.dll", "gdi32.dll", "gdiplus.dll", "imm32.dll", "iphlpapi.dll",
    "kernel32.dll", "mpr.dll", "msimg32.dll", "msvcrt.dll", "netapi32.dll", "ntdll.dll",
    "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "secur32.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll",
    "winhttp.dll", "wininet.dll", "winmm.dll", "winspool.drv", "wintrust.dll", "ws2_32.dll",
    "wtsapi32.dll",
}

# Windows 7's known DLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs), always
# taken from the system folder, and comctl32.dll, which the manifest takes from WinSxS.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "iertutil.dll",
    "imagehlp.dll", "imm32.dll", "kernel32.dll", "lpk.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "urlmon.dll", "user32.dll", "usp10.dll", "wininet.dll",
    "wldap32.dll", "ws2_32.dll", "ntdll.dll", "comctl32.dll",
}

# Functions Windows 7 SP1 lacks, or has only with an optional update: they must be looked up
# at run time (GetProcAddress) with a fallback, never imported.
LATER_FUNCTIONS = {
    # DLL search (KB2533623)
    "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory",
    # per-monitor DPI (Windows 10)
    "GetDpiForWindow", "GetDpiForSystem", "SetThreadDpiAwarenessContext",
    "SetProcessDpiAwarenessContext", "GetThreadDpiAwarenessContext",
    "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi",
    "EnableNonClientDpiScaling", "GetDpiForMonitor", "SetProcessDpiAwareness",
    # Windows 8 and later
    "GetSystemTimePreciseAsFileTime", "CreateFile2", "WaitOnAddress", "WakeByAddressSingle",
    "WakeByAddressAll", "GetOverlappedResultEx", "SetThreadDescription", "GetThreadDescription",
    "PathCchCombine", "PathCchAppend", "PathCchCanonicalize",
}


def imports(objdump, path):
    """{dll (as written): [function names]} of the file's import table."""
    out = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    table, dll, in_imports = {}, None, False
    for line in out.splitlines():
        s = line.strip()
        if s.startswith("The Import Tables"):
            in_imports = True
        elif in_imports and (s.startswith("The Export Tables") or s.startswith("The Function Table")
                             or s.startswith("PE File Base Relocations") or s.startswith("The Delay Import")):
            in_imports = False
        if not in_imports:
            continue
        if s.startswith("DLL Name:"):
            dll = s.split(":", 1)[1].strip()
            table.setdefault(dll, [])
        elif dll and s and s[0] in "0123456789abcdef" and not s.startswith("vma"):
            parts = s.split()
            # "<vma> <hint> <name>", or "<vma> <ordinal>" for an import by number
            if len(parts) >= 3 and not all(ch in "0123456789abcdef" for ch in parts[2]):
                table[dll].append(parts[2])
    return table


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    objdump, files = argv[1], []
    shipped = False
    for arg in argv[2:]:
        if arg == "--shipped":
            shipped = True
            continue
        files.append((arg, shipped))
        shipped = False
    findings = []
    for path, is_shipped in files:
        table = imports(objdump, path)
        if not table:
            findings.append(f"{path}: no import table read (not a Windows program?)")
        for dll in sorted(table, key=str.lower):
            if dll.lower() not in WINDOWS7_DLLS:
                findings.append(f"{path}: imports {dll}, which is not a Windows system DLL of Windows 7 SP1")
            elif is_shipped and dll.lower() not in KNOWN_DLLS:
                findings.append(f"{path}: imports {dll} at start, from the program's folder first: delay-load it")
        for dll in sorted(table, key=str.lower):
            for fn in table[dll]:
                if fn in LATER_FUNCTIONS:
                    findings.append(f"{path}: imports {fn} from {dll}; Windows 7 SP1 may lack it: look it up at run time")
        print(f"{path}: {', '.join(sorted(table, key=str.lower))}")
    for f in findings:
        print("FAULT " + f)
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
