"""Static checks of brenlow.scr and quillet.exe (i686): PE headers, imports
and resources.

    python3 check_pe.py saver|installer <program> <objdump>"""

import os
import re
import struct
import subprocess
import sys

# DLLs that every Windows installation has; nothing else may be imported.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll",
    "advapi32.dll", "shell32.dll", "winmm.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",
    "uxtheme.dll", "version.dll", "wtsapi32.dll",
}

# msvcrt's abort shows a modal "Runtime Error!" box in a GUI program and
# holds the process until it is clicked; Wine shows none, so only the
# imports tell. Both programs link with --wrap=abort instead.
FORBIDDEN_IMPORTS = {("msvcrt.dll", "abort")}

LICENSE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "LICENSE")

RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24


def imports(dump):
    """{(dll, function)} from objdump -p's import tables, names lower-case."""
    found, dll = set(), None
    for line in dump.splitlines():
        name = re.match(r"\s*DLL Name: (\S+)", line)
        if name:
            dll = name.group(1).lower()
            continue
        entry = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)
        if dll and entry:
            found.add((dll, entry.group(1)))
        elif not line.strip():
            dll = None
    return found


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    count, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from(
        "<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, dirs + 2 * 8)[0]
    table = opt + opt_size
    result = []
    for i in range(count):
        off = table + 40 * i
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, off + 8)
        result.append((vaddr, max(vsize, rawsize), rawptr))
    return rsrc_rva, result


def resources(data):
    """{(type, name): [bytes, ...]} for the resources with numeric ids."""
    rsrc_rva, secs = sections(data)
    if rsrc_rva == 0:
        return {}

    def at(rva):
        for vaddr, size, rawptr in secs:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rawptr
        raise ValueError(f"rva {rva:#x} outside every section")

    base = at(rsrc_rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield name, target

    found = {}
    for type_id, type_dir in entries(0):
        for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
            for _lang, leaf in entries(name_dir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                start = at(rva)
                found.setdefault((type_id, name_id), []).append(data[start:start + size])
    return found


def string_resource(res, string_id):
    blocks = res.get((RT_STRING, string_id // 16 + 1))
    if not blocks:
        return None
    block, pos = blocks[0], 0
    for index in range(16):
        length = struct.unpack_from("<H", block, pos)[0]
        text = block[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
        if index == string_id % 16:
            return text
        pos += 2 + 2 * length
    return None


def version_strings(blob):
    """The StringFileInfo values of a VS_VERSIONINFO resource, {key: value}."""
    found = {}

    def align(pos):
        return (pos + 3) & ~3

    def node(pos, depth):
        length, value_length, kind = struct.unpack_from("<HHH", blob, pos)
        end = pos + length
        key_end = pos + 6
        while blob[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = blob[pos + 6:key_end].decode("utf-16-le")
        value_at = align(key_end + 2)
        # A string's length counts UTF-16 units, a binary value's bytes.
        value_size = value_length * 2 if kind == 1 else value_length
        if depth == 3:
            found[key] = blob[value_at:value_at + value_size].decode("utf-16-le").rstrip("\0")
        child = align(value_at + value_size)
        while child < end:
            child_length = struct.unpack_from("<H", blob, child)[0]
            if child_length == 0:
                break
            if depth < 3 and (depth > 0 or blob[child + 6:child + 34].decode(
                    "utf-16-le", "replace").startswith("StringFileInfo")):
                node(child, depth + 1)
            child = align(child + child_length)

    node(0, 0)
    return found


# What each program must carry beyond what both do.
PROGRAMS = {
    # The saver runs unelevated (a standard user saves its settings into
    # the VirtualStore), at the monitor's own scale.
    "saver": {"string 1": "brenlow", "OriginalFilename": "brenlow.scr",
              "manifest": [("requestedExecutionLevel", False), ("true/pm", True),
                           ("PerMonitorV2", True)]},
    "installer": {"string 1": None, "OriginalFilename": "quillet.exe",
                  "manifest": [('level="requireAdministrator"', True)]},
}


def main():
    role, scr, objdump = sys.argv[1], sys.argv[2], sys.argv[3]
    expected = PROGRAMS[role]
    with open(LICENSE, encoding="utf-8") as f:
        notice = next(line.strip() for line in f if line.startswith("Copyright"))
    kind = subprocess.run(["file", "-b", scr], capture_output=True, text=True).stdout.strip()
    dump = subprocess.run([objdump, "-p", scr], capture_output=True, text=True, check=True).stdout
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}
    with open(scr, "rb") as f:
        res = resources(f.read())
    of_type = lambda wanted: [b for (t, _), bs in res.items() if t == wanted for b in bs]  # noqa
    manifests, versions = of_type(RT_MANIFEST), of_type(RT_VERSION)
    checks = [(needle in kind, f"file says {kind!r}, expected {needle!r}")
              for needle in ("PE32 executable", "(GUI)", "Intel 80386")]
    checks += [
        ("PE32+" not in kind, "a 64-bit program, expected 32-bit"),
        ("large address aware" in dump,
         "not large address aware: 2 GB of addresses where 4 GB could be had"),
        ("TERMINAL_SERVICE_AWARE" in dump,
         "not terminal-server aware: a Remote Desktop host would give it a per-user Windows "
         "folder"),
        (dlls, "no imports found"),
        (len(manifests) == 1, f"{len(manifests)} manifests, expected exactly ours"),
        (string_resource(res, 1) == expected["string 1"],
         f"string 1 is {string_resource(res, 1)!r}, expected {expected['string 1']!r}"),
        (any(t == RT_GROUP_ICON for t, _ in res), "no icon resource"),
        (len(versions) == 1, f"{len(versions)} version resources, expected one"),
    ]
    checks += [(False, f"imports {dll}, which is not a system DLL")
               for dll in sorted(dlls - SYSTEM_DLLS)]
    checks += [(False, f"imports {function} from {dll}: its box would hold a failed program")
               for dll, function in sorted(imports(dump) & FORBIDDEN_IMPORTS)]
    for manifest in manifests:
        text = manifest.decode("utf-8", "replace")
        checks.append(("Microsoft.Windows.Common-Controls" in text and 'version="6.0.0.0"' in text,
                       "manifest lacks common controls 6"))
        checks += [((needle in text) == wanted, f"manifest {'lacks' if wanted else 'has'} {needle}")
                   for needle, wanted in expected["manifest"]]
    for version in versions:
        values = version_strings(version)
        checks += [(values.get(key), f"version information lacks {key}") for key in
                   ("CompanyName", "FileDescription", "FileVersion", "ProductName",
                    "ProductVersion")]
        wanted = {"OriginalFilename": expected["OriginalFilename"], "LegalCopyright": notice}
        checks += [(values.get(k) == v, f"{k} is {values.get(k)!r}, expected {v!r}")
                   for k, v in wanted.items()]
        print("version:", ", ".join(f"{k}={v}" for k, v in sorted(values.items())))

    failures = [message for ok, message in checks if not ok]
    for f in failures:
        print("FAIL:", f)
    print(f"{scr}: {kind}; imports {', '.join(sorted(dlls))}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
