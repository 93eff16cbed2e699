"""A private X server for a test, the programs on it, screenshots, the
pointer and keys. Every click or key is sent again until its effect is seen
(until()): a new window may not take input yet, and a busy machine may lose
an event. A reaper kills what the session started if the test dies."""

import contextlib
import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import time

import PIL.Image
import Xlib.display
import Xlib.X

from harness import Timeout, check, poll, safely, tool
from images import Image
from reaper import Reaper

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768

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


def _modeline(w, h):
    return (f'  Modeline "{w}x{h}" 25.175 {w} {w + 16} {w + 112} {w + 160} '
            f'{h} {h + 10} {h + 12} {h + 45} -hsync -vsync')


class XConnection:
    """Xlib in this process: the cursor's image, and a pointer move or a pixel
    without a program's start-up in its latency."""

    def __init__(self, display):
        self.display = Xlib.display.Display(display)
        self.root = self.display.screen().root

    def close(self):
        self.display.close()

    def move(self, x, y):
        self.root.warp_pointer(x, y)
        self.display.sync()

    def pixel(self, x, y):
        """0xRRGGBB."""
        blue, green, red = self.root.get_image(x, y, 1, 1, Xlib.X.ZPixmap, 0xFFFFFFFF).data[:3]
        return red << 16 | green << 8 | blue

    def screenshot(self):
        size = self.root.get_geometry()
        raw = self.root.get_image(0, 0, size.width, size.height, Xlib.X.ZPixmap, 0xFFFFFFFF)
        return Image(PIL.Image.frombytes("RGB", (size.width, size.height), raw.data, "raw", "BGRX"))

    def cursor_visible(self):
        if not self.display.has_extension("XFIXES"):
            raise RuntimeError("the X server has no XFixes")
        self.display.xfixes_query_version()
        # ARGB pixels: any alpha shows.
        return any(p >> 24 for p in self.display.xfixes_get_cursor_image(self.root).cursor_image)


class XSession:
    """Xvfb; with monitors=2, Xorg with the primary of width x height on the
    left, the other of the size `second` (never taller) on its right, and
    further modes for xrandr() to switch to."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, keep_log=None, monitors=1,
                 modes=(), second=None):
        self.monitors = monitors
        self.modes = list(modes)
        self.monitor_width = width
        self.second = second or (width, height)
        self.width = width + self.second[0] if monitors == 2 else width
        self.height = height
        self.xvfb = self.display = self.reaper = None
        self.processes = []
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
        self.reaper.tell("xserver", self.xvfb.pid)
        with os.fdopen(read_fd, "rb") as r:
            number = r.readline().strip()
        if not number:
            raise RuntimeError(f"{command[0]} did not report a display")
        self.display = ":" + number.decode()
        if self.monitors == 2:
            self.place_monitors()

    def xrandr(self, *args):
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
        safely(self.stop_programs, self.stop_services, self.remove_logs, self.stop_xvfb,
               self.stop_reaper)

    def stop_programs(self):
        for p in self.processes:
            if p.poll() is None:  # a reaped pid may be someone else's now
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(p.pid, signal.SIGKILL)
        for p in self.processes:
            with contextlib.suppress(subprocess.TimeoutExpired):
                p.wait(timeout=30)
        self.processes = []

    def stop_services(self):  # what the programs started besides themselves
        pass

    def remove_logs(self):
        if self.remove_log_dir:
            shutil.rmtree(self.log_dir, ignore_errors=True)

    def stop_xvfb(self):
        if self.xvfb:
            self.xvfb.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.xvfb.wait(timeout=10)
            self.xvfb.kill()
            self.xvfb.wait(timeout=10)
            self.xvfb = None

    def stop_reaper(self):
        if self.reaper:
            self.reaper.finish()
            self.reaper = None

    # --- the programs' files ---------------------------------------------------

    def windows_folder(self):
        raise NotImplementedError

    def write_windows_file(self, name, content):
        pathlib.Path(self.windows_folder(), name).write_text(content, newline="")

    def remove_windows_file(self, name):
        pathlib.Path(self.windows_folder(), name).unlink(missing_ok=True)

    # --- programs ----------------------------------------------------------------

    def command(self, program, *args):
        return [program, *args]

    def default_cwd(self, program):
        return os.path.dirname(program) or None

    def start(self, program, *args, cwd=None, env=None, stdout=None, **popen):
        """A program in a process group of its own, with the session's
        environment changed by env (None removes a variable), its output
        (both streams) in the session's log unless stdout is given; popen: more
        of Popen's arguments."""
        env = {k: v for k, v in {**self.env(), **(env or {})}.items() if v is not None}
        log_path = os.path.join(self.log_dir, f"run{len(self.processes)}.log")
        with open(log_path, "wb") if stdout is None else contextlib.nullcontext(stdout) as out:
            p = subprocess.Popen(self.command(program, *args),
                                 cwd=cwd or self.default_cwd(program), env=env,
                                 stdout=out, stderr=subprocess.STDOUT if stdout is None else None,
                                 start_new_session=True, **popen)
        p.log_path = log_path
        self.processes.append(p)
        self.reaper.tell("group", p.pid)
        return p

    def finished(self, program, *args, timeout=120, code=0, **start):
        """Runs a program to its end; its output, checked to end with code."""
        p = self.start(program, *args, **start)
        self.wait_exit(p, timeout)
        out = self.output(p)
        check(p.returncode == code, f"{' '.join([os.path.basename(program), *args])}: exit code "
              f"{p.returncode}, not {code}:\n{out}")
        return out

    def output(self, process):
        return pathlib.Path(process.log_path).read_bytes().decode(errors="replace")

    def wait_exit(self, process, timeout):
        """The exit code, polled often: the call returns close to the program's end."""
        poll(lambda: process.poll() is not None, timeout, 0.002, "the program's end")
        return process.returncode

    def terminate(self, process):
        """The ms from SIGTERM until the process was seen gone."""
        os.kill(process.pid, signal.SIGTERM)
        sent = time.monotonic()
        self.wait_exit(process, 30)
        return 1000 * (time.monotonic() - sent)

    # --- X11 -------------------------------------------------------------------------

    def xdotool(self, *args, check=True):
        r = subprocess.run([tool("xdotool"), *args], env=self.env(), capture_output=True,
                           text=True, timeout=30)
        if check and r.returncode != 0 and args[0] != "search":
            raise RuntimeError(f"xdotool {' '.join(args)}: {r.stderr.strip()}")
        return r.stdout

    def find_windows(self, name):  # a regex
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", name).split()]

    def wait_window(self, name, timeout=60):
        return poll(lambda: self.find_windows(name), timeout, 0.1, f"window {name!r}")[0]

    def _shell(self, command, *args, keys="XY"):
        v = dict(line.split("=", 1) for line in self.xdotool(command, "--shell", *args).split())
        return tuple(int(v[k]) for k in keys)

    def geometry(self, window):
        return self._shell("getwindowgeometry", str(window), keys=("X", "Y", "WIDTH", "HEIGHT"))

    def mouse_move(self, x, y):
        self.xdotool("mousemove", "--", str(x), str(y))

    def mouse_position(self):
        return self._shell("getmouselocation")

    def key(self, *keys):
        self.xdotool("key", *keys)

    def until(self, send, seen, timeout=60, what="the input's effect", interval=0.05, every=4):
        """Calls send() again after `every` seconds, then twice as long, until
        seen() (polled every `interval` s) is truthy; returns that."""
        deadline = time.monotonic() + timeout
        while True:
            send()
            wait = max(0.05, min(every, deadline - time.monotonic()))
            try:
                return poll(seen, wait, interval, what)
            except Timeout:
                if time.monotonic() >= deadline:
                    raise Timeout(f"timed out after {timeout} s waiting for {what}") from None
            every *= 2

    def click_until(self, x, y, seen, timeout=60, what="the click's effect", double=False):
        def click():
            self.mouse_move(x, y)
            self.xdotool("click", *(["--repeat", "2", "--delay", "80"] if double else []), "1")
        return self.until(click, seen, timeout, what)

    def key_until(self, keys, seen, timeout=60, what="the keys' effect"):
        # Keys are sent again later than clicks: a slow repaint must not
        # have a sequence of them applied twice.
        return self.until(lambda: self.key(*keys), seen, timeout, what, every=10)

    def while_running(self, process, seen, timeout, what, interval=0.05):
        """seen()'s first truthy value, each one seen while the process still ran."""
        def running_and_seen():
            value = seen()
            check(process.poll() is None, f"ended with code {process.returncode} before {what}")
            return value
        return poll(running_and_seen, timeout, interval, what)

    def exited(self, process):
        return lambda: process.poll() is not None

    def shows(self, predicate):
        """A screenshot on which predicate holds, else None."""
        return lambda: (lambda img: predicate(img) and img)(self.screenshot())

    def settled(self, box, timeout=60):
        """The box's pixels once two screenshots in a row show the same there."""
        last = [None]

        def same():
            now = self.screenshot().crop(*box).data
            was, last[0] = last[0], now
            return now == was
        poll(same, timeout, 0.2, f"the screen settled in {box}")
        return last[0]

    def changed(self, box):
        """Whether the box shows something else than once it has settled now."""
        before = self.settled(box)
        return lambda: self.screenshot().crop(*box).data != before

    def end_with_key(self, process, key, timeout=60, code=0):
        """key until the program has ended, which it must with code."""
        self.key_until([key], self.exited(process), timeout, f"the end after {key}")
        check(process.returncode == code, f"exit code {process.returncode} after {key}, not "
              f"{code}: {self.output(process)!r}")

    def close_until_exit(self, window, process, timeout=60):
        """Alt+F4 (WM_CLOSE) to a window until its program has ended; the exit code."""
        def close():
            self.xdotool("windowactivate", "--sync", str(window), check=False)
            self.xdotool("windowfocus", "--sync", str(window), check=False)
            self.xdotool("key", "--window", str(window), "alt+F4", check=False)
        self.until(close, self.exited(process), timeout, "the program's end after closing")
        return process.returncode

    def screenshot(self, save_as=None):
        image = self.capture()
        if save_as:
            image.save(save_as)
        return image

    def capture(self):
        with contextlib.closing(self.connect()) as x:
            return x.screenshot()

    def wait_screen(self, predicate, timeout, what="screen"):
        return poll(self.shows(predicate), timeout, 0.05, what)

    def connect(self):
        return XConnection(self.display)

    def cursor_visible(self):  # a screenshot leaves the cursor out
        with contextlib.closing(self.connect()) as x:
            return x.cursor_visible()
