"""Shared harness for the end-to-end tests under wine64 and Xvfb.

Usage (from a test script run by CTest; see WineTest.cmake next to this file):

    import sys, os
    sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "lib"))
    import winehelp

    with winehelp.Session("saver") as s:          # own Xvfb + WINEPREFIX "saver"
        s.write_windows_file("brlscsav.ini", "C:\\x.bmp\r\nCerchi\r\n")
        p = s.start("/path/to/brenlow.scr", "/S", cwd="/tmp")
        w = s.wait_window("Impostazioni")         # xdotool search --name
        s.close_until_exit(w, p, timeout=60)      # Alt+F4 until the program ends
        img = s.screenshot()                      # Image: img.pixel(x, y) -> (r, g, b)
        s.mouse_move(500, 300); s.key("space")
        code = s.wait_exit(p, timeout=30)         # exit code, or raises Timeout

    winehelp.poll(lambda: ..., timeout=20)        # returns the first truthy value

Prefixes live under $BRENLOW_WINE_PREFIXES (default /tmp/brenlow-wine-<uid>)
and are made once with `wineboot -i`; a Session holds a lock on its prefix
until it ends, so sessions of one prefix run one after the other (also across
separate ctest runs; WineTest.cmake adds a RESOURCE_LOCK as well). Each Session
starts its own Xvfb on a free display (-displayfd) and, when it ends, kills
its programs, the prefix's wineserver and its Xvfb.
"""

import fcntl
import os
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768


class Timeout(AssertionError):
    pass


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


def wine_loader():
    for candidate in (shutil.which("wine64"), "/usr/lib/wine/wine64", shutil.which("wine")):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    raise RuntimeError("wine64 not found")


def prefix_root():
    return os.environ.get("BRENLOW_WINE_PREFIXES", f"/tmp/brenlow-wine-{os.getuid()}")


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

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(self.data)


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


class Session:
    def __init__(self, prefix_name, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, keep_log=None):
        self.prefix = os.path.join(prefix_root(), prefix_name)
        self.width, self.height = width, height
        self.loader = wine_loader()
        self.xvfb = None
        self.display = None
        self.processes = []
        # Programs' output; kept when a test fails (see __exit__).
        self.log_dir = keep_log or tempfile.mkdtemp(prefix="brenlow-wine-log-")
        self.remove_log_dir = keep_log is None

    # --- environment -----------------------------------------------------

    def env(self):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEARCH": "win64",
            # No Mono or Gecko install dialogs.
            "WINEDLLOVERRIDES": "mscoree=;mshtml=",
            "DISPLAY": self.display or "",
        })
        env.pop("WAYLAND_DISPLAY", None)
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

    # --- lifecycle -------------------------------------------------------

    def __enter__(self):
        try:
            self.start_xvfb()
            self.ensure_prefix()
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

    def start_xvfb(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as r:
            while not number.endswith(b"\n"):
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise RuntimeError("Xvfb did not report a display")
        self.display = ":" + number.decode().strip()

    def ensure_prefix(self):
        os.makedirs(prefix_root(), exist_ok=True)
        # One session at a time per prefix, across test runs too: sessions
        # on one wineserver share its cursor position and its programs.
        self.prefix_lock = open(self.prefix + ".lock", "w")
        fcntl.flock(self.prefix_lock, fcntl.LOCK_EX)
        self.holds_prefix = True
        ready = os.path.join(self.prefix, ".brenlow-ready-2")
        if not os.path.exists(ready):
            shutil.rmtree(self.prefix, ignore_errors=True)
            quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
            subprocess.run(["wineboot", "-i"], env=self.env(), check=True, timeout=300,
                           **quiet)
            # A crashing program ends instead of waiting behind Wine's
            # crash dialog.
            subprocess.run([self.loader, "reg", "add", "HKCU\\Software\\Wine\\WineDbg",
                            "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"],
                           env=self.env(), check=True, timeout=300, **quiet)
            subprocess.run(["wineserver", "-w"], env=self.env(), timeout=300)
            open(ready, "w").close()

    def close(self):
        for p in self.processes:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if getattr(self, "holds_prefix", False):
            subprocess.run(["wineserver", "-k"], env=self.env(), stderr=subprocess.DEVNULL,
                           timeout=60)
            # Gone before the next session of this prefix starts its own.
            subprocess.run(["wineserver", "-w"], env=self.env(), stderr=subprocess.DEVNULL,
                           timeout=60)
        for p in self.processes:
            try:
                p.wait(timeout=30)
            except subprocess.TimeoutExpired:
                pass
        if self.remove_log_dir:
            shutil.rmtree(self.log_dir, ignore_errors=True)
        if getattr(self, "prefix_lock", None):
            self.holds_prefix = False
            self.prefix_lock.close()
            self.prefix_lock = None
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None

    # --- programs --------------------------------------------------------

    def start(self, program, *args, cwd=None):
        """Starts a Windows program under wine64; returns its Popen."""
        log = open(os.path.join(self.log_dir, f"run{len(self.processes)}.log"), "wb")
        p = subprocess.Popen([self.loader, program, *args],
                             cwd=cwd or os.path.dirname(program) or None,
                             env=self.env(), stdout=log, stderr=subprocess.STDOUT,
                             start_new_session=True)
        log.close()  # the program holds its own copy
        self.processes.append(p)
        return p

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
        r = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True,
                           timeout=30)
        if check and r.returncode != 0 and args[0] != "search":
            raise RuntimeError(f"xdotool {' '.join(args)}: {r.stderr.strip()}")
        return r.stdout

    def find_windows(self, name):
        """Ids of visible X windows whose title matches name (a regex)."""
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", name).split()]

    def wait_window(self, name, timeout=60):
        return poll(lambda: self.find_windows(name), timeout, 0.1, f"window {name!r}")[0]

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
        self.xdotool("mousemove", str(x), str(y))

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
            ["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
            capture_output=True, check=True, timeout=60).stdout
        image = parse_ppm(blob)
        if save_as:
            image.save(save_as)
        return image

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
