"""The Linux brenlow as the screen-saver hosts run it, its settings window
and its xscreensaver-settings page, under Xvfb.

    python3 host_test.py <case> <build tree>"""

import contextlib
import glob
import os
import pwd
import shutil
import signal
import subprocess
import sys
import time
import uuid
from xml.etree import ElementTree

from harness import check, poll, run_case, tool
from images import drawn_outside, tiles
from linux_session import HostWindow, LinuxSession
from reaper import marked_processes
# Marks what the XScreenSaver daemon of one test starts, for its clean-up.
MARK = "BRENLOW_HOST_TEST_MARK"
# A window smaller than the screen, away from its edges.
WIN_X, WIN_Y, WIN_W, WIN_H = 100, 120, 400, 300


def box(left, top, width, height):
    return (left, top, left + width, top + height)


WINDOW = box(WIN_X, WIN_Y, WIN_W, WIN_H)


class Run:
    def __init__(self, session, exe, *args, env=None, cwd=None):
        self.session = session
        self.p = session.start(exe, *args, cwd=cwd or session.drive_c(), env=env)

    def output(self):
        return self.session.output(self.p).decode("utf-8", errors="replace")

    def wait(self, timeout):
        return self.session.wait_exit(self.p, timeout)

    def terminate(self):  # the ms from SIGTERM until it was seen gone
        os.kill(self.p.pid, signal.SIGTERM)
        sent = time.monotonic()
        self.wait(30)
        return 1000 * (self.p.ended_at - sent)


def fails_with_message(run, what, timeout=30):
    code = run.wait(timeout)
    out = run.output()
    check(code != 0, f"{what}: exit code 0")
    lines = [line for line in out.splitlines() if line.startswith("brenlow: ")]
    check(len(lines) == 1, f"{what}: not one clear line: {out!r}")
    print(f"{what}: exit code {code}, {lines[0]!r}")
    return lines[0]


# --- cases -----------------------------------------------------------------

def case_window(session, build):
    """The host's window, named in hex and in decimal: drawing inside it and
    nowhere else, the canvas following its size, SIGTERM ending it."""
    exe, helper = os.path.join(build, "brenlow"), host_window_helper(build)
    for form in ("hex", "decimal"):
        window = HostWindow(session, helper, WIN_W, WIN_H, WIN_X, WIN_Y)
        value = hex(window.id) if form == "hex" else str(window.id)
        run = Run(session, exe, "--root", env={"XSCREENSAVER_WINDOW": value})
        img = session.wait_screen(lambda i: tiles(i, WINDOW), 60, f"tiles in the {form} window")
        check(drawn_outside(img, WINDOW) == 0, f"{form}: drawing outside the window")
        print(f"{form} {value}: tiles inside the window, nothing outside")
        if form == "hex":
            # Wider and lower: the next cycle's tiles fill the new size, the
            # strip the window gained on the right included.
            window.command("resize 600 200")
            img = session.wait_screen(
                lambda i: tiles(i, box(WIN_X + WIN_W, WIN_Y, 600 - WIN_W, 200)) and
                tiles(i, box(WIN_X, WIN_Y, 600, 200)) and
                drawn_outside(i, box(WIN_X, WIN_Y, 600, 200)) == 0, 90,
                "tiles in the resized window")
            img.save(os.path.join(os.getcwd(), "linux-host-window.ppm"))
            print("resized to 600x200: the tiles fill it, nothing outside")
        check(run.p.poll() is None, f"{form}: brenlow ended by itself: {run.output()!r}")
        print(f"{form}: gone {run.terminate():.1f} ms after SIGTERM")
        window.command("destroy")


def case_hostile(session, build):
    """A window that does not exist, garbage, a window destroyed while
    brenlow draws: one clear line and a non-zero exit, never a hang."""
    exe, helper = os.path.join(build, "brenlow"), host_window_helper(build)
    for what, value in (("no such window", "0x3fffff1"), ("garbage", "0x12zz"),
                        ("not a number", "finestra"), ("zero", "0")):
        fails_with_message(Run(session, exe, "--root", env={"XSCREENSAVER_WINDOW": value}),
                           what)
    window = HostWindow(session, helper, WIN_W, WIN_H, WIN_X, WIN_Y)
    run = Run(session, exe, "-window-id", str(window.id))
    session.wait_screen(lambda i: tiles(i, WINDOW), 60, "tiles")
    window.command("destroy")
    fails_with_message(run, "window destroyed while drawing")


def case_no_display(session, build):
    """No DISPLAY: the saver, the settings window and the hosted mode say so
    and end."""
    exe = os.path.join(build, "brenlow")
    for args in (["/S"], ["/C"], ["--root"]):
        run = Run(session, exe, *args, env={"DISPLAY": None, "WAYLAND_DISPLAY": None})
        line = fails_with_message(run, " ".join(args))
        check("DISPLAY" in line, f"{args}: the message does not name DISPLAY")


def case_xml(session, build):
    """brenlow.xml against the format XScreenSaver's settings read, its
    shapes in the dialog's order."""
    xml = os.path.join(build, "brenlow.xml")
    dtd = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xscreensaver-config.dtd")
    # The DTD describes the pages Debian's XScreenSaver ships, too.
    shipped = sorted(glob.glob("/usr/share/xscreensaver/config/*.xml"))
    check(shipped, "no pages of XScreenSaver's own")
    xmllint = tool("xmllint")
    r = subprocess.run([xmllint, "--noout", "--dtdvalid", dtd, xml, *shipped],
                       capture_output=True, text=True)
    check(r.returncode == 0, f"xmllint: {r.stderr}")

    page = ElementTree.parse(xml).getroot()
    shapes = ["Casuali", "Quadrati", "Cerchi", "Triangoli", "Ovali", "Ellissi"]
    found = (page.get("name"), page.find("command").attrib, page.find("file").attrib,
             [(o.get("_label"), o.get("arg-set")) for o in page.iterfind("select/option")])
    # Casuali, the default, sets nothing.
    wanted = ("brenlow", {"arg": "--root"},
              {"id": "picture", "_label": "Immagine/Logo", "arg": "-picture %"},
              [(shape, f"-shape {shape}" if i else None) for i, shape in enumerate(shapes)])
    check(found == wanted, f"brenlow.xml: {found}, expected {wanted}")
    print("brenlow.xml: valid; six shapes in the dialog's order, Casuali the default")


def case_settings_window(session, build):
    """brenlow /C as a user meets it: pick a shape and a picture, press Ok,
    read the file; a file that cannot be written keeps the window open
    with the message."""
    exe = os.path.join(build, "brenlow")
    ini = os.path.join(session.windows_folder(), "brlscsav.ini")
    pictures = os.path.join(session.home, "Immagini")
    os.makedirs(pictures)
    for name in ("logo.bmp", "note.txt"):
        with open(os.path.join(pictures, name), "wb") as f:
            f.write(b"BM" if name.endswith(".bmp") else b"x")
    with open(ini, "w", newline="") as f:
        f.write("/old.bmp\r\nOvali\r\n")
    run = Run(session, exe, "/C", env=gtk_env(session), cwd=pictures)
    w = session.wait_window("^Impostazioni$", 60)
    # No window manager here: the dialog gets the focus from the test. It
    # starts on Ok; the tab order is Ok, Annulla, the shape box (its entry,
    # its button), the path, the picture button. Letters typed into the
    # shape box are discarded; its list drops down.
    x, y, width, collapsed = session.geometry(w)
    focus(session, w)
    dialog = (x, y, width, collapsed)
    session.key_until(["Tab", "Tab", "x", "y", "alt+Down"], session.changed(dialog), 30,
                      "the shape list dropping down")
    session.key_until(["Down", "Down", "Return"], session.changed(dialog), 30,
                      "the shape list closing")  # Casuali, Quadrati, Cerchi
    session.key_until(["Tab", "Tab", "Tab", "Return"],
                      lambda: session.geometry(w)[3] > collapsed + 100, 30, "the chooser unfolding")
    # The chooser has read the folder once the dialog has settled; its one
    # picture is the list's first row, and a double-click takes it and folds
    # the dialog.
    session.settled(session.geometry(w))
    session.screenshot(os.path.join(os.getcwd(), "linux-settings-unfolded.ppm"))
    session.click_until(x + width * 2 // 5, y + collapsed + 79,
                        lambda: session.geometry(w)[3] == collapsed, 30, "the dialog folding",
                        double=True)
    session.key_until(["alt+o"], session.exited(run.p), 30, "the end after Ok")
    check(run.p.returncode == 0, f"exit code {run.p.returncode}: {run.output()!r}")
    with open(ini, "rb") as f:
        content = f.read()
    expected = (os.path.join(pictures, "logo.bmp") + "\r\nCerchi\r\n").encode()
    check(content == expected, f"settings file {content!r}, expected {expected!r}")
    print(f"Ok wrote {content!r}")

    # A settings file that is a folder: the same message as on Windows, the
    # window stays, the folder stays.
    os.remove(ini)
    os.makedirs(os.path.join(ini, "inside"))
    run = Run(session, exe, "/C", env=gtk_env(session), cwd=pictures)
    w = session.wait_window("^Impostazioni$", 60)
    focus(session, w)
    box = session.key_until(["Return"], lambda: session.find_windows("^brenlow$"), 30,
                            "the message")[0]
    session.screenshot(os.path.join(os.getcwd(), "linux-settings-error.ppm"))
    check(run.p.poll() is None, "the program ended on a failed write")
    focus(session, box)
    session.key_until(["Return"], lambda: not session.find_windows("^brenlow$"), 30,
                      "the message closing")
    check(run.p.poll() is None and os.path.isdir(os.path.join(ini, "inside")),
          "after the message: program or folder gone")
    focus(session, w)
    session.key_until(["Escape"], session.exited(run.p), 30, "the end after Esc")
    check(run.p.returncode == 0, "Esc (Annulla) did not end the program with code 0")
    print("failed write: message, window kept, Esc ends it")


def case_signals(session, build):
    """SIGTERM (a log-out, a service manager) ends the saver and the settings window."""
    exe = os.path.join(build, "brenlow")
    for args, window, env in ((["/S"], "^brenlow$", {}), (["/C"], "^Impostazioni$", gtk_env())):
        run = Run(session, exe, *args, env=env)
        session.wait_window(window, 60)
        print(f"{args[0]}: gone {run.terminate():.1f} ms after SIGTERM")


def case_xscreensaver(session, build):
    """The real XScreenSaver daemon runs brenlow --root: -activate shows the
    tiles, -deactivate leaves no brenlow process."""
    user, ours = saver_user(session)
    try:
        run_xscreensaver(session, build, user)
    finally:
        if ours:
            # --force: a process of the user's that was killed but not yet
            # reaped must not keep the account.
            subprocess.run([tool("userdel"), "--force", user], check=True,
                           capture_output=True, timeout=60)


def run_xscreensaver(session, build, user):
    home = os.path.join(session.home, "saver-home")
    os.makedirs(home)
    program = os.path.join(home, "brenlow")
    shutil.copy2(os.path.join(build, "brenlow"), program)
    with open(os.path.join(home, ".xscreensaver"), "w") as f:
        f.write("mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                "splash: False\ntimeout: 1:00:00\ndpmsEnabled: False\n"
                "grabDesktopImages: False\n"
                f"programs: {program} --root\n")
    marker = uuid.uuid4().hex
    mark = f"{MARK}={marker}"
    as_user = []
    if os.getuid() == 0:
        pw = pwd.getpwnam(user)
        for folder in (session.home, home):
            os.chmod(folder, 0o755)
        for root, dirs, files in os.walk(home):
            for name in [root] + [os.path.join(root, n) for n in dirs + files]:
                os.chown(name, pw.pw_uid, pw.pw_gid)
        as_user = [tool("setpriv"), "--reuid", str(pw.pw_uid), "--regid", str(pw.pw_gid),
                   "--clear-groups"]
    env = {"HOME": home, "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
           "XDG_CONFIG_HOME": os.path.join(home, ".config"), MARK: marker,
           "USER": user, "LOGNAME": user}
    try:
        xscreensaver = tool("xscreensaver")
        daemon = Run(session, *(as_user or [xscreensaver]),
                     *([xscreensaver] if as_user else []), "--no-splash", env=env, cwd=home)

        def command(*args):
            return subprocess.run([tool("xscreensaver-command"), *args], env=session.env(),
                                  capture_output=True, text=True, timeout=30)

        session.while_running(daemon.p, lambda: command("-time").returncode == 0, 60,
                              "the daemon answered", 0.2)
        check(command("-activate").returncode == 0, "xscreensaver-command -activate")
        img = session.wait_screen(tiles, 30, "the tiles under XScreenSaver")
        img.save(os.path.join(os.getcwd(), "linux-xscreensaver.ppm"))
        pids = list(marked_processes(mark, program))
        check(pids, "no brenlow process while the screen is blanked")
        print(f"activated: tiles on the screen, brenlow running as {user} (pid {pids})")
        check(command("-deactivate").returncode == 0, "xscreensaver-command -deactivate")
        poll(lambda: not marked_processes(mark, program), 30, 0.01, "brenlow gone")
        print("deactivated: no brenlow process left")
        command("-exit")
        daemon.wait(30)
    finally:
        # Whatever the daemon started and left, found by the mark in its
        # environment, one process at a time.
        for pid in marked_processes(mark):
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        session.stop_programs()


def focus(session, window):
    # No window manager here: the window gets the focus from the test.
    session.xdotool("windowfocus", "--sync", str(window))


def host_window_helper(build):
    return os.path.join(build, "tests", "linux", "brenlow-host-window")


def gtk_env(session=None):
    """GTK without a session bus to wait for or start; with a session, a
    caret that does not blink, so the dialog's pixels change only on input."""
    if session:
        config = os.path.join(session.home, ".config", "gtk-3.0")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "settings.ini"), "w") as f:
            f.write("[Settings]\ngtk-cursor-blink = false\n")
    return {"DBUS_SESSION_BUS_ADDRESS": "disabled:", "GIO_USE_VFS": "local",
            "GSETTINGS_BACKEND": "memory", "NO_AT_BRIDGE": "1", "LANG": "C.UTF-8"}


def saver_user(session):
    """The unprivileged user the daemon runs as (it refuses root), and
    whether the test made it (as root) and must remove it."""
    if os.getuid() != 0:
        return pwd.getpwuid(os.getuid()).pw_name, False
    name = "brenlow-host"
    with contextlib.suppress(KeyError):
        return pwd.getpwnam(name).pw_name, False
    session.reaper.tell("user", name)
    subprocess.run([tool("useradd"), "--system", "--no-create-home", "--home-dir",
                    "/nonexistent", "--shell", "/usr/sbin/nologin", name], check=True, timeout=60)
    return name, True


if __name__ == "__main__":
    sys.exit(run_case(globals(), LinuxSession))
