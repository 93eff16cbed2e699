"""Static checks of the 32-bit deliverable brenlow.scr: its PE header (a
32-bit GUI program, large address aware), the DLLs it imports, and its
resources (manifest, name string, icon, version)."""

import re
import struct
import subprocess
import sys

# DLLs that every Windows installation has; nothing else may be imported.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll",
    "advapi32.dll", "shell32.dll", "winmm.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",
    "uxtheme.dll", "version.dll",
}

RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24


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


def main():
    scr, objdump = sys.argv[1], sys.argv[2]
    data = open(scr, "rb").read()
    failures = []

    kind = subprocess.run(["file", "-b", scr], capture_output=True, text=True).stdout
    for needle in ("PE32 executable", "(GUI)", "Intel 80386"):
        if needle not in kind:
            failures.append(f"file says {kind.strip()!r}, expected {needle!r}")
    if "PE32+" in kind:
        failures.append("a 64-bit program, expected 32-bit")

    dump = subprocess.run([objdump, "-p", scr], capture_output=True, text=True, check=True).stdout
    if "large address aware" not in dump:
        failures.append("not large address aware: 2 GB of addresses where 4 GB could be had")
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}
    if not dlls:
        failures.append("no imports found")
    for dll in sorted(dlls - SYSTEM_DLLS):
        failures.append(f"imports {dll}, which is not a system DLL")

    res = resources(data)
    manifests = [m for (t, _), ms in res.items() if t == RT_MANIFEST for m in ms]
    if len(manifests) != 1:
        failures.append(f"{len(manifests)} manifests, expected exactly ours")
    for manifest in manifests:
        text = manifest.decode("utf-8", "replace")
        checks = [
            ("requestedExecutionLevel" not in text, "manifest has requestedExecutionLevel"),
            ("<dpiAware" in text and "true/pm" in text, "manifest lacks dpiAware true/pm"),
            ("PerMonitorV2" in text, "manifest lacks dpiAwareness PerMonitorV2"),
            ("Microsoft.Windows.Common-Controls" in text and 'version="6.0.0.0"' in text,
             "manifest lacks common controls 6"),
        ]
        failures += [message for ok, message in checks if not ok]

    name = string_resource(res, 1)
    if name != "brenlow":
        failures.append(f"string 1 is {name!r}, expected 'brenlow'")
    for kind_id, label in ((RT_GROUP_ICON, "icon"), (RT_VERSION, "version information")):
        if not any(t == kind_id for t, _ in res):
            failures.append(f"no {label} resource")

    for f in failures:
        print("FAIL:", f)
    print(f"{scr}: {kind.strip()}; imports {', '.join(sorted(dlls))}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
