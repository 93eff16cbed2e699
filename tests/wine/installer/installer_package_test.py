"""Unpacks the win32 release zip and checks its three files."""
import os
import struct
import sys
import tempfile
import zipfile

from saverrun import check


def imported_dlls(data, offset, magic):
    """Names of the DLLs in a PE file's import table, lower-cased."""
    optional = offset + 24
    sections = optional + struct.unpack_from("<H", data, offset + 20)[0]
    count = struct.unpack_from("<H", data, offset + 6)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]

    def file_offset(rva):
        for i in range(count):
            size, address, _, raw = struct.unpack_from("<IIII", data, sections + 40 * i + 8)
            if address <= rva < address + max(size, 1):
                return rva - address + raw
        raise ValueError(f"RVA {rva:#x} outside every section")

    names, entry = [], file_offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<I", data, entry + 12)[0]
        if name_rva == 0:
            return names
        start = file_offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode().lower())
        entry += 20


def pe_machine(path):
    with open(path, "rb") as f:
        data = f.read()
    check(data[:2] == b"MZ", f"{path}: not a Windows program")
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[offset:offset + 4] == b"PE\0\0", f"{path}: no PE header")
    machine = struct.unpack_from("<H", data, offset + 4)[0]
    # The optional header's magic: 0x10b for PE32, 0x20b for PE32+.
    magic = struct.unpack_from("<H", data, offset + 24)[0]
    subsystem = struct.unpack_from("<H", data, offset + 24 + 68)[0]
    return machine, magic, subsystem, data


def icon_image(path, kind):
    """The single image of a .ico (kind 1) or .cur (kind 2) file, with its
    directory entry: width, height, colours, hot spot x and y."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, found, count = struct.unpack_from("<HHH", data, 0)
    check((reserved, found, count) == (0, kind, 1), path)
    width, height, colours, _, x, y, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    return (width, height, colours, x, y), data[offset:offset + size]


def check_resources(exe, assets):
    """quillet.exe carries its 32x32 16-colour icon and the hand cursor with
    its hot spot on the fingertip (12, 1)."""
    (w, h, colours, _, _), icon = icon_image(os.path.join(assets, "quillet.ico"), 1)
    check((w, h, colours) == (32, 32, 16), (w, h, colours))
    check(struct.unpack_from("<H", icon, 14)[0] == 4, "icon is not 4 bits a pixel")
    check(icon in exe, "quillet.exe lacks its icon")
    (w, h, _, x, y), cursor = icon_image(os.path.join(assets, "quillet_hand.cur"), 2)
    check((w, h, x, y) == (32, 32, 12, 1), (w, h, x, y))
    # A cursor resource is its hot spot followed by the image.
    check(struct.pack("<HH", 12, 1) + cursor in exe, "quillet.exe lacks the hand cursor")


def main(zip_path, logo_path):
    if not os.path.exists(zip_path):
        print(f"{zip_path} is missing: build the win32 tree first", file=sys.stderr)
        return 1
    top = os.path.basename(zip_path)[:-len(".zip")]
    with zipfile.ZipFile(zip_path) as z, tempfile.TemporaryDirectory() as out:
        files = sorted(n for n in z.namelist() if not n.endswith("/"))
        expected = sorted(f"{top}/{n}" for n in ("quillet.exe", "brenlow.scr", "BR_LOW.bmp"))
        check(files == expected, f"zip holds {files}, expected {expected}")
        z.extractall(out)
        folder = os.path.join(out, top)

        for name in ("quillet.exe", "brenlow.scr"):
            machine, magic, subsystem, data = pe_machine(os.path.join(folder, name))
            check((machine, magic) == (0x14C, 0x10B), f"{name}: not a 32-bit x86 program")
            check(subsystem == 2, f"{name}: not a windows-subsystem program")
            # Static runtime: nothing beyond the system's own DLLs.
            offset = struct.unpack_from("<I", data, 0x3C)[0]
            for dll in imported_dlls(data, offset, magic):
                check(not dll.startswith("lib"), f"{name} needs {dll}")
        _, _, _, quillet = pe_machine(os.path.join(folder, "quillet.exe"))
        check(b'level="requireAdministrator"' in quillet, "quillet.exe does not ask for admin")
        check_resources(quillet, os.path.dirname(logo_path))

        with open(os.path.join(folder, "BR_LOW.bmp"), "rb") as f, open(logo_path, "rb") as g:
            logo = f.read()
            check(logo == g.read(), "BR_LOW.bmp is not the project's logo")
        width, height, _, bits = struct.unpack_from("<iiHH", logo, 18)
        check(logo[:2] == b"BM" and bits == 24 and height >= 100, (width, height, bits))
    print(f"{zip_path}: {', '.join(files)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
