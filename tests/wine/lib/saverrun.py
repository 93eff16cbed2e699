"""What the end-to-end harnesses share on top of winehelp's sessions: check(),
the /proc readers, the screen predicates, the four-coloured test logo and
one saver run (Saver: started, first drawing, ended by a sideways move)."""

import os
import subprocess
import time

import winehelp

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
# The root of winehelp's two-monitor server: what an uncovered monitor shows.
GREY = (128, 128, 128)

# Generous limits: the machine is shared and Wine is slow to start.
START = 90
CYCLE = 120


def check(condition, message):
    """A check that stays under python -O (a bare assert does not)."""
    if not condition:
        raise AssertionError(message)


# --- /proc ------------------------------------------------------------------

def proc_status(pid, field):
    """A /proc/PID/status field's number (VmRSS in kB, Threads), -1 if absent."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1


def fd_count(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def cpu_seconds(pid):
    """CPU time of every thread of a process so far (the kernel's run time,
    not its ticks); None once the process is gone."""
    try:
        total = 0
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        return total / 1e9
    except (FileNotFoundError, ProcessLookupError):
        return None


def marked_processes(mark, exe=None):
    """{pid: command line} of the live processes whose environment holds
    mark ("NAME=value"), and that run exe if given."""
    found = {}
    for name in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{name}/environ", "rb") as f:
                if mark.encode() not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{name}/stat") as f:
                if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue  # ended, waiting for its parent
            if exe and os.readlink(f"/proc/{name}/exe") != exe:
                continue
            with open(f"/proc/{name}/cmdline", "rb") as f:
                found[int(name)] = " ".join(f.read().decode(errors="replace").split("\0"))
        except OSError:
            continue  # gone meanwhile, or not ours to read
    return found


# --- the test logo ----------------------------------------------------------

# 120 x 120 in four flat quadrants, copied unscaled to the top left corner.
# Its last row shows once the reveal is complete. No drawing of the saver's
# own has these colours: its shapes and tiles never have a channel at 0
# next to one at 255.
LOGO_SIDE = 120
QUADRANTS = {(0, 0): (255, 0, 0), (30, 30): (255, 0, 0), (90, 30): (0, 255, 0),
             (119, 0): (0, 255, 0), (30, 90): (0, 0, 255), (0, 119): (0, 0, 255),
             (90, 90): (255, 255, 0), (119, 119): (255, 255, 0)}
LOGO_COLOURS = frozenset(QUADRANTS.values())


def make_test_logo(path):
    """Writes the test logo as a 24-bit Windows bitmap; returns its bytes."""
    half = LOGO_SIDE // 2
    subprocess.run([winehelp.tool("convert"), "-size", f"{half}x{half}", "xc:red", "xc:lime",
                    "+append", "(", "-size", f"{half}x{half}", "xc:blue", "xc:yellow", "+append",
                    ")", "-append", "BMP3:" + path], check=True, timeout=60)
    with open(path, "rb") as f:
        return f.read()


def put_logo(session, name="quad.bmp"):
    """The test logo in the session's drive C; returns its settings line."""
    make_test_logo(os.path.join(session.drive_c(), name))
    return "C:\\" + name


# --- screen predicates ------------------------------------------------------
# box is (left, top, right, bottom); None is the whole screenshot.

def _box(img, box):
    return box or (0, 0, img.width, img.height)


def tiles(img, box=None):
    """The canvas fill: many colours, none of the box's quarters black."""
    left, top, right, bottom = _box(img, box)
    if len(img.colours(left, top, right, bottom, step=8) - {BLACK}) < 20:
        return False
    mx, my = (left + right) // 2, (top + bottom) // 2
    for q in ((left, top, mx, my), (mx, top, right, my), (left, my, mx, bottom),
              (mx, my, right, bottom)):
        samples = len(range(q[0], q[2], 8)) * len(range(q[1], q[3], 8))
        if img.count(lambda p: p != BLACK, *q, step=8) * 8 <= samples:
            return False
    return True


def black(img, box=None, step=8):
    return img.colours(*_box(img, box), step=step) == {BLACK}


def lit(img, box=None):
    """Something drawn: a pixel neither black nor an uncovered monitor's grey."""
    return bool(img.colours(*_box(img, box), step=4) - {BLACK, GREY})


def logo(img):
    """The whole test logo at the top left."""
    return all(img.pixel(x, y) == c for (x, y), c in QUADRANTS.items())


def logo_traces(img, box=None):
    """Pixels (every 2nd) in one of the test logo's colours: any part of it drawn."""
    return img.count(lambda p: p in LOGO_COLOURS, *_box(img, box), step=2)


def address(img):
    """White text in the bottom tenth of the screen, at the left."""
    w, h = img.width, img.height
    return img.count(lambda p: p == WHITE, 0, h - h // 10, w // 2, h) >= 20


def drawn_outside(img, box):
    """Pixels (every 4th) that are not black outside the box."""
    left, top, right, bottom = box
    return sum(1 for y in range(0, img.height, 4) for x in range(0, img.width, 4)
               if not (left <= x < right and top <= y < bottom) and img.pixel(x, y) != BLACK)


# --- one saver run ------------------------------------------------------------

class Saver:
    """The saver started as the system starts it (/S, in drive C), with its
    settings file written first unless keep_settings; returns once its
    window shows. A move is seen only after the saver has read its start
    position, so end_by_move() waits for its first drawing first."""

    def __init__(self, session, exe, picture="", shape="Cerchi", env=None, keep_settings=False,
                 cwd=None):
        self.s = session
        self.drawn = False
        if not keep_settings:
            session.write_windows_file("brlscsav.ini", f"{picture}\r\n{shape}\r\n")
        self.p = session.start(exe, "/S", cwd=cwd or session.drive_c(), env=env)

        def window():
            if not self.alive():
                raise AssertionError(f"saver ended (code {self.p.returncode}) before its window")
            return session.find_windows("^brenlow$")
        try:
            winehelp.poll(window, START, 0.1, "window '^brenlow$'")
        except winehelp.Timeout as e:
            # Says whether the saver hangs before its window or Wine never
            # started it.
            titles = session.xdotool("search", "--onlyvisible", "--name", ".").split()
            raise winehelp.Timeout(f"{e}; the saver is still running; {len(titles)} other "
                                   "visible windows") from None

    def alive(self):
        return self.p.poll() is None

    def wait(self, predicate, timeout, what):
        """Screenshots until predicate holds on one taken while the saver ran."""
        def check_shot(img):
            # Still running after the screenshot: the picture is the saver's.
            if not self.alive():
                raise AssertionError(f"saver ended (code {self.p.returncode}) before {what}")
            if lit(img):
                self.drawn = True
            return predicate(img)
        return self.s.wait_screen(check_shot, timeout, what)

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
        """Once the saver has drawn, moves the pointer dx pixels sideways (the
        other way at the screen's edge); checks it ends with code 0 and
        returns the seconds from the move to its end."""
        self.wait_drawn()
        x, y = self.s.mouse_position()
        to = x + dx if 0 <= x + dx < self.s.width else x - dx
        start = time.monotonic()
        self.s.mouse_move(to, y)
        winehelp.poll(lambda: not self.alive(), timeout, 0.002, f"{what}the end after a move")
        check(self.p.returncode == 0, f"{what}exit code {self.p.returncode} after a move")
        return time.monotonic() - start
