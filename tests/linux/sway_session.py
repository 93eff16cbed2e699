"""Headless sway 1.7 for a test, with Xwayland: the session of
linux_session.py on a Wayland desktop. Screenshots come from grim, keys
from wtype, the pointer from brenlow-virtual-pointer (a headless
compositor has none); `swaymsg create_output` adds a monitor. sway
refuses root: it runs as an account of the tests' own, and lets root's
programs on its Xwayland once that answers."""

import contextlib
import glob
import io
import json
import os
import pwd
import re
import subprocess

import PIL.Image

from harness import check, poll, tool
from images import Image
from linux_session import LinuxSession
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH

# Made when missing and kept, so that tests running side by side share it.
USER = "brenlow-test"
# The monitor `swaymsg create_output` adds, right of the first.
SECOND = (640, 480)
CONFIG = """xwayland enable
swaybg_command -
output HEADLESS-1 resolution {w}x{h} position 0 0
output HEADLESS-2 resolution {w2}x{h2} position {w} 0
exec sh -c 'xhost +si:localuser:root && printenv DISPLAY > {runtime}/display'
"""


def test_user():
    if os.getuid() != 0:
        return None
    try:
        pwd.getpwnam(USER)
    except KeyError:
        subprocess.run([tool("useradd"), "--system", "--no-create-home", "--home-dir",
                        "/nonexistent", "--shell", "/usr/sbin/nologin", USER], timeout=60)
        pwd.getpwnam(USER)  # made here or, just now, by a test beside this one
    return USER


def as_user(user):
    """Popen's arguments that run a program as user (None: as we are)."""
    if not user:
        return {}
    pw = pwd.getpwnam(user)
    return {"user": pw.pw_uid, "group": pw.pw_gid, "extra_groups": []}


def own(path, user):
    if user:
        pw = pwd.getpwnam(user)
        os.chown(path, pw.pw_uid, pw.pw_gid)


class SwaySession(LinuxSession):
    """Programs get WAYLAND_DISPLAY, and DISPLAY too with x11=True (as in
    GNOME and KDE Plasma sessions); SDL_VIDEODRIVER when driver is given."""

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, x11=False, pointer=None,
                 driver=None):
        super().__init__(width, height)
        self.x11, self.pointer_program, self.pointer = x11, pointer, None
        self.driver = driver
        self.user = test_user()
        self.runtime = os.path.join(self.home, "runtime")
        self.position = (0, 0)

    def base_env(self):
        # Not the caller's DISPLAY or WAYLAND_DISPLAY: sway would nest in them.
        env = {k: os.environ[k] for k in ("PATH", "BRENLOW_TEST_RUN") if k in os.environ}
        return dict(env, HOME=self.home, XDG_RUNTIME_DIR=self.runtime, LANG="C.UTF-8")

    def env(self):
        env = dict(super().env(), **self.base_env(), WAYLAND_DISPLAY=self.wayland)
        env.pop("SDL_VIDEODRIVER")  # SDL chooses, as on a desktop
        if self.driver:
            env["SDL_VIDEODRIVER"] = self.driver
        if not self.x11:
            env.pop("DISPLAY")
        return env

    def start_xvfb(self):
        os.chmod(self.home, 0o755)  # sway's account reads its configuration there
        os.mkdir(self.runtime, 0o700)
        own(self.runtime, self.user)
        config = os.path.join(self.home, "sway.conf")
        with open(config, "w") as f:
            f.write(CONFIG.format(w=self.width, h=self.height, w2=SECOND[0], h2=SECOND[1],
                                  runtime=self.runtime))
        with open(os.path.join(self.log_dir, "sway.log"), "wb") as log:
            self.xvfb = subprocess.Popen(
                # No direct scan-out: a headless output then shows the
                # client's buffer itself, and screenshots of it taken while
                # it does show the output's last composited frame instead.
                # On real monitors shared-memory buffers are composited.
                [tool("sway"), "-D", "noscanout", "-c", config], stdout=log, stderr=subprocess.STDOUT,
                env=dict(self.base_env(), WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                         WLR_LIBINPUT_NO_DEVICES="1"),
                cwd=self.home, start_new_session=True, **as_user(self.user))
        self.reaper.tell("group", self.xvfb.pid)

        def ready():
            check(self.xvfb.poll() is None, f"sway ended: see {self.log_dir}/sway.log")
            sockets = [n for n in os.listdir(self.runtime) if re.fullmatch(r"wayland-\d+", n)]
            with contextlib.suppress(FileNotFoundError), \
                    open(os.path.join(self.runtime, "display")) as f:
                display = f.read().strip()
                return sockets and display and (sockets[0], display)
        self.wayland, self.display = poll(ready, 60, 0.05, "sway and Xwayland")
        if self.pointer_program:
            self.pointer = self.start(self.pointer_program, str(self.width), str(self.height),
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            check(self.pointer.stdout.readline().strip() == "ready",
                  "brenlow-virtual-pointer did not start")
            self.mouse_move(self.width // 2, self.height // 2)

    def swaymsg(self, *args):
        ipc = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
        check(ipc, "sway has no IPC socket")
        return subprocess.run([tool("swaymsg"), "-s", ipc[0], *args], env=self.env(),
                              check=True, timeout=30, capture_output=True, text=True).stdout

    def find_windows(self, name, key="id"):
        """What sway says of the windows, native or X11, whose title matches
        name: their ids, or another key of theirs ("shell", ...)."""
        def walk(node):
            yield node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from walk(child)
        return [n[key] for n in walk(json.loads(self.swaymsg("-t", "get_tree")))
                if n.get("pid") and re.search(name, n.get("name") or "")]

    def capture(self):
        blob = subprocess.run([tool("grim"), "-t", "ppm", "-"], env=self.env(),
                              capture_output=True, check=True, timeout=60).stdout
        return Image(PIL.Image.open(io.BytesIO(blob)))

    def mouse_move(self, x, y):
        check(self.pointer, "this session has no pointer")
        self.pointer.stdin.write(f"move {x} {y}\n")
        self.pointer.stdin.flush()
        check(self.pointer.stdout.readline().strip() == "ok", "brenlow-virtual-pointer ended")
        self.position = (x, y)

    def mouse_position(self):
        return self.position

    def key(self, *keys):
        # Each wtype is a new keyboard with its keymap: Xwayland may drop a
        # key that comes on the keymap's heels, or after the keyboard is gone.
        taps = [arg for k in keys for arg in ("-k", k)]
        subprocess.run([tool("wtype"), "-s", "200", *taps, "-s", "200"], env=self.env(),
                       check=True, timeout=30)
