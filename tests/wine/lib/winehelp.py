"""Shared harness for the end-to-end tests: a private X server, and Windows
programs under Wine in a WoW64 prefix (the i686 deliverable on Wine's 32-bit
side, the x86_64 build on wine64). saverrun.py next to it holds the saver
run, the screen predicates and check().

    def case_cycle(s, exe):                       # s: a Session
        p = s.start(exe, "/S", cwd=s.drive_c())   # the loader follows the PE header
        img = s.wait_screen(predicate, 60)        # img.pixel(x, y) -> (r, g, b)

    if __name__ == "__main__":
        sys.exit(winehelp.run_case(globals(), lambda: winehelp.Session("saver")))

run_case runs `case_<argv[1]>(session, *argv[2:])`, keeps a screenshot when
the case fails, and skips (code 77, one loud line) when a program the case
needs cannot run here (a 32-bit program on a 64-bit-only kernel).

Prefixes live under $BRENLOW_WINE_PREFIXES (default /tmp/brenlow-wine-<uid>),
made once with `wineboot -i`; a Session holds a lock on its prefix until it
ends. Nothing a session starts outlives it: its programs run in process
groups of their own, and a reaper process kills them, the prefix's
wineserver and the X server when the test process dies without cleaning up.
"""

import ctypes
import fcntl
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
SKIP = 77  # CTest's SKIP_RETURN_CODE for every test of these harnesses

LOADER32 = "/usr/lib/wine/wine"
LOADER64 = "/usr/lib/wine/wine64"


class Timeout(AssertionError):
    pass


class Skip(Exception):
    """The case cannot run on this machine; the reason is printed."""


def poll(condition, timeout, interval=0.02, what="condition"):
    """Calls condition() until it returns something truthy; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def tool(name, fallback=None):
    """The path of an external command, or an error naming what installs it."""
    path = shutil.which(name) or (fallback if fallback and os.access(fallback, os.X_OK) else None)
    if not path:
        raise RuntimeError(f"{name} not found: run ./dev setup")
    return path


# --- which Wine runs a program ---------------------------------------------

def pe_machine(path):
    """'i686' or 'x86_64' from a Windows program's PE header."""
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:2] != b"MZ" or len(head) < 64:
        raise ValueError(f"{path} is not a Windows program")
    pe = struct.unpack_from("<I", head, 0x3C)[0]
    if head[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} has no PE header")
    machine = struct.unpack_from("<H", head, pe + 4)[0]
    return {0x14C: "i686", 0x8664: "x86_64"}.get(machine, hex(machine))


def emulated_i386():
    """The binfmt_misc entry that hands i386 programs to an emulator, if any."""
    folder = "/proc/sys/fs/binfmt_misc"
    try:
        names = os.listdir(folder)
    except OSError:
        return None
    for name in names:
        try:
            with open(os.path.join(folder, name)) as f:
                text = f.read()
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in text.splitlines() if " " in line)
        magic = fields.get("magic", "")
        # ELF, 32-bit, little endian, ..., e_type 2, e_machine 3 (i386)
        if text.startswith("enabled") and magic.startswith("7f454c460101") and \
                magic[32:40] == "02000300":
            return fields.get("interpreter", name)
    return None


_win32_support = None


def win32_support():
    """(True, "") when 32-bit Windows programs can run here, else (False, why).
    Checked once per process by starting Wine's 32-bit loader."""
    global _win32_support
    if _win32_support is None:
        _win32_support = _check_win32()
    return _win32_support


def _check_win32():
    if not os.access(LOADER32, os.X_OK):
        return False, f"{LOADER32} is missing (Debian's wine32:i386; run ./dev setup)"
    emulator = emulated_i386()
    if emulator and os.environ.get("BRENLOW_WIN32_EMULATED") != "1":
        return False, (f"32-bit programs run here only through an emulator ({emulator}), "
                       "about a minute per program start; BRENLOW_WIN32_EMULATED=1 runs them")
    try:
        r = subprocess.run([LOADER32, "--version"], capture_output=True, text=True, timeout=120)
    except OSError as e:
        return False, f"this kernel does not run 32-bit programs ({e.strerror})"
    if r.returncode != 0:
        return False, f"Wine's 32-bit loader fails here: {(r.stderr or r.stdout).strip()}"
    return True, ""


def require_runnable(program):
    """Raises Skip when a Windows program cannot run on this machine."""
    if pe_machine(program) == "i686":
        ok, why = win32_support()
        if not ok:
            raise Skip(f"32-bit program {os.path.basename(program)} not run: {why}")


def loader_for(program):
    return LOADER32 if pe_machine(program) == "i686" else LOADER64


def prefix_root():
    return os.environ.get("BRENLOW_WINE_PREFIXES", f"/tmp/brenlow-wine-{os.getuid()}")


# --- screenshots -----------------------------------------------------------

class Image:
    """A screenshot: width, height and packed RGB bytes, top row first."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return (self.data[i], self.data[i + 1], self.data[i + 2])

    def region(self, left, top, right, bottom, step=1):
        """Pixels of [left, right) x [top, bottom), every step-th one."""
        for y in range(max(0, top), min(self.height, bottom), step):
            for x in range(max(0, left), min(self.width, right), step):
                yield self.pixel(x, y)

    def colours(self, left=0, top=0, right=None, bottom=None, step=1):
        """The set of distinct colours in a region."""
        right = self.width if right is None else right
        bottom = self.height if bottom is None else bottom
        return set(self.region(left, top, right, bottom, step))

    def count(self, predicate, left=0, top=0, right=None, bottom=None, step=1):
        right = self.width if right is None else right
        bottom = self.height if bottom is None else bottom
        return sum(1 for p in self.region(left, top, right, bottom, step) if predicate(p))

    def crop(self, left, top, width, height):
        rows = [self.data[((top + y) * self.width + left) * 3:
                          ((top + y) * self.width + left + width) * 3] for y in range(height)]
        return Image(width, height, b"".join(rows))

    def save(self, path):
        """PPM, or any format ImageMagick writes when the name says so."""
        ppm = b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data
        if path.endswith(".ppm"):
            with open(path, "wb") as f:
                f.write(ppm)
        else:
            subprocess.run([tool("convert"), "ppm:-", path], input=ppm, check=True, timeout=60)


def parse_ppm(blob):
    """Reads a binary PPM (P6, maxval 255)."""
    fields, pos = [], 0
    while len(fields) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        if blob[pos:pos + 1] == b"#":
            pos = blob.index(b"\n", pos) + 1
            continue
        end = pos
        while not blob[end:end + 1].isspace():
            end += 1
        fields.append(blob[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit P6 PPM")
    width, height = int(fields[1]), int(fields[2])
    pos += 1  # the single blank after maxval
    return Image(width, height, blob[pos:pos + width * height * 3])


def read_picture(path):
    """Any picture ImageMagick reads (PNG, BMP, ...) as an Image."""
    blob = subprocess.run([tool("convert"), path, "-depth", "8", "ppm:-"], check=True,
                          capture_output=True, timeout=60).stdout
    return parse_ppm(blob)


# --- the reaper --------------------------------------------------------------

# Runs beside a test: reads what the test started, one line each ("group N",
# "xserver N", "prefix PATH", "user NAME": an account the test made), and when the test's end of the pipe closes
# without a "done" line (the test was killed) kills all of it.
_REAPER = r"""
import os, signal, subprocess, sys, time
groups, servers, prefixes, users = [], [], [], []
done = False
for line in sys.stdin:
    kind, _, value = line.strip().partition(" ")
    if kind == "group": groups.append(int(value))
    elif kind == "xserver": servers.append(int(value))
    elif kind == "prefix": prefixes.append(value)
    elif kind == "user": users.append(value)
    elif kind == "done": done = True; break
if not done:
    for group in groups:
        try: os.killpg(group, signal.SIGKILL)
        except OSError: pass
    for prefix in prefixes:
        try:
            subprocess.run([sys.argv[1], "-k"], env=dict(os.environ, WINEPREFIX=prefix),
                           stderr=subprocess.DEVNULL, timeout=60)
        except Exception: pass
    for pid in servers:
        try: os.kill(pid, signal.SIGTERM)
        except OSError: pass
    time.sleep(0.5)
    for pid in servers:
        try: os.kill(pid, signal.SIGKILL)
        except OSError: pass
    for user in users:
        try: subprocess.run(["userdel", "--force", user], stderr=subprocess.DEVNULL, timeout=60)
        except Exception: pass
"""


class Reaper:
    def __init__(self):
        wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        # A session of its own: a signal sent to the test's group spares it.
        self.process = subprocess.Popen([sys.executable, "-c", _REAPER, wineserver],
                                        stdin=subprocess.PIPE, start_new_session=True, text=True)

    def tell(self, kind, value):
        if self.process and self.process.poll() is None:
            self.process.stdin.write(f"{kind} {value}\n")
            self.process.stdin.flush()

    def finish(self):
        """The test cleaned up itself: the reaper leaves without doing anything."""
        if self.process:
            try:
                self.tell("done", "")
                self.process.stdin.close()
                self.process.wait(timeout=30)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
            self.process = None


def _safely(*steps):
    """Runs every step, even when one raises; raises the first error at the end."""
    first = None
    for step in steps:
        try:
            step()
        except BaseException as e:  # noqa: B902 - clean-up must go on
            first = first or e
    if first:
        raise first


# --- sessions -----------------------------------------------------------------

# Two monitors side by side: Xvfb cannot place them (with +xinerama both heads
# sit at 0,0), Xorg's dummy driver with two RandR outputs can.
_TWO_MONITORS_CONF = """
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
{modelines}
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "{w}x{h}"
    Virtual {virtual_w} {virtual_h}
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
"""


class _CursorImage(ctypes.Structure):
    """XFixesCursorImage."""
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def _modeline(w, h):
    return (f'  Modeline "{w}x{h}" 25.175 {w} {w + 16} {w + 112} {w + 160} '
            f'{h} {h + 10} {h + 12} {h + 45} -hsync -vsync')


class XSession:
    """A private X server (Xvfb; with monitors=2, Xorg with two monitors side
    by side, the primary of width x height on the left, the other of the
    size `second` (by default the same, never taller), the root grey,
    and the further (width, height) modes for xrandr() to switch to) with
    screenshots, pointer and keys, and programs started on it that are
    killed, whatever happens, when the session ends."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, keep_log=None, monitors=1,
                 modes=(), second=None):
        self.monitors = monitors
        self.modes = list(modes)
        self.monitor_width = width
        self.second = second or (width, height)
        self.width = width + self.second[0] if monitors == 2 else width
        self.height = height
        self.xvfb = None
        self.display = None
        self.processes = []
        self.reaper = None
        # Programs' output; kept when a test fails (see __exit__).
        self.log_dir = keep_log or tempfile.mkdtemp(prefix="brenlow-log-")
        self.remove_log_dir = keep_log is None

    def env(self):
        env = dict(os.environ, DISPLAY=self.display or "")
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def __enter__(self):
        try:
            self.open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, exc_type, *exc):
        if exc_type is not None and self.remove_log_dir:
            self.remove_log_dir = False
            print(f"program output kept in {self.log_dir}")
        self.close()
        return False

    def open(self):
        self.reaper = Reaper()
        self.start_xvfb()

    def start_xvfb(self):
        read_fd, write_fd = os.pipe()
        if self.monitors == 1:
            command = [tool("Xvfb"), "-displayfd", str(write_fd), "-screen", "0",
                       f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"]
        else:
            w, h = self.monitor_width, self.height
            conf = os.path.join(self.log_dir, "xorg.conf")
            modes = list(dict.fromkeys([(w, h), *self.modes, self.second]))
            with open(conf, "w") as f:
                f.write(_TWO_MONITORS_CONF.format(
                    w=w, h=h, modelines="\n".join(_modeline(*m) for m in modes),
                    virtual_w=max([self.width] + [m[0] for m in modes]),
                    virtual_h=max(m[1] for m in modes)))
            command = [tool("Xorg"), "-displayfd", str(write_fd), "-config", conf, "-noreset",
                       "-nolisten", "tcp", "-logfile", os.path.join(self.log_dir, "xorg.log")]
        self.xvfb = subprocess.Popen(command, pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_fd)
        if self.reaper:
            self.reaper.tell("xserver", self.xvfb.pid)
        number = b""
        with os.fdopen(read_fd, "rb") as r:
            while not number.endswith(b"\n"):
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError(f"{command[0]} did not report a display")
        self.display = ":" + number.decode().strip()
        if self.monitors == 2:
            self.place_monitors()

    def xrandr(self, *args):
        """Runs xrandr on the session's server; returns what it printed."""
        return subprocess.run([tool("xrandr"), *args], env=self.env(), check=True, timeout=60,
                              capture_output=True, text=True).stdout

    def monitor_count(self):
        listed = self.xrandr("--listmonitors")
        return int(listed.split()[1]) if listed.startswith("Monitors:") else 0

    def place_monitors(self):
        w, h = self.monitor_width, self.height
        w2, h2 = self.second
        for output, modes in (("DUMMY0", self.modes),
                              ("DUMMY1", sorted({(w, h), (w2, h2), *self.modes}))):
            for mode in modes:
                self.xrandr("--addmode", output, f"{mode[0]}x{mode[1]}")
        self.xrandr("--fb", f"{self.width}x{h}", "--output", "DUMMY0", "--mode", f"{w}x{h}",
                    "--pos", "0x0", "--primary", "--output", "DUMMY1", "--mode", f"{w2}x{h2}",
                    "--pos", f"{w}x0")
        if self.monitor_count() != 2:
            raise RuntimeError(f"two monitors expected: {self.xrandr('--listmonitors')}")
        # The dummy driver ignores some frame-buffer sizes (1120x480, say).
        current = self.xrandr("-q").split("current ", 1)[1].split(",")[0]
        if current != f"{self.width} x {h}":
            raise RuntimeError(f"the screen stayed {current}, not {self.width} x {h}")
        # An uncovered monitor shows as grey in a screenshot.
        subprocess.run([tool("xsetroot"), "-solid", "#808080"], env=self.env(), check=True,
                       timeout=60)

    def close(self):
        _safely(self.stop_programs, self.stop_services, self.remove_logs, self.stop_xvfb,
                self.stop_reaper)

    def stop_programs(self):
        for p in self.processes:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for p in self.processes:
            try:
                p.wait(timeout=30)
            except subprocess.TimeoutExpired:
                pass
        self.processes = []

    def stop_services(self):
        """What the programs started besides themselves (a wineserver)."""

    def remove_logs(self):
        if self.remove_log_dir:
            shutil.rmtree(self.log_dir, ignore_errors=True)

    def stop_xvfb(self):
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait(timeout=10)
            self.xvfb = None

    def stop_reaper(self):
        if self.reaper:
            self.reaper.finish()
            self.reaper = None

    # --- programs --------------------------------------------------------

    def command(self, program, *args):
        """The command line that runs a program."""
        return [program, *args]

    def default_cwd(self, program):
        return os.path.dirname(program) or None

    def start(self, program, *args, cwd=None, env=None, stdout=None):
        """Starts a program in a process group of its own; returns its Popen.
        Its output goes to the session's log unless stdout is given."""
        log = None
        if stdout is None:
            log_path = os.path.join(self.log_dir, f"run{len(self.processes)}.log")
            log = open(log_path, "wb")
        try:
            p = subprocess.Popen(self.command(program, *args),
                                 cwd=cwd or self.default_cwd(program), env=env or self.env(),
                                 stdout=log or stdout,
                                 stderr=subprocess.STDOUT if log else None,
                                 start_new_session=True)
        finally:
            if log:
                log.close()  # the program holds its own copy
        self.processes.append(p)
        if log:
            p.log_path = log_path
        if self.reaper:
            self.reaper.tell("group", p.pid)
        return p

    def output(self, process):
        """What a program started without stdout= wrote so far (both streams)."""
        with open(process.log_path, "rb") as f:
            return f.read()

    def run(self, program, *args, cwd=None, timeout=60):
        """Runs a program to its end; returns its exit code."""
        return self.wait_exit(self.start(program, *args, cwd=cwd), timeout)

    def wait_exit(self, process, timeout):
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"program still running after {timeout} s")

    def exit_time(self, process, timeout, interval=0.002):
        """Polls until the process ends; returns the monotonic time it was seen gone."""
        poll(lambda: process.poll() is not None, timeout, interval, "process exit")
        return time.monotonic()

    # --- X11 -------------------------------------------------------------

    def xdotool(self, *args, check=True):
        r = subprocess.run([tool("xdotool"), *args], env=self.env(), capture_output=True,
                           text=True, timeout=30)
        if check and r.returncode != 0 and args[0] != "search":
            raise RuntimeError(f"xdotool {' '.join(args)}: {r.stderr.strip()}")
        return r.stdout

    def find_windows(self, name):
        """Ids of visible X windows whose title matches name (a regex)."""
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", name).split()]

    def wait_window(self, name, timeout=60):
        return poll(lambda: self.find_windows(name), timeout, 0.1, f"window {name!r}")[0]

    def geometry(self, window):
        """(x, y, width, height) of an X window."""
        out = self.xdotool("getwindowgeometry", "--shell", str(window))
        v = dict(line.split("=", 1) for line in out.split())
        return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])

    def close_window(self, window_id):
        """Asks a window to close as a user would (Alt+F4 gives it WM_CLOSE)."""
        self.xdotool("windowactivate", "--sync", str(window_id), check=False)
        self.xdotool("windowfocus", "--sync", str(window_id), check=False)
        self.xdotool("key", "--window", str(window_id), "alt+F4", check=False)

    def close_until_exit(self, window_id, process, timeout):
        """Closes a window until its program has ended (a window that has just
        appeared may not take keys yet); returns the exit code."""
        deadline = time.monotonic() + timeout
        while True:
            self.close_window(window_id)
            try:
                return process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                if time.monotonic() > deadline:
                    raise Timeout(f"program still running {timeout} s after closing its window")

    def mouse_move(self, x, y):
        self.xdotool("mousemove", "--", str(x), str(y))

    def mouse_position(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def key(self, *keys, window=None):
        args = ["key"]
        if window is not None:
            args += ["--window", str(window)]
        self.xdotool(*args, *keys)

    def screenshot(self, save_as=None):
        blob = subprocess.run(
            [tool("import"), "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
            capture_output=True, check=True, timeout=60).stdout
        image = parse_ppm(blob)
        if save_as:
            image.save(save_as)
        return image

    def cursor_visible(self):
        """Whether the cursor the X server shows now has a visible pixel (a
        screenshot leaves the cursor out; XFixes gives its image)."""
        x11, xfixes = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xfixes.XFixesQueryVersion.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_int)]
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        display = x11.XOpenDisplay(self.display.encode())
        if not display:
            raise RuntimeError(f"cannot open display {self.display}")
        try:
            major, minor = ctypes.c_int(2), ctypes.c_int(0)
            if not xfixes.XFixesQueryVersion(display, ctypes.byref(major), ctypes.byref(minor)):
                raise RuntimeError("the X server has no XFixes")
            image = xfixes.XFixesGetCursorImage(display)
            if not image:
                raise RuntimeError("XFixesGetCursorImage failed")
            c = image.contents
            # ARGB in the low 32 bits of each unsigned long.
            visible = any((c.pixels[i] >> 24) & 0xFF for i in range(c.width * c.height))
            x11.XFree(image)
            return visible
        finally:
            x11.XCloseDisplay(display)

    def wait_screen(self, predicate, timeout, what="screen"):
        """Takes screenshots until predicate(image) is truthy; returns that image."""
        found = []

        def check():
            image = self.screenshot()
            if predicate(image):
                found.append(image)
                return True
            return False

        poll(check, timeout, 0.05, what)
        return found[0]


class Session(XSession):
    """An XSession whose programs are Windows programs run by Wine in a
    WoW64 prefix of the given name."""

    def __init__(self, prefix_name, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, keep_log=None,
                 monitors=1, modes=(), second=None):
        super().__init__(width, height, keep_log, monitors, modes, second)
        self.prefix = os.path.join(prefix_root(), prefix_name)
        self.prefix_lock = None

    def env(self):
        env = super().env()
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEARCH": "win64",
            # No Mono or Gecko install dialogs.
            "WINEDLLOVERRIDES": "mscoree=;mshtml=",
        })
        return env

    def windows_folder(self):
        """The prefix's Windows folder on the Linux side (C:\\windows)."""
        return os.path.join(self.prefix, "drive_c", "windows")

    def drive_c(self):
        return os.path.join(self.prefix, "drive_c")

    def write_windows_file(self, name, content, mode="w"):
        path = os.path.join(self.windows_folder(), name)
        with open(path, mode + ("b" if isinstance(content, bytes) else ""),
                  **({} if isinstance(content, bytes) else {"newline": ""})) as f:
            f.write(content)
        return path

    def remove_windows_file(self, name):
        try:
            os.remove(os.path.join(self.windows_folder(), name))
        except FileNotFoundError:
            pass

    def open(self):
        super().open()
        self.ensure_prefix()

    def ensure_prefix(self):
        os.makedirs(prefix_root(), exist_ok=True)
        # One session at a time per prefix, across test runs too: sessions
        # on one wineserver share its cursor position and its programs.
        self.prefix_lock = open(self.prefix + ".lock", "w")
        fcntl.flock(self.prefix_lock, fcntl.LOCK_EX)
        self.reaper.tell("prefix", self.prefix)
        # A prefix made where 32-bit programs could not run has no 32-bit
        # side; it is made again once they can.
        wow64, _ = win32_support()
        ready = os.path.join(self.prefix, ".brenlow-ready-" + ("wow64" if wow64 else "win64"))
        if os.path.exists(ready):
            return
        shutil.rmtree(self.prefix, ignore_errors=True)
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        # Wine's 32-bit loader hands the 64-bit wineboot to wine64 and sets up
        # the 32-bit side (syswow64) as well.
        loader = LOADER32 if wow64 else LOADER64
        subprocess.run([loader, "wineboot", "-i"], env=self.env(), check=True, timeout=600,
                       **quiet)
        # A crashing program ends instead of waiting behind Wine's crash dialog.
        subprocess.run([LOADER64, "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v",
                        "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"],
                       env=self.env(), check=True, timeout=300, **quiet)
        subprocess.run([tool("wineserver", "/usr/lib/wine/wineserver"), "-w"], env=self.env(),
                       timeout=300)
        open(ready, "w").close()

    def stop_services(self):
        if self.prefix_lock:
            wineserver = tool("wineserver", "/usr/lib/wine/wineserver")
            try:
                subprocess.run([wineserver, "-k"], env=self.env(), stderr=subprocess.DEVNULL,
                               timeout=60)
                # Gone before the next session of this prefix starts its own.
                subprocess.run([wineserver, "-w"], env=self.env(), stderr=subprocess.DEVNULL,
                               timeout=60)
            finally:
                self.prefix_lock.close()
                self.prefix_lock = None

    def command(self, program, *args):
        if os.path.isfile(program):
            require_runnable(program)
            return [loader_for(program), program, *args]
        # A program of the prefix itself ("reg", "cmd").
        return [LOADER64, program, *args]


def run_case(cases, make_session, argv=None):
    """Runs cases["case_" + argv[1]](session, *argv[2:]) in a session made by
    make_session(); returns the exit code for sys.exit. A failing case
    leaves <case>-failure.png in the working folder; a case that cannot run
    here (a 32-bit program where none can run) is skipped with code 77."""
    argv = argv or sys.argv
    case = cases.get("case_" + argv[1]) if len(argv) > 1 else None
    if not case:
        names = sorted(n[5:] for n in cases if n.startswith("case_"))
        print(f"usage: {argv[0]} {'|'.join(names)} ARGS...", file=sys.stderr)
        return 2
    args = argv[2:]
    try:
        for arg in args:
            if arg.lower().endswith((".exe", ".scr")):
                if not os.path.exists(arg):
                    print(f"{arg} is missing: build its tree first", file=sys.stderr)
                    return 1
                require_runnable(arg)
        with make_session() as session:
            try:
                return case(session, *args) or 0
            except (AssertionError, RuntimeError):
                try:
                    session.screenshot(os.path.abspath(f"{argv[1]}-failure.png"))
                except Exception as e:  # the screenshot is a help, not the verdict
                    print(f"no failure screenshot: {e}")
                raise
    except Skip as why:
        print(f"SKIPPED: {why}", flush=True)
        return SKIP
