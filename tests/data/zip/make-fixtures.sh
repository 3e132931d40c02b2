#!/usr/bin/env bash
# Makes the checked-in ZIP fixtures with independent tools (Info-ZIP zip, 7-Zip, Python's zipfile),
# so the Windows test program can read archives no code of ours wrote. Run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'plain text\n' > plain.txt
printf 'the secret\n' > secret.txt
# Big enough that 7-Zip uses AE-1 (which keeps the CRC) rather than AE-2.
python3 -c "import sys; sys.stdout.write(''.join('line %04d of the larger file\n' % i for i in range(400)))" > large.txt
# Incompressible, so 7-Zip stores it (AE-2 without compression).
python3 -c "import hashlib,sys; b=b''.join(hashlib.sha256(bytes([i])).digest() for i in range(8)); sys.stdout.buffer.write(b)" > noise.bin
cp noise.bin noise-plain.bin
rm -f "$here"/*.zip
7z a -tzip -bd "$here/stored-aes256.zip" noise-plain.bin >/dev/null
7z a -tzip -bd -pheslo -mem=AES256 "$here/stored-aes256.zip" noise.bin >/dev/null

# One unencrypted and one encrypted entry each: a wrong password must still let plain.txt out.
zip -qX "$here/mixed-zipcrypto.zip" plain.txt
zip -qX -P heslo "$here/mixed-zipcrypto.zip" secret.txt large.txt
# Written to a pipe, the encrypted entries carry their CRC after the data: their encryption header
# then repeats the file time instead of the CRC.
zip -qX -P heslo - secret.txt large.txt > "$here/streamed-zipcrypto.zip"
zip -qX "$here/streamed-zipcrypto.zip" plain.txt
for m in AES128 AES192 AES256; do
  lower=$(echo "$m" | tr 'A-Z' 'a-z')
  7z a -tzip -bd "$here/mixed-$lower.zip" plain.txt >/dev/null
  7z a -tzip -bd -pheslo -mem=$m "$here/mixed-$lower.zip" secret.txt large.txt >/dev/null
done

python3 - "$here" <<'PY'
import sys, zipfile
here = sys.argv[1]
def make(name, entries, flag_utf8=None):
    with zipfile.ZipFile(f"{here}/{name}", "w", zipfile.ZIP_DEFLATED) as z:
        for entry, data in entries:
            info = zipfile.ZipInfo(entry, (2024, 3, 5, 7, 8, 10))
            info.create_system = 0  # made on Windows: names without the UTF-8 flag are OEM
            z.writestr(info, data)
# Names that climb out of the base folder, each beside a harmless entry listed first.
make("climb-dotdot.zip", [("ok.txt", "ok"), ("sub/../../escape.txt", "bad")])
make("climb-absolute.zip", [("ok.txt", "ok"), ("/tmp/velsetup-escape.txt", "bad")])
make("climb-drive.zip", [("ok.txt", "ok"), ("C:escape.txt", "bad")])
# Python turns a backslash into nothing special; the raw name keeps it.
make("climb-backslash.zip", [("ok.txt", "ok"), ("..\\escape.txt", "bad")])
make("climb-unc.zip", [("ok.txt", "ok"), ("\\\\server\\share\\escape.txt", "bad")])
# Czech names in the OEM code page 852 without the UTF-8 flag: written with ASCII stand-ins of the
# same length, then the name bytes are replaced (the CRC does not cover names).
oem = "Žluťoučký kůň/Úvod.txt".encode("cp852")
stand_in = b"X" * len(oem)
make("czech-oem.zip", [(stand_in.decode("ascii"), "kun\n")])
path = f"{here}/czech-oem.zip"
data = open(path, "rb").read().replace(stand_in, oem)
open(path, "wb").write(data)
# The same name with the UTF-8 flag (Python sets it for names outside ASCII).
make("czech-utf8.zip", [("Žluťoučký kůň/Úvod.txt", "kun\n")])

# A stored entry whose data no longer match its CRC-32 (one letter changed after writing).
with zipfile.ZipFile(f"{here}/crc-mismatch.zip", "w", zipfile.ZIP_STORED) as z:
    info = zipfile.ZipInfo("data.txt", (2024, 3, 5, 7, 8, 10))
    info.create_system = 0
    z.writestr(info, "the original content")
path = f"{here}/crc-mismatch.zip"
data = open(path, "rb").read().replace(b"original", b"0riginal")
open(path, "wb").write(data)

# AE-1 (the CRC is kept and must be checked) from 7-Zip's AE-2 archive: vendor version 1 in the
# AES extra fields and the real CRC-32 in the local and central headers.
import struct, zlib
src = open(f"{here}/mixed-aes256.zip", "rb").read()
data = bytearray(src.replace(b"\x01\x99\x07\x00\x02\x00AE", b"\x01\x99\x07\x00\x01\x00AE"))
with zipfile.ZipFile(f"{here}/mixed-aes256.zip") as z:
    infos = z.infolist()
    pos = z.start_dir
for info in infos:
    crc = zlib.crc32(open(info.filename, "rb").read())
    struct.pack_into("<I", data, info.header_offset + 14, crc)
    assert data[pos:pos + 4] == b"PK\x01\x02"
    struct.pack_into("<I", data, pos + 16, crc)
    n, m, k = struct.unpack_from("<HHH", data, pos + 28)
    pos += 46 + n + m + k
open(f"{here}/ae1-aes256.zip", "wb").write(data)
PY
7z t -pheslo "$here/ae1-aes256.zip" >/dev/null

# Forged and damaged archives whose directory libzip would take on trust, written byte by byte.
python3 - "$here" <<'PY'
import struct, sys, zlib
here = sys.argv[1]
def raw_zip(name, entries, patch=None):
    """entries: (local name, central name, data); patch(central records list, offsets) may edit."""
    out, central = bytearray(), []
    for local_name, central_name, data in entries:
        crc, offset = zlib.crc32(data), len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034b50, 20, 0, 0, 0x3C00, 0x5865, crc, len(data), len(data),
                           len(local_name), 0) + local_name + data
        central.append([central_name, crc, len(data), offset])
    if patch:
        patch(central)
    start = len(out)
    for central_name, crc, size, offset in central:
        out += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 20, 20, 0, 0, 0x3C00, 0x5865, crc, size, size,
                           len(central_name), 0, 0, 0, 0, 0x20, offset) + central_name
    out += struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, len(central), len(central), len(out) - start, start, 0)
    open(f"{here}/{name}", "wb").write(out)
    return out
# The layout written right, as the base of the forgeries.
raw_zip("layout-sound.zip", [(b"safe.txt", b"safe.txt", b"safe\n"), (b"other.txt", b"other.txt", b"other\n")])
# A second directory record over the data of the first.
def overlap(central):
    central[1][3] = central[0][3]
raw_zip("forged-overlap.zip", [(b"safe.txt", b"safe.txt", b"safe\n"), (b"other.txt", b"other.txt", b"other\n")],
        overlap)
# The directory says safe.txt, the local header ../../x.
raw_zip("forged-localname.zip", [(b"../../x", b"safe.txt", b"bad\n")])
# One flipped bit in a directory name: extracted, it would land under the damaged name.
raw_zip("damaged-centralname.zip", [(b"safe.txt", b"safe.txt", b"safe\n")])
data = bytearray(open(f"{here}/damaged-centralname.zip", "rb").read())
at = data.rindex(b"safe.txt")
data[at + 2] ^= 0x04
open(f"{here}/damaged-centralname.zip", "wb").write(data)
# The end record zeroed after its signature: an archive that seems empty though it holds data.
data = bytearray(raw_zip("damaged-endrecord.zip", [(b"safe.txt", b"safe.txt", b"safe\n")]))
data[-18:] = bytes(18)
open(f"{here}/damaged-endrecord.zip", "wb").write(data)
# Bytes between two entries that no directory record claims.
def gap(central):
    pass
out = raw_zip("damaged-gap.zip", [(b"safe.txt", b"safe.txt", b"safe\n")])
data = bytearray(out)
local_end = 30 + 8 + 5
data[local_end:local_end] = b"hidden bytes"
start = struct.unpack_from("<I", data, len(data) - 6)[0] + 12
struct.pack_into("<I", data, len(data) - 6, start)
open(f"{here}/damaged-gap.zip", "wb").write(data)
PY
ls -l "$here"
