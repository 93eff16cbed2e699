"""The X session for the native Linux programs: a private home whose XDG
data home's brenlow folder is the Windows folder.

Paths the programs are given in Windows form ("C:\\quad.bmp") work because
drive_c() holds a "C:" link to itself and programs start there: the Linux
build reads backslashes as slashes, so "C:\\quad.bmp" is drive_c/C:/quad.bmp."""

import os
import shutil
import subprocess
import tempfile

from harness import check
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, XSession


class LinuxSession(XSession):
    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, monitors=1, modes=(),
                 second=None):
        self.home = tempfile.mkdtemp(prefix="brenlow-linux-")
        super().__init__(width, height, keep_log=self.home, monitors=monitors, modes=modes,
                         second=second)
        self.root = os.path.join(self.home, "drive_c")
        os.makedirs(self.root)
        os.symlink(".", os.path.join(self.root, "C:"))
        os.makedirs(self.windows_folder())

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

    def close(self):
        try:
            super().close()
        finally:
            shutil.rmtree(self.home, ignore_errors=True)


class HostWindow:
    """An X client's window: brenlow-host-window, driven through its input."""

    def __init__(self, session, helper, width, height, x, y):
        self.p = session.adopt(subprocess.Popen(
            [helper, str(width), str(height), str(x), str(y)], env=session.env(),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, start_new_session=True))
        self.id = int(self.p.stdout.readline(), 16)

    def command(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()
        answer = self.p.stdout.readline().strip()
        check(answer == "ok", f"the window helper answered {answer!r} to {line!r}")
