"""The VERSIONINFO resource of a PE file (32- or 64-bit), read from the file itself: the fixed file
and product versions and the strings of every string table. Nothing of Windows is needed."""
import struct


class PeError(Exception):
    pass


def _sections(data):
    if data[:2] != b"MZ":
        raise PeError("not a PE file (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("not a PE file (no PE signature)")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    sections = []
    table = optional + optional_size
    for i in range(count):
        _, vsize, va, raw_size, raw_pointer = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((va, max(vsize, raw_size), raw_pointer))
    return resource_rva, resource_size, sections


def _offset(sections, rva):
    for va, size, raw in sections:
        if va <= rva < va + size:
            return raw + rva - va
    raise PeError("address 0x%x lies in no section" % rva)


def _version_resource(data):
    resource_rva, _, sections = _sections(data)
    if not resource_rva:
        raise PeError("the file has no resources")
    base = _offset(sections, resource_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            yield name, target

    for type_id, target in entries(base):
        if type_id == 16 and target & 0x80000000:
            level = base + (target & 0x7FFFFFFF)
            for _, name_target in entries(level):
                lang_dir = base + (name_target & 0x7FFFFFFF)
                for _, leaf in entries(lang_dir):
                    rva, size = struct.unpack_from("<II", data, base + leaf)
                    start = _offset(sections, rva)
                    return data[start:start + size]
    raise PeError("the file has no VERSIONINFO resource")


def _block(blob, at):
    """One node of the version tree: (key, value bytes, type, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", blob, at)
    end = at + length
    key_end = at + 6
    while blob[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = blob[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = blob[value_at:value_at + value_bytes]
    children = []
    child = (value_at + value_bytes + 3) & ~3
    while child + 6 <= end:
        node = _block(blob, child)
        children.append(node)
        if node[4] <= child:
            break
        child = (node[4] + 3) & ~3
    return key, value, kind, children, end


def read_version(path):
    """{"FileVersion": (a, b, c, d), "ProductVersion": (...), "strings": {key: text}}"""
    data = open(path, "rb").read()
    key, value, _, children, _ = _block(_version_resource(data), 0)
    if key != "VS_VERSION_INFO" or len(value) < 52 or struct.unpack_from("<I", value, 0)[0] != 0xFEEF04BD:
        raise PeError("the VERSIONINFO resource has no fixed file information")
    fms, fls, pms, pls = struct.unpack_from("<IIII", value, 8)
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for child in children:
        if child[0] == "StringFileInfo":
            for table in child[3]:
                for entry in table[3]:
                    strings[entry[0]] = entry[1].decode("utf-16-le").rstrip("\0")
    return {"FileVersion": split(fms, fls), "ProductVersion": split(pms, pls), "strings": strings}


if __name__ == "__main__":
    import sys
    print(read_version(sys.argv[1]))
