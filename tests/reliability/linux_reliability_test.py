"""The Linux build of brenlow under Xvfb with the faults of the unit tests,
through the real program: whatever is in its settings file or its picture,
the saver runs, draws its cycle and ends with code 0 on a sideways move.

    python3 linux_reliability_test.py <case> <brenlow>"""

import os
import shutil
import struct
import sys

import saver_test
import winehelp
from linux_session import LinuxSession

CYCLE = saver_test.CYCLE


def bmp24(width, height, pixel_bytes):
    stride = (width * 24 + 31) // 32 * 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835,
                       0, 0)
    return (b"BM" + struct.pack("<IHHI", (54 + stride * height) & 0xFFFFFFFF, 0, 0, 54) + info +
            b"\x7f" * pixel_bytes)


def run_until_moved(session, exe, what):
    p = session.start(exe, "/S")
    session.wait_window("^brenlow$", saver_test.START)
    saver = saver_test.Saver.__new__(saver_test.Saver)
    saver.s, saver.p = session, p
    saver.wait(saver_test.tiles, CYCLE, f"{what}: tiles")
    img = saver.wait(saver_test.address, CYCLE, f"{what}: the address (logo step passed)")
    saver_test.check(not saver_test.logo(img), f"{what}: a logo was drawn")
    x, y = session.mouse_position()
    session.mouse_move(x + 10, y)
    code = session.wait_exit(p, 60)
    saver_test.check(code == 0, f"{what}: exit code {code}")
    print(f"{what}: the saver ran and ended on a move with code 0")


def ini(session):
    return os.path.join(session.windows_folder(), "brlscsav.ini")


def case_settings_folder(session, exe):
    os.makedirs(os.path.join(ini(session), "inside"))
    run_until_moved(session, exe, "settings file that is a folder")
    saver_test.check(os.path.isdir(os.path.join(ini(session), "inside")), "the folder went")


def case_huge_settings(session, exe):
    with open(ini(session), "wb") as f:
        f.write(b"x" * (10 * 1024 * 1024))
    run_until_moved(session, exe, "10 MB one-line settings file")
    saver_test.check(os.path.getsize(ini(session)) == 10 * 1024 * 1024, "the file changed")


def case_bad_pictures(session, exe):
    whole = bmp24(40, 30, 120 * 30)
    pictures = {"cut mid-pixel-data": whole[:54 + 120 * 12 + 17],
                "30000 x 30000 in its header": bmp24(30000, 30000, 4096)}
    for i, (what, data) in enumerate(pictures.items()):
        with open(os.path.join(session.drive_c(), f"bad{i}.bmp"), "wb") as f:
            f.write(data)
        with open(ini(session), "w", newline="") as f:
            f.write(f"C:\\bad{i}.bmp\r\nCerchi\r\n")
        run_until_moved(session, exe, what)


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), LinuxSession))
