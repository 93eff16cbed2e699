"""One saver run as the screen-saver machinery starts it, on either system."""

import itertools
import os
import subprocess
import time

from harness import Timeout, check, tool
from images import address, black, lit, logo_traces, make_test_logo, tiles

# Generous limits: the machine is shared and Wine is slow to start.
START = 90
CYCLE = 120


def put_logo(session, name="quad.bmp"):
    make_test_logo(os.path.join(session.drive_c(), name))
    return "C:\\" + name


def put_tall_logo(session):
    """A logo 16,000 pixels high: many seconds of its reveal's band pauses."""
    subprocess.run([tool("convert"), "-size", "8x16000", "xc:lime",
                    "BMP3:" + os.path.join(session.drive_c(), "tall.bmp")], check=True, timeout=60)
    return "C:\\tall.bmp"


class Saver:
    """The saver started with /S in drive C, its settings written first
    unless keep_settings; made once its window shows."""

    def __init__(self, session, exe, picture="", shape="Cerchi", env=None, keep_settings=False,
                 cwd=None):
        self.s = session
        self.drawn = False
        if not keep_settings:
            session.write_windows_file("brlscsav.ini", f"{picture}\r\n{shape}\r\n")
        # Wine's own errors go to the saver's log too: a start that fails
        # says why.
        env = {"WINEDEBUG": "-all,err+all", **(env or {})}
        self.p = session.start(exe, "/S", cwd=cwd or session.drive_c(), env=env)

        try:
            session.while_running(self.p, lambda: session.find_windows("^brenlow$"), START,
                                  "window '^brenlow$'", 0.1)
        except Timeout as e:
            # Says whether the saver hangs before its window or Wine never
            # started it.
            titles = session.xdotool("search", "--onlyvisible", "--name", ".").split()
            raise Timeout(f"{e}; the saver is still running; {len(titles)} other "
                                   "visible windows") from None

    def alive(self):
        return self.p.poll() is None

    def wait(self, predicate, timeout, what):
        """A screenshot on which predicate holds, taken while the saver ran."""
        def check_shot(img):
            self.drawn = self.drawn or lit(img)
            return predicate(img)
        return self.s.while_running(self.p, self.s.shows(check_shot), timeout, what)

    def logo_traces_to_fade(self, what):
        """The most pixels in the test logo's colours on any screenshot from
        the address (the logo step) to the fade's black screen."""
        self.wait(tiles, CYCLE, f"{what}: tiles")
        self.wait(address, CYCLE, f"{what}: the address (the logo step)")
        seen = []
        self.wait(lambda i: seen.append(logo_traces(i)) or black(i), CYCLE,
                  f"{what}: the fade's black screen")
        return max(seen)

    def wait_drawn(self, timeout=CYCLE):
        if not self.drawn:
            self.wait(lit, timeout, "the saver's first drawing")

    def end_by_move(self, dx=10, timeout=60, what=""):
        """Moves the pointer dx pixels sideways (the other way at the screen's
        edge) until the saver ends with code 0; the seconds that took. A move
        counts only once the saver has read its start position: after its
        first drawing."""
        self.wait_drawn()
        x, y = self.s.mouse_position()
        if not 0 <= x + 2 * dx < self.s.width:
            dx = -dx
        offsets = itertools.cycle((dx, 2 * dx))
        start = time.monotonic()
        self.s.until(lambda: self.s.mouse_move(x + next(offsets), y),
                     lambda: not self.alive(), timeout, f"{what}the end after a move", 0.002)
        check(self.p.returncode == 0, f"{what}exit code {self.p.returncode} after a move")
        return time.monotonic() - start
