"""The win32 release zip: its three files, the programs the build's (which
the static checks look into), quillet.exe's icon and cursor, the logo."""
import os
import pathlib
import struct
import sys
import zipfile

from harness import check


def icon_image(path, kind):
    """The single image of a .ico (kind 1) or .cur (kind 2) file, with its
    directory entry: width, height, colours, hot spot x and y."""
    data = pathlib.Path(path).read_bytes()
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
    with zipfile.ZipFile(zip_path) as z:
        files = sorted(n for n in z.namelist() if not n.endswith("/"))
        expected = sorted(f"{top}/{n}" for n in ("quillet.exe", "brenlow.scr", "BR_LOW.bmp"))
        check(files == expected, f"zip holds {files}, expected {expected}")
        shipped = {n.split("/")[1]: z.read(n) for n in files}
    # The programs are the build's, which the static checks look into.
    build = os.path.dirname(zip_path)
    for name in ("quillet.exe", "brenlow.scr"):
        check(shipped[name] == pathlib.Path(build, name).read_bytes(), f"{name} is not the build's")
    check_resources(shipped["quillet.exe"], os.path.dirname(logo_path))
    logo = shipped["BR_LOW.bmp"]
    check(logo == pathlib.Path(logo_path).read_bytes(), "BR_LOW.bmp is not the project's logo")
    width, height, _, bits = struct.unpack_from("<iiHH", logo, 18)
    check(logo[:2] == b"BM" and bits == 24 and height >= 100, (width, height, bits))
    print(f"{zip_path}: {', '.join(files)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
