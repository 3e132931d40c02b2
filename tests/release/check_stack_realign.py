"""32-bit Windows calls a program's window procedures and other callbacks with a stack aligned to
4 bytes only, while GCC's code assumes 16: an SSE instruction that keeps a value in a stack slot
with an aligned access (movdqa, paddd with a stack operand, ...) then ends in an access violation.
This reads the disassembly of 32-bit programs and names every function that makes such an access
without being safe: it is safe when it realigns its own stack on entry (and $0xfffffff0,%esp), or
when it is a file-local function whose every caller is safe. Exit status 1 when one is found.

    check_stack_realign.py OBJDUMP PROGRAM...
"""
import re
import subprocess
import sys

# Accesses to memory that may be unaligned: unaligned moves, scalar and 64-bit forms.
UNALIGNED_OK = {
    "movups", "movupd", "movdqu", "lddqu", "movq", "movd", "movss", "movsd", "movlps", "movhps", "movlpd",
    "movhpd", "pinsrb", "pinsrw", "pinsrd", "pinsrq", "pextrb", "pextrw", "pextrd", "pextrq", "extractps",
    "insertps", "cvtsi2ss", "cvtsi2sd", "cvtsi2ssl", "cvtsi2sdl", "cvtdq2pd", "cvtps2pd", "pcmpestri", "pcmpestrm",
    "pcmpistri", "pcmpistrm", "movddup", "pmovzxbw", "pmovzxbd", "pmovzxbq", "pmovzxwd", "pmovzxwq", "pmovzxdq",
    "pmovsxbw", "pmovsxbd", "pmovsxbq", "pmovsxwd", "pmovsxwq", "pmovsxdq", "movntss", "movntsd",
}
ALIGNED_VEX = {"vmovaps", "vmovapd", "vmovdqa", "vmovntdq", "vmovntps", "vmovntpd", "vmovntdqa"}
SCALAR = re.compile(r"^(add|sub|mul|div|min|max|sqrt|rcp|rsqrt|round|cmp\w*|u?comi|cvt\w*)(ss|sd)$")
STACK_OPERAND = re.compile(r"\(%(esp|ebp)[,)]")
REALIGN = re.compile(r"\band\s+\$0xffffff[ec8f]0,%esp")
FUNCTION = re.compile(r"^([0-9a-f]+) <(.+)>:$")
CALL = re.compile(r"\b(call|jmp)\s+[0-9a-f]+ <([^>+]+)>")


def needs_alignment(line):
    parts = line.split("\t")
    if len(parts) < 2:
        return False
    instruction = parts[1].strip()
    if "%xmm" not in instruction or not STACK_OPERAND.search(instruction):
        return False
    mnemonic = instruction.split()[0]
    if mnemonic.startswith("v"):
        return mnemonic in ALIGNED_VEX
    if mnemonic in UNALIGNED_OK:
        return False
    # Scalar single and double forms read 4 or 8 bytes, which need no alignment.
    return not SCALAR.match(mnemonic)


def static_symbols(objdump, program):
    names = set()
    table = subprocess.run([objdump, "-t", program], capture_output=True, text=True, check=True).stdout
    for line in table.splitlines():
        m = re.search(r"\(scl\s+(\d+)\).*\s(\S+)$", line)
        if m and m.group(1) == "3":
            names.add(m.group(2))
    return names


def check(objdump, program):
    disassembly = subprocess.run([objdump, "-d", "--no-show-raw-insn", program], capture_output=True, text=True,
                                 check=True).stdout
    local = static_symbols(objdump, program)
    functions = {}
    callers = {}
    current = None
    for line in disassembly.splitlines():
        m = FUNCTION.match(line)
        if m:
            current = m.group(2)
            functions[current] = {"realigns": False, "access": None}
            continue
        if current is None:
            continue
        if REALIGN.search(line):
            functions[current]["realigns"] = True
        if functions[current]["access"] is None and needs_alignment(line):
            functions[current]["access"] = line.strip()
        c = CALL.search(line)
        if c and c.group(2) != current:
            callers.setdefault(c.group(2), set()).add(current)

    safe_memo = {}

    def safe(name, visiting=frozenset()):
        if name in safe_memo:
            return safe_memo[name]
        f = functions.get(name)
        if f is None or name in visiting:
            return False
        if f["realigns"]:
            result = True
        else:
            who = callers.get(name, set())
            result = name in local and bool(who) and all(safe(c, visiting | {name}) for c in who)
        safe_memo[name] = result
        return result

    faults = 0
    checked = 0
    for name, f in sorted(functions.items()):
        if f["access"] is None:
            continue
        checked += 1
        if not safe(name):
            faults += 1
            print("FAULT %s: %s keeps SSE values on the stack with an aligned access (%s) and nothing realigns the "
                  "stack before it: entered from a Windows callback, it faults" % (program, name, f["access"]))
    realigning = sorted(n for n, f in functions.items() if f["realigns"])
    print("%s: %d functions with aligned SSE stack accesses, %d realigning functions (%s)" %
          (program, checked, len(realigning), ", ".join(realigning[:8]) + (" ..." if len(realigning) > 8 else "")))
    return faults


def main():
    objdump, programs = sys.argv[1], sys.argv[2:]
    faults = sum(check(objdump, p) for p in programs)
    if faults:
        print("%d fault(s)" % faults)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
