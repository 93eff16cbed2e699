"""The wine harness's Session, for the native Linux programs: the same Xvfb,
screenshots, pointer and keys, but programs run directly and the Windows
folder is the XDG data home's brenlow folder of a private home.

Paths the programs are given in Windows form ("C:\\quad.bmp") work because
drive_c() holds a "C:" link to itself and programs start there: the Linux
build reads backslashes as slashes, so "C:\\quad.bmp" is drive_c/C:/quad.bmp."""

import os
import shutil
import subprocess
import tempfile

import winehelp


class LinuxSession(winehelp.Session):
    def __init__(self, width=winehelp.SCREEN_WIDTH, height=winehelp.SCREEN_HEIGHT):
        self.home = tempfile.mkdtemp(prefix="brenlow-linux-")
        super().__init__("unused", width, height, keep_log=self.home)
        self.root = os.path.join(self.home, "drive_c")
        os.makedirs(self.root)
        os.symlink(".", os.path.join(self.root, "C:"))
        os.makedirs(self.windows_folder())

    def ensure_prefix(self):
        pass

    def env(self):
        env = dict(os.environ)
        env.update({"DISPLAY": self.display or "", "HOME": self.home,
                    "XDG_DATA_HOME": os.path.join(self.home, "data"),
                    "SDL_VIDEODRIVER": "x11"})
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def windows_folder(self):
        return os.path.join(self.home, "data", "brenlow")

    def drive_c(self):
        return self.root

    def start(self, program, *args, cwd=None):
        log = open(os.path.join(self.log_dir, f"run{len(self.processes)}.log"), "wb")
        p = subprocess.Popen([program, *args], cwd=cwd or self.root, env=self.env(),
                             stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.processes.append(p)
        return p

    def close(self):
        for p in self.processes:
            if p.poll() is None:
                p.kill()
            p.wait(timeout=30)
        self.processes = []
        self.display = None  # no wineserver to stop
        super().close()
        shutil.rmtree(self.home, ignore_errors=True)
