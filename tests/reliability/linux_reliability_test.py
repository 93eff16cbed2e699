"""The Linux build of brenlow under Xvfb with the faults of the unit tests,
through the real program: whatever is in its settings file or its picture,
the saver runs, draws its cycle and ends with code 0 on a sideways move.

    python3 linux_reliability_test.py <case> <brenlow>"""

import os
import struct
import sys

import winehelp
from linux_session import LinuxSession
from saverrun import CYCLE, Saver, address, black, check, logo_traces, make_test_logo, tiles


def run_until_moved(session, exe, what, logo_drawn=False):
    """A cycle through the logo step to the fade's black screen, every
    screenshot on the way looked at for the test logo's colours, then an
    end on a sideways move with code 0."""
    saver = Saver(session, exe, keep_settings=True)
    saver.wait(tiles, CYCLE, f"{what}: tiles")
    saver.wait(address, CYCLE, f"{what}: the address (the logo step)")
    traces = []
    saver.wait(lambda i: traces.append(logo_traces(i)) or black(i), CYCLE,
               f"{what}: the fade's black screen")
    if logo_drawn:
        check(max(traces) > 0, f"{what}: the logo was not seen")
    else:
        check(max(traces) == 0, f"{what}: {max(traces)} pixels of the logo were drawn")
    saver.end_by_move(10, what=f"{what}: ")
    print(f"{what}: {'a' if logo_drawn else 'no'} logo; ended on a move with code 0")


def ini(session):
    return os.path.join(session.windows_folder(), "brlscsav.ini")


def case_settings_folder(session, exe):
    os.makedirs(os.path.join(ini(session), "inside"))
    run_until_moved(session, exe, "settings file that is a folder")
    check(os.path.isdir(os.path.join(ini(session), "inside")), "the folder went")


def case_huge_settings(session, exe):
    with open(ini(session), "wb") as f:
        f.write(b"x" * (10 * 1024 * 1024))
    run_until_moved(session, exe, "10 MB one-line settings file")
    check(os.path.getsize(ini(session)) == 10 * 1024 * 1024, "the file changed")


def case_bad_pictures(session, exe):
    """The test logo made unusable: a loader that draws what it could read
    shows some of its four colours."""
    whole = make_test_logo(os.path.join(session.drive_c(), "whole.bmp"))
    pixels_at = struct.unpack_from("<I", whole, 10)[0]
    stride = (120 * 3 + 3) // 4 * 4

    def sized(width, height):
        return whole[:18] + struct.pack("<ii", width, height) + whole[26:]

    pictures = {"cut in the pixels": whole[:pixels_at + stride * 60 + 17],
                "30000 x 30000 in its header": sized(30000, 30000),
                "taller in its header than its pixels": sized(120, 240)}
    for i, (what, data) in enumerate(pictures.items()):
        with open(os.path.join(session.drive_c(), f"bad{i}.bmp"), "wb") as f:
            f.write(data)
        with open(ini(session), "w", newline="") as f:
            f.write(f"C:\\bad{i}.bmp\r\nCerchi\r\n")
        run_until_moved(session, exe, what)
    # The whole logo is seen by the same run: the check above can see it.
    with open(ini(session), "w", newline="") as f:
        f.write("C:\\whole.bmp\r\nCerchi\r\n")
    run_until_moved(session, exe, "the whole logo", logo_drawn=True)


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), LinuxSession))
