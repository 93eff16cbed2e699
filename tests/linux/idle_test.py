"""brenlow-idle end to end on headless sway, Xvfb, headless mutter and no
display: its stand-in saver logs each start; the cases press keys and
watch the log.

    python3 idle_test.py <case> <build tree>"""

import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time

from harness import check, poll, run_case, tool
from host_test import start_xscreensaver
from linux_session import LinuxSession
from sway_session import SwaySession, as_user, own, test_user

MINUTES = "0.05"  # 3 s: fractions of a minute are how a test waits less
IDLE = 3.0
# How early a start may be seen: the log is read every POLL seconds.
POLL = 0.05
EARLY = 0.3
# How late: a busy machine, and a compositor that times its own timers.
LATE = 15.0

SAVER = """#!/bin/sh
echo $$ >> "$BRENLOW_IDLE_TEST_LOG"
# SIGTERM: the end a saver has on the user's key; SIGKILL: a failure.
trap 'kill $! 2>/dev/null; exit 0' TERM
sleep 600 & wait $!
"""


class Idle:
    """brenlow-idle with the stand-in saver, as `user` on the desktop that
    `env` names; `press` is an input the desktop counts."""

    def __init__(self, session, build, env, press, user=None):
        self.session, self.env, self.press, self.user = session, env, press, user
        self.saver = pathlib.Path(session.home, "saver.sh")
        self.saver.write_text(SAVER)
        self.saver.chmod(0o755)
        self.log = pathlib.Path(session.home, "starts.log")
        self.log.write_text("")
        own(self.log, user)
        # A copy the test account can run whatever the build tree's modes.
        program = os.path.join(session.home, "brenlow-idle")
        shutil.copy2(os.path.join(build, "brenlow-idle"), program)
        self.p = session.start(program, "--minutes", MINUTES, "--saver", self.saver,
                               env=dict(env, BRENLOW_IDLE_TEST_LOG=str(self.log)),
                               cwd=session.home, **as_user(user))
        poll(lambda: self.p.poll() is not None or "minuti senza input" in self.output(),
             60, POLL, "the service's first line")
        check(self.p.poll() is None, f"brenlow-idle ended: {self.output()!r}")
        print(self.output().strip())

    def output(self):
        return self.session.output(self.p)

    def starts(self):
        return [int(pid) for pid in self.log.read_text().split()]

    def key(self):
        """The time before the key, so that a start counted from it is never early."""
        before = time.monotonic()
        self.press()
        return before

    def next_start(self, since, what):
        """The pid of the next start, at least IDLE after `since`."""
        count = len(self.starts())
        poll(lambda: len(self.starts()) > count, IDLE + LATE, POLL, what)
        after = time.monotonic() - since
        check(after >= IDLE - EARLY, f"{what}: {after:.2f} s after the count began, before "
              f"{IDLE} s")
        check(self.p.poll() is None, f"brenlow-idle ended: {self.output()!r}")
        print(f"{what}: {after:.2f} s after the count began")
        return self.starts()[-1]

    def no_start(self, seconds, what):
        count = len(self.starts())
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            check(len(self.starts()) == count, f"{what}: the saver started again")
            time.sleep(POLL)
        print(f"{what}: no start for {seconds:.1f} s")

    def end(self, pid, sig):
        os.kill(pid, sig)
        # Gone once the service has reaped it.
        poll(lambda: not os.path.exists(f"/proc/{pid}"), 30, POLL, "the saver's end")
        return time.monotonic()


def scenario(idle):
    """The policy on one desktop: the time counted from the last input, one
    saver at a time, a new count when it ends on the user's key, and after
    a failed saver none until somebody is back."""
    check(not idle.starts(), "the saver started at once")
    idle.no_start(IDLE / 2, "half the time")
    pressed = idle.key()
    first = idle.next_start(pressed, "a key halfway restarts the count")
    idle.no_start(2 * IDLE, "while the saver runs")
    check(len(idle.starts()) == 1, "a second saver while the first runs")
    ended = idle.end(first, signal.SIGTERM)
    second = idle.next_start(ended, "the saver ended on the user's key: a new count")
    idle.end(second, signal.SIGKILL)
    idle.no_start(2 * IDLE, "the saver failed: nobody has come back")
    pressed = idle.key()
    idle.next_start(pressed, "back after the failure: a new count")


# --- cases -----------------------------------------------------------------

def case_sway(session, build):
    """sway 1.7 headless offers org_kde_kwin_idle; wtype's virtual keyboard
    is the input."""
    idle = Idle(session, build, session.env(), lambda: session.key("space"), session.user)
    check("org_kde_kwin_idle" in idle.output(), "not the Wayland source")
    scenario(idle)


def case_x11(session, build):
    """Xvfb's MIT-SCREEN-SAVER idle time, with xdotool's key and pointer as
    the input; then XScreenSaver's daemon on the same display, which should
    host brenlow itself: the service says so and ends."""
    env = dict(session.env(), DBUS_SESSION_BUS_ADDRESS="disabled:")
    inputs = iter([lambda: session.key("space"), lambda: session.mouse_move(200, 100)])
    idle = Idle(session, build, env, lambda: next(inputs)())
    check("MIT-SCREEN-SAVER" in idle.output(), "not the X11 source")
    scenario(idle)

    start_xscreensaver(session, env, test_user())
    fails_saying(build, env, "XScreenSaver runs", ["XScreenSaver"])


def case_gnome(session, build):
    """GNOME: Debian's mutter --headless on a bus of the test's own, named
    in WAYLAND_DISPLAY as in a GNOME session and with the Xvfb in DISPLAY as
    its Xwayland would be. Its Wayland offers no idle protocol, so the
    service must go on to Mutter's idle monitor before X11. Mutter's
    test-only ResetIdletime is the user's input."""
    bus = session.start(tool("dbus-daemon"), "--session", "--nofork", "--print-address",
                        stdout=subprocess.PIPE, text=True).stdout.readline().strip()
    check(bus, "dbus-daemon did not say where it listens")
    runtime = os.path.join(session.home, "gnome")
    os.mkdir(runtime, 0o700)
    env = dict(session.env(), DBUS_SESSION_BUS_ADDRESS=bus, XDG_RUNTIME_DIR=runtime,
               WAYLAND_DISPLAY="wayland-gnome", MUTTER_DEBUG_RESET_IDLETIME="1")
    mutter = session.start(tool("mutter"), "--headless", "--wayland", "--no-x11",
                           "--wayland-display", "wayland-gnome", "--virtual-monitor", "640x480",
                           env=env)

    def monitor(method):
        return subprocess.run([tool("gdbus"), "call", "--session", "--dest",
                               "org.gnome.Mutter.IdleMonitor", "--object-path",
                               "/org/gnome/Mutter/IdleMonitor/Core", "--method",
                               "org.gnome.Mutter.IdleMonitor." + method], env=env,
                              capture_output=True, text=True, timeout=30)

    def answers():
        check(mutter.poll() is None, f"mutter ended: {session.output(mutter)}")
        return monitor("GetIdletime").returncode == 0

    def press():
        r = monitor("ResetIdletime")
        check(r.returncode == 0, f"mutter's ResetIdletime: {r.stderr}")

    poll(answers, 60, 0.2, "mutter's idle monitor")
    press()  # the count begins with the session, not with mutter's start
    idle = Idle(session, build, env, press)
    check("Mutter" in idle.output(), "not GNOME's source")
    scenario(idle)


def fails_saying(build, env, what, words):
    """brenlow-idle in env ends at once with a non-zero code and one line
    that names each of words."""
    r = subprocess.run([os.path.join(build, "brenlow-idle"), "--minutes", MINUTES], env=env,
                       capture_output=True, text=True, timeout=60)
    lines = r.stderr.splitlines()
    check(r.returncode != 0, f"{what}: exit code 0")
    check(len(lines) == 1 and lines[0].startswith("brenlow-idle: ") and not r.stdout,
          f"{what}: not one line: {r.stdout!r} {r.stderr!r}")
    missing = [w for w in words if w not in lines[0]]
    check(not missing, f"{what}: the line does not name {missing}: {lines[0]!r}")
    print(f"{what}: exit code {r.returncode}, {lines[0]!r}")


def case_no_display(session, build):
    """Nothing to learn idleness from: one line and a non-zero exit."""
    base = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    base.update({"DBUS_SESSION_BUS_ADDRESS": "disabled:", "XDG_RUNTIME_DIR": session.home})
    for what, env, words in (
            ("no display", {}, ["WAYLAND_DISPLAY", "DISPLAY"]),
            ("no compositor, no X server", {"WAYLAND_DISPLAY": "nessuno", "DISPLAY": ":98765"},
             ["nessuno", ":98765", "D-Bus"])):
        fails_saying(build, dict(base, **env), what, words)


if __name__ == "__main__":
    sys.exit(run_case(globals(), SwaySession if sys.argv[1:2] == ["sway"] else LinuxSession))
