"""The Linux build of brenlow under Xvfb with the faults of the unit tests,
through the real program: whatever is in its settings file,
the saver runs, draws its cycle and ends with code 0 on a sideways move.

    python3 linux_reliability_test.py <case> <brenlow>"""

import os
import sys

import winehelp
from linux_session import LinuxSession
from saverrun import Saver, check


def run_until_moved(session, exe, what):
    """A cycle through the logo step without a logo, then an end on a
    sideways move with code 0."""
    saver = Saver(session, exe, keep_settings=True)
    traces = saver.logo_traces_to_fade(what)
    check(traces == 0, f"{what}: {traces} pixels of the logo were drawn")
    saver.end_by_move(10, what=f"{what}: ")
    print(f"{what}: no logo; ended on a move with code 0")


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


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), LinuxSession))
