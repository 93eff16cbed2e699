"""brenlow.scr under Wine and Xvfb, watched from outside as the screen-saver
machinery starts it.

    python3 saver_test.py <case> <brenlow.scr>"""

import functools
import os
import pathlib
import shutil
import struct
import sys
import time

from harness import check, poll, run_case
from images import GREY, QUADRANTS, address, black, lit, logo, make_test_logo, tiles
from linux_session import LinuxSession
from saverrun import CYCLE, START, Saver, put_logo, put_tall_logo
from winesession import WineSession
from xsession import SCREEN_HEIGHT as H, SCREEN_WIDTH as W

PREFIX = os.environ.get("BRENLOW_WINE_PREFIX", "saver")


def case_quiet_modes(session, exe):
    """Anything but /S and /C shows nothing and ends at once with code 0."""
    for args in ([], ["/p", "1234"], ["/P", "1234"], ["/a"], ["x"], ["/"]):
        p = session.start(exe, *args, cwd=session.drive_c())
        # Looked for while the program runs, not after it ended.
        seen = poll(lambda: session.find_windows("^brenlow$") or p.poll() is not None,
                             START, 0.05, f"{args}: the end of the program")
        check(seen is True, f"{args}: the saver window was shown")
        code = session.wait_exit(p, START)
        check(code == 0, f"{args}: exit code {code}")
        print(f"{args}: exit 0")


def case_cycle(session, exe):
    """Tiles, then the logo at the top left with the address, then black;
    the next cycle's shapes end on a sideways move while they draw."""
    saver = Saver(session, exe, put_logo(session))
    # (A fast build may already show the logo in the first screenshot of
    # the tiles; the order of the steps is the unit tests' to check.)
    saver.wait(tiles, CYCLE, "tiles")
    img = saver.wait(lambda i: logo(i) and address(i), CYCLE, "logo and address")
    check(img.pixel(120, 120) not in QUADRANTS.values() or img.pixel(121, 121) not in
          QUADRANTS.values(), "the logo reaches beyond its 120 pixels")
    saver.wait(black, CYCLE, "the black screen after the fade")
    first = saver.wait(tiles, CYCLE, "the next cycle's tiles")
    # Shapes are drawing once the centre of the screen has changed.
    centre = lambda i: [i.pixel(x, y) for x in range(W // 4, 3 * W // 4, 8)  # noqa: E731
                        for y in range(H // 4, 3 * H // 4, 8)]
    saver.wait(lambda i: centre(i) != centre(first) and not logo(i), CYCLE, "shapes drawing")
    latency = saver.end_by_move(-30)
    print(f"full cycle seen; ended {latency:.3f} s after a sideways move while shapes drew")


def case_sideways_in_hold(session, exe):
    """One pixel sideways during the closing hold ends the saver (how soon
    is the performance report's figure)."""
    saver = Saver(session, exe, put_logo(session))
    saver.wait(logo, CYCLE, "the logo (the closing hold)")
    latency = saver.end_by_move(1)
    print(f"ended {latency:.3f} s after a 1-pixel sideways move in the hold")


def case_vertical_then_key(session, exe):
    """Up and down does not end the saver; a key does, once the fade is over."""
    saver = Saver(session, exe, put_logo(session))
    saver.wait(tiles, CYCLE, "tiles")
    x, y = session.mouse_position()
    for dy in (200, -150, 300, -300):
        session.mouse_move(x, max(0, min(H - 1, y + dy)))
    # Checks run through the shapes and the hold; the saver must survive them
    # all and start the next cycle.
    saver.wait(logo, CYCLE, "the logo after vertical moves")
    saver.wait(black, CYCLE, "the black screen after vertical moves")
    # The next cycle's tiles (on a fast machine its logo may already be there).
    saver.wait(tiles, CYCLE, "the next cycle after vertical moves")
    session.key("space")
    # The key waits in the queue until the cycle's end: the saver still shows
    # this cycle's logo and its fade, and ends only after that (a screenshot
    # counts only while the saver still runs).
    saver.wait(lambda i: logo(i) or black(i), CYCLE, "the logo or the fade after the key")
    session.end_with_key(saver.p, "space", CYCLE)
    print("survived vertical moves; a key ended it after the cycle")


# Pictures that must give a running saver without any part of a logo: the
# settings line itself (str), or a file in drive C: its bytes (made from the
# whole test logo's), or what makes it at a path.
def bad_pictures(whole, linux):
    pixels_at = struct.unpack_from("<I", whole, 10)[0]
    sized = lambda w, h: whole[:18] + struct.pack("<ii", w, h) + whole[26:]  # noqa: E731
    table = {
        "empty setting": "", "missing": "C:\\nowhere\\nothing.bmp",
        "not a bitmap": b"this is text, not a bitmap\r\n",
        "cut in the pixels": whole[:pixels_at + 360 * 60 + 17],  # rows of 360 bytes
        "cut in the header": whole[:30], "file header only": whole[:14], "empty file": b"",
        "30000 x 30000 in its header": sized(30000, 30000),
        "taller in its header than its pixels": sized(120, 240),
        # Paths that name no file on a disk must not hold the saver before
        # its first drawing.
        "a folder": lambda path: os.makedirs(path, exist_ok=True),
    }
    table.update({"a FIFO": os.mkfifo, "a device": "/dev/zero"} if linux else
                 {"the NUL device": "NUL", "the console": "CON"})
    return table


def run_bad_pictures(session, exe):
    """Each bad picture, then the whole test logo, seen by the same check."""
    whole = make_test_logo(os.path.join(session.drive_c(), "whole.bmp"))
    table = bad_pictures(whole, not isinstance(session, WineSession))
    for i, (name, make) in enumerate(table.items()):
        if not isinstance(make, str):
            path = pathlib.Path(session.drive_c(), f"bad{i}.bmp")
            if callable(make):
                make(path)
            else:
                path.write_bytes(make)
            table[name] = f"C:\\bad{i}.bmp"
    table["the whole logo"] = "C:\\whole.bmp"
    for name, line in table.items():
        saver = Saver(session, exe, line)
        traces = saver.logo_traces_to_fade(name)
        check(traces > 0 if name == "the whole logo" else traces == 0,
              f"{name}: {traces} pixels of the logo drawn")
        saver.end_by_move(10, what=f"{name}: ")
        print(f"{name}: the saver ran through the logo step and ended on a move")


def case_bad_pictures(session, exe, linux_exe):
    """Bad pictures under Wine, then on Linux with the Linux build."""
    run_bad_pictures(session, exe)
    with LinuxSession() as linux:
        run_bad_pictures(linux, linux_exe)


def case_bad_settings(session, exe):
    """A settings file that is a folder, then one of a single 10 MB line: the
    saver runs through the logo step without a logo and ends on a move with
    code 0; the folder or the file is left as it was."""
    ini = os.path.join(session.windows_folder(), "brlscsav.ini")

    def clear():
        shutil.rmtree(ini, ignore_errors=True)
        session.remove_windows_file("brlscsav.ini")

    faults = (("settings file that is a folder", lambda: os.makedirs(os.path.join(ini, "inside")),
               lambda: os.path.isdir(os.path.join(ini, "inside"))),
              ("10 MB one-line settings file",
               lambda: pathlib.Path(ini).write_bytes(b"x" * (10 << 20)), lambda: os.path.getsize(ini) == 10 << 20))
    try:
        for what, make, unchanged in faults:
            clear()
            make()
            saver = Saver(session, exe, keep_settings=True)
            traces = saver.logo_traces_to_fade(what)
            check(traces == 0, f"{what}: {traces} pixels of the logo were drawn")
            saver.end_by_move(10, what=f"{what}: ")
            check(unchanged(), f"{what}: changed by the saver")
            print(f"{what}: no logo; ended on a move with code 0")
    finally:
        clear()  # the prefix's next saver writes its own


def monitors(session, second_on=True):
    """The primary's and the second's size, their boxes, and the xrandr
    arguments that switch the second on or off (it is switched so now)."""
    (w, h), (w2, h2) = (session.monitor_width, session.height), session.second
    on = ("--fb", f"{w + w2}x{h}", "--output", "DUMMY1", "--mode", f"{w2}x{h2}", "--pos", f"{w}x0")
    off = ("--output", "DUMMY1", "--off", "--fb", f"{w}x{h}")
    if not second_on:
        session.xrandr(*off)
        check(session.monitor_count() == 1, "the second monitor is still on")
        # On the primary in every layout: no change moves it.
        session.mouse_move(w // 4, h // 4)
    return w, h, w2, h2, (0, 0, w, h), (w, 0, w + w2, h2), on, off


def far_corner(width, height):
    """Something drawn in the bottom right corner of a screen of that size:
    tiles laid at a smaller size (whole tiles, a little past its edges)
    leave it black."""
    return lambda i: lit(i, (width - 60, height - 60, width, height))


def case_two_monitors(session, exe):
    """The primary monitor shows the drawing to its far corner, the other one,
    of another size, is black without the cursor; a sideways move ends the
    saver and takes every window away."""
    w, h, w2, h2, primary, other, _, _ = monitors(session)
    check(session.screenshot().colours(*other, step=8) == {GREY}, "the second monitor is not grey")
    # The pointer waits on the second monitor, so its moves are sideways moves.
    session.mouse_move(w + w2 // 2, h2 // 2)
    saver = Saver(session, exe)

    # A canvas sized by the cover window would leave the primary's far
    # corner black (a smaller cover) or push the address below its edge.
    img = saver.wait(lambda i: tiles(i, primary) and far_corner(w, h)(i) and
                     black(i, other, step=4), CYCLE,
                     "tiles to the primary's far corner, black on the other")
    img.save(os.path.abspath("two_monitors.png"))
    saver.wait(lambda i: address(i.crop(0, 0, w, h)) and black(i, other, step=4), CYCLE,
               "the address at the primary's bottom, black on the other")
    check(not session.cursor_visible(), "the cursor shows over the second monitor")
    latency = saver.end_by_move(-50)
    session.wait_screen(lambda i: i.colours(*other, step=8) == {GREY}, 30,
                        "the second monitor uncovered")
    check(session.cursor_visible(), "the cursor is still hidden after the end")
    print(f"primary drawn, second monitor black; ended {latency:.3f} s after a sideways move")


def case_display_change(session, exe):
    """A monitor of another size switched on while the saver runs is covered
    and leaves the next cycle's drawing the primary's size, one switched off
    leaves nothing behind, and a primary that grows is filled by the next
    cycle's drawing; a sideways move still ends the saver."""
    w, h, w2, h2, primary, second, on, off = monitors(session, second_on=False)
    saver = Saver(session, exe)

    def covered(width, height, *monitors):
        """The screen's size, and no grey (the desktop) on its monitors."""
        def shown(img):
            return (img.width, img.height) == (width, height) and all(
                GREY not in img.colours(*m, step=4) for m in monitors or [(0, 0, width, height)])
        return shown

    saver.wait(lambda i: covered(w, h)(i) and tiles(i), CYCLE, "tiles on the one monitor")
    steps = [
        ("a second monitor switched on", on,
         lambda i: covered(w + w2, h, primary, second)(i) and black(i, second, step=4)),
        ("the second monitor switched off", off, covered(w, h)),
        ("the primary at a larger mode",
         ("--fb", f"{LARGE_W}x{LARGE_H}", "--output", "DUMMY0", "--mode", f"{LARGE_W}x{LARGE_H}"),
         covered(LARGE_W, LARGE_H)),
    ]
    for n, (what, args, shown) in enumerate(steps):
        session.xrandr(*args)
        saver.wait(shown, CYCLE, f"no desktop after {what}")
        print(f"{what}: no desktop shown")
        if n == 0:
            # The new cover's size must not become the canvas's.
            saver.wait(lambda i: black(i, primary), CYCLE, "the fade over the whole primary")
            saver.wait(lambda i: shown(i) and tiles(i, primary) and far_corner(w, h)(i), CYCLE,
                       "the next cycle's tiles over the whole primary")

    saver.wait(lambda i: covered(LARGE_W, LARGE_H)(i) and far_corner(LARGE_W, LARGE_H)(i),
               2 * CYCLE, "a drawing over the whole larger primary")
    latency = saver.end_by_move(40)
    session.wait_screen(lambda i: i.colours(step=8) == {GREY}, 30, "the desktop uncovered")
    print(f"the larger primary drawn over; ended {latency:.3f} s after a sideways move")


def case_display_change_after_foreground(session, exe):
    """Once another program has taken the foreground the saver's windows stay
    hidden until it ends: a monitor switched on meanwhile gets no black cover."""
    w, h, w2, h2, _, second, on, _ = monitors(session, second_on=False)
    # The tall logo's reveal keeps the saver running (and following the
    # monitors) for longer than the checks below take.
    saver = Saver(session, exe, put_tall_logo(session))
    saver.wait(tiles, CYCLE, "tiles")
    probe = session.start(os.path.join(os.path.dirname(exe), "brenlow_probe.exe"), "foreground")
    saver.wait(lambda i: GREY in i.colours(step=8), CYCLE, "the desktop after the foreground loss")
    session.xrandr(*on)
    # The monitors are looked at four times a second: three seconds of
    # screenshots, each taken while the saver still ran.
    changed, shots = time.monotonic(), 0
    while time.monotonic() - changed < 3:
        img = saver.wait(lambda i: (i.width, i.height) == (w + w2, h), CYCLE, "the new monitor")
        check(GREY in img.colours(*second, step=8), "a black cover over the new monitor")
        shots += 1
    saver.end_by_move(40)
    check(session.wait_exit(probe, CYCLE) == 0, "the probe saw the saver window stay")
    print(f"{shots} screenshots in 3 s: the new monitor stayed uncovered")


# The cases on two monitors: the primary, a smaller second at its right,
# and the primary's other mode in display_change.
LARGE_W, LARGE_H = 800, 600
TWO_MONITORS = {"width": 640, "height": 480, "monitors": 2, "second": (512, 384)}
SESSIONS = {"two_monitors": TWO_MONITORS,
            "display_change": dict(TWO_MONITORS, modes=[(LARGE_W, LARGE_H)]),
            "display_change_after_foreground": dict(TWO_MONITORS, modes=[(LARGE_W, LARGE_H)])}


def session_for(case, make=functools.partial(WineSession, PREFIX)):
    return make(**SESSIONS.get(case, {}))


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: session_for(sys.argv[1])))
