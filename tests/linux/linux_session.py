"""The X session for the native Linux programs: a private home whose XDG
data home's brenlow folder is the Windows folder.

Paths the programs are given in Windows form ("C:\\quad.bmp") work because
drive_c() holds a "C:" link to itself and programs start there: the Linux
build reads backslashes as slashes, so "C:\\quad.bmp" is drive_c/C:/quad.bmp."""

import os
import shutil
import tempfile

import Xlib.X

from harness import check, safely
from xsession import XConnection, XSession


class LinuxSession(XSession):
    def __init__(self, *size, **layout):  # XSession's size and monitors
        self.home = tempfile.mkdtemp(prefix="brenlow-linux-")
        super().__init__(*size, keep_log=self.home, **layout)
        self.root = os.path.join(self.home, "drive_c")
        os.makedirs(self.root)
        os.symlink(".", os.path.join(self.root, "C:"))
        os.makedirs(self.windows_folder())
        self.host_windows = []

    def env(self):
        env = super().env()
        env.update({"HOME": self.home, "XDG_DATA_HOME": os.path.join(self.home, "data"),
                    "SDL_VIDEODRIVER": "x11"})
        return env

    def windows_folder(self):
        return os.path.join(self.home, "data", "brenlow")

    def drive_c(self):
        return self.root

    def default_cwd(self, program):
        return self.root

    def host_window(self, width, height, x, y):
        self.host_windows.append(HostWindow(self.display, width, height, x, y))
        return self.host_windows[-1]

    def close(self):
        safely(*(w.close for w in self.host_windows), super().close,
               lambda: shutil.rmtree(self.home, ignore_errors=True))


class HostWindow(XConnection):
    """Another X client's window, a screen-saver host's or a program's that
    grabs the pointer: mapped, undecorated, on a connection of its own that
    the session closes, the window with it."""

    def __init__(self, display, width, height, x, y):
        super().__init__(display)
        screen = self.display.screen()
        # Override-redirect: mapped at once, and no window manager moves it.
        self.window = self.root.create_window(
            x, y, width, height, 0, Xlib.X.CopyFromParent, Xlib.X.InputOutput,
            override_redirect=True, background_pixel=screen.black_pixel)
        self.window.map()
        self.display.sync()
        self.id = self.window.id

    def resize(self, width, height):
        self.window.configure(width=width, height=height)
        self.display.sync()

    def destroy(self):
        self.window.destroy()
        self.display.sync()

    def grab(self):
        """The pointer for this window: moves go to it alone, until the session ends."""
        status = self.window.grab_pointer(False, Xlib.X.PointerMotionMask, Xlib.X.GrabModeAsync,
                                          Xlib.X.GrabModeAsync, Xlib.X.NONE, Xlib.X.NONE,
                                          Xlib.X.CurrentTime)
        check(status == Xlib.X.GrabSuccess, f"the pointer grab refused ({status})")
