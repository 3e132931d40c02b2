"""The installer's code signature, made the way a release makes it: a throw-away code-signing CA and
a certificate for the publisher the exe's version resource names, scripts/sign.sh on a copy of the
exe, then osslsigncode's verification against that CA. One changed byte must break the signature,
and the version resource must be filled and name the signature's publisher.

    check_signing.py SIGN_SH EXE
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_version import read_version  # noqa: E402

failures = []


def check(condition, text):
    print(("ok: " if condition else "FAULT: ") + text)
    if not condition:
        failures.append(text)


def run(args, env=None, expect=0):
    result = subprocess.run(args, capture_output=True, text=True, env=env)
    if expect is not None and result.returncode != expect:
        raise SystemExit("FAULT: %s ended with %d:\n%s%s" % (" ".join(args), result.returncode, result.stdout, result.stderr))
    return result


def main():
    sign_sh, exe = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="velsetup-sign.")
    try:
        # The version resource: every field a user sees in the file's properties is filled.
        version = read_version(exe)
        strings = version["strings"]
        for field in ("CompanyName", "FileDescription", "FileVersion", "ProductName", "ProductVersion",
                      "OriginalFilename"):
            check(strings.get(field, "").strip() != "", "version resource %s = %r" % (field, strings.get(field)))
        dotted = ".".join(str(n) for n in version["FileVersion"])
        check(strings.get("FileVersion") == dotted, "the FileVersion text %r is the fixed version %s" % (strings.get("FileVersion"), dotted))
        check(version["FileVersion"] != (0, 0, 0, 0), "the fixed file version is set")
        check(version["ProductVersion"] == version["FileVersion"] and strings.get("ProductVersion") == dotted,
              "the product version %s is the file version" % (version["ProductVersion"],))
        check(strings.get("OriginalFilename", "").lower() == os.path.basename(exe).lower(),
              "OriginalFilename names the file %s" % os.path.basename(exe))
        publisher = strings.get("CompanyName", "")

        # A CA and a code-signing certificate for the publisher, valid for a day.
        def path(name):
            return os.path.join(work, name)
        run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path("ca.key"), "-out", path("ca.pem"),
             "-days", "1", "-subj", "/CN=VelSetup test code-signing CA",
             "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"])
        run(["openssl", "req", "-newkey", "rsa:2048", "-nodes", "-keyout", path("leaf.key"), "-out", path("leaf.csr"),
             "-subj", "/C=CZ/O=%s/CN=%s" % (publisher, publisher)])
        with open(path("leaf.ext"), "w") as f:
            f.write("basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                    "extendedKeyUsage=codeSigning\n")
        run(["openssl", "x509", "-req", "-in", path("leaf.csr"), "-CA", path("ca.pem"), "-CAkey", path("ca.key"),
             "-CAcreateserial", "-days", "1", "-extfile", path("leaf.ext"), "-out", path("leaf.pem")])
        password = "Test pass; with spaces & signs"
        run(["openssl", "pkcs12", "-export", "-out", path("sign.pfx"), "-inkey", path("leaf.key"), "-in", path("leaf.pem"),
             "-certfile", path("ca.pem"), "-passout", "pass:" + password])
        # Another CA that signed nothing here: verifying against it must fail.
        run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path("other.key"),
             "-out", path("other.pem"), "-days", "1", "-subj", "/CN=Unrelated CA"])

        copy = path(os.path.basename(exe))
        shutil.copyfile(exe, copy)
        original = open(copy, "rb").read()
        env = {k: v for k, v in os.environ.items() if not k.startswith("VELSETUP_SIGN_")}

        # Without a certificate the file stays as it is, and the script says so.
        unsigned = run(["bash", sign_sh, copy], env=env)
        check(open(copy, "rb").read() == original and "stays unsigned" in unsigned.stdout,
              "without VELSETUP_SIGN_PFX the exe stays unsigned: %s" % unsigned.stdout.strip())
        check(run(["osslsigncode", "verify", "-CAfile", path("ca.pem"), "-in", copy], expect=None).returncode != 0,
              "the unsigned exe does not verify")
        wrong = dict(env, VELSETUP_SIGN_PFX=path("sign.pfx"), VELSETUP_SIGN_PASSWORD="wrong")
        bad = run(["bash", sign_sh, copy], env=wrong, expect=None)
        check(bad.returncode != 0 and open(copy, "rb").read() == original,
              "a wrong certificate password fails and leaves the exe as it was")

        signing = dict(env, VELSETUP_SIGN_PFX=path("sign.pfx"), VELSETUP_SIGN_PASSWORD=password)
        run(["bash", sign_sh, copy], env=signing)
        # Signing twice leaves one signature, not two.
        run(["bash", sign_sh, copy], env=signing)
        verify = run(["osslsigncode", "verify", "-CAfile", path("ca.pem"), "-in", copy], expect=None)
        text = verify.stdout + verify.stderr
        check(verify.returncode == 0 and "Signature verification: ok" in text,
              "osslsigncode verify against the test CA:\n" + text)
        check(re.search(r"Message digest algorithm\s*:\s*SHA256", text) is not None, "the digest is SHA-256")
        check(len(re.findall(r"Signature Index: ", text)) == 1 and "Number of verified signatures: 1" in text,
              "exactly one signature after signing twice")
        signer = re.search(r"Signer's certificate:\s*-+\s*Signer #0:\s*Subject: (.*)", text)
        check(signer is not None and re.search(r"/O=%s(/|$)" % re.escape(publisher), signer.group(1)) is not None,
              "the signer %r is the publisher of the version resource (%s)" % (signer and signer.group(1), publisher))
        check("Text description: Instalace software VELMOR" in text and "URL description: https://www.velmor.cz/" in text,
              "the signature names the program and the publisher's address")
        other = run(["osslsigncode", "verify", "-CAfile", path("other.pem"), "-in", copy], expect=None)
        check(other.returncode != 0, "verification against an unrelated CA fails")

        # One changed byte in the middle of the signed image.
        signed = bytearray(open(copy, "rb").read())
        signed[len(original) // 2] ^= 0x01
        tampered = path("tampered.exe")
        open(tampered, "wb").write(signed)
        broken = run(["osslsigncode", "verify", "-CAfile", path("ca.pem"), "-in", tampered], expect=None)
        check(broken.returncode != 0, "one changed byte breaks the signature")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d fault(s)" % len(failures))
        return 1
    print("signature checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
