"""Nothing a test starts outlives it: the Reaper kills what the test started
when the test dies without cleaning up; /proc readers find and measure processes."""

import os
import shutil
import subprocess
import sys

import psutil

# Reads what the test started, one line each ("group N", "xserver N",
# "prefix PATH", "user NAME": an account the test made), and when the
# test's end of the pipe closes without a "done" line kills all of it.
_REAPER = r"""
import os, signal, subprocess, sys, time
started = {"group": [], "xserver": [], "prefix": [], "user": []}
for line in sys.stdin:
    kind, _, value = line.strip().partition(" ")
    if kind == "done": sys.exit(0)
    started[kind].append(value)
def each(kind, step):
    for value in started[kind]:
        try: step(value)
        except Exception: pass
each("group", lambda g: os.killpg(int(g), signal.SIGKILL))
each("prefix", lambda p: subprocess.run([sys.argv[1], "-k"], env=dict(os.environ, WINEPREFIX=p),
                                        stderr=subprocess.DEVNULL, timeout=60))
each("xserver", lambda pid: os.kill(int(pid), signal.SIGTERM))
time.sleep(0.5)
each("xserver", lambda pid: os.kill(int(pid), signal.SIGKILL))
each("user", lambda u: subprocess.run(["userdel", "--force", u], stderr=subprocess.DEVNULL,
                                      timeout=60))
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

    def finish(self):  # the test cleaned up itself
        if self.process:
            try:
                self.tell("done", "")
                self.process.stdin.close()
                self.process.wait(timeout=30)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
            self.process = None


def marked_processes(mark, exe=None):
    """{pid: command line} of the live processes with mark ("NAME=value") that run exe."""
    name, _, value = mark.partition("=")
    return {p.pid: " ".join(p.info["cmdline"] or []) for p in
            psutil.process_iter(["environ", "status", "exe", "cmdline"])
            if (p.info["environ"] or {}).get(name) == value and exe in (None, p.info["exe"])
            and p.info["status"] != psutil.STATUS_ZOMBIE}  # a zombie has ended


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
