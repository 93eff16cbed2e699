"""The Linux saver on headless sway, with DISPLAY and WAYLAND_DISPLAY both
set as in GNOME and KDE Plasma sessions: natively, as it chooses there, or
through Xwayland where the user asks for X11 (SDL_VIDEODRIVER=x11).

    python3 wayland_test.py <case> native|xwayland <brenlow> <brenlow-virtual-pointer>

The case "long" is the report's: three runs of a minute with the pointer
resting, none of which may end."""

import os
import shutil
import sys
import time

from harness import check, run_case
from images import tiles
from saverrun import CYCLE, Saver
from sway_session import SECOND, SwaySession

REST = 20
LONG = 60
# Before an input: an end without one must not pass for the input's effect.
SETTLE = 8


def installed(session, exe):
    """The saver with the settings the installer writes, the pointer resting at x 500."""
    logo = os.path.join(os.path.dirname(__file__), "..", "..", "assets", "BR_LOW.bmp")
    shutil.copy(logo, os.path.join(session.drive_c(), "BR_LOW.bmp"))
    session.mouse_move(500, 300)
    return Saver(session, exe, "C:\\BR_LOW.bmp", "Casuali")


def rest(session, saver, seconds):
    start = time.monotonic()
    saver.wait(tiles, CYCLE, "tiles")
    shell = "xwayland" if session.driver == "x11" else "xdg_shell"
    check(set(session.find_windows("^brenlow$", "shell")) == {shell},
          f"the saver's windows are not {shell}: {session.find_windows('^brenlow$', 'shell')}")
    while time.monotonic() - start < seconds:
        check(saver.alive(), f"ended with code {saver.p.returncode} after "
              f"{time.monotonic() - start:.1f} s without input")
        time.sleep(0.1)
    print(f"drew tiles and ran {seconds} s with the pointer resting")


def move(session, saver):
    saver.end_by_move()
    print("a sideways move ended it with 0")


def key(session, saver):
    session.end_with_key(saver.p, "space")
    print("a key ended it with 0")


def second_output(session, saver):
    session.swaymsg("create_output")
    # The new output is right of the first in a screenshot of them all.
    saver.wait(lambda i: i.width > session.width and i.colours(
        session.width, 0, session.width + SECOND[0], SECOND[1], step=4) == {(0, 0, 0)},
        60, "the new output covered")
    check(saver.alive(), f"ended with code {saver.p.returncode} when the output came")
    print("the output added while it ran is covered")


def case(then=None, seconds=SETTLE, runs=1):
    """Runs of the installed saver, each drawing and resting `seconds`; then
    `then` ends it or checks more."""
    def run(session, desktop, exe, pointer):
        for _ in range(runs):
            saver = installed(session, exe)
            rest(session, saver, seconds)
            if then:
                then(session, saver)
            saver.p.kill()
            saver.p.wait()
    return run


if __name__ == "__main__":
    cases = {"case_" + f.__name__: case(f) for f in (move, key, second_output)}
    cases.update(case_rest=case(seconds=REST), case_long=case(seconds=LONG, runs=3))
    sys.exit(run_case(cases, lambda: SwaySession(
        x11=True, pointer=sys.argv[4], driver="x11" if sys.argv[2] == "xwayland" else None)))
