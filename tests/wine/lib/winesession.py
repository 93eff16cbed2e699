"""Windows programs under Wine on a private X server, in prefixes under
$BRENLOW_WINE_PREFIXES (default /tmp/brenlow-wine-<uid>) made once; a session
holds a lock on its prefix until it ends, and stops its wineserver."""

import fcntl
import os
import shutil
import subprocess

import pe
from harness import require_runnable, tool
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, XSession


def prefix_root():
    return os.environ.get("BRENLOW_WINE_PREFIXES", f"/tmp/brenlow-wine-{os.getuid()}")


def wineserver():
    return tool("wineserver", "/usr/lib/wine/wineserver")


class WineSession(XSession):
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
        return os.path.join(self.prefix, "drive_c", "windows")

    def drive_c(self):
        return os.path.join(self.prefix, "drive_c")

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
        wow64, _ = pe.win32_support()
        ready = os.path.join(self.prefix, ".brenlow-ready-" + ("wow64" if wow64 else "win64"))
        if os.path.exists(ready):
            return
        shutil.rmtree(self.prefix, ignore_errors=True)
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        # Wine's 32-bit loader hands the 64-bit wineboot to wine64 and sets up
        # the 32-bit side (syswow64) as well.
        loader = pe.LOADER32 if wow64 else pe.LOADER64
        subprocess.run([loader, "wineboot", "-i"], env=self.env(), check=True, timeout=600,
                       **quiet)
        # A crashing program ends instead of waiting behind Wine's crash dialog.
        self.reg("HKCU\\Software\\Wine\\WineDbg", "ShowCrashDialog", "REG_DWORD", "0")
        subprocess.run([wineserver(), "-w"], env=self.env(), timeout=300)
        open(ready, "w").close()

    def reg(self, key, name, kind, value):
        # Tried again: on a busy machine reg once ended with code 1 just
        # after the session's previous program had ended.
        for _ in range(3):
            r = subprocess.run([pe.LOADER64, "reg", "add", key, "/v", name, "/t", kind, "/d",
                                value, "/f"], env=self.env(), timeout=300, capture_output=True,
                               text=True)
            if r.returncode == 0:
                return
        raise RuntimeError(f"reg add {key} /v {name}: exit code {r.returncode}: "
                           f"{r.stdout.strip()} {r.stderr.strip()}")

    def stop_services(self):
        if self.prefix_lock:
            try:
                subprocess.run([wineserver(), "-k"], env=self.env(), stderr=subprocess.DEVNULL,
                               timeout=60)
                # Gone before the next session of this prefix starts its own.
                subprocess.run([wineserver(), "-w"], env=self.env(), stderr=subprocess.DEVNULL,
                               timeout=60)
            finally:
                self.prefix_lock.close()
                self.prefix_lock = None

    def command(self, program, *args):
        require_runnable(program)
        return [pe.loader_for(program), program, *args]
