"""The Linux brenlow as the screen-saver hosts run it, its settings window
and its xscreensaver-settings page, under Xvfb.

    python3 host_test.py <case> <build tree>"""

import contextlib
import glob
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import uuid
from xml.etree import ElementTree

from harness import check, poll, run_case, tool
from images import drawn_outside, tiles
from linux_session import LinuxSession
from reaper import marked_processes
from sway_session import as_user, own, test_user
# Marks what the XScreenSaver daemon of one test starts, for its clean-up.
MARK = "BRENLOW_HOST_TEST_MARK"
# A window smaller than the screen, away from its edges.
WIN_X, WIN_Y, WIN_W, WIN_H = 100, 120, 400, 300


def box(left, top, width, height):
    return (left, top, left + width, top + height)


WINDOW = box(WIN_X, WIN_Y, WIN_W, WIN_H)


def fails_with_message(session, p, what, timeout=30):
    code = session.wait_exit(p, timeout)
    out = session.output(p)
    check(code != 0, f"{what}: exit code 0")
    lines = [line for line in out.splitlines() if line.startswith("brenlow: ")]
    check(len(lines) == 1, f"{what}: not one clear line: {out!r}")
    print(f"{what}: exit code {code}, {lines[0]!r}")
    return lines[0]


# --- cases -----------------------------------------------------------------

def case_window(session, build):
    """The host's window, named in hex and in decimal: drawing inside it and
    nowhere else, the canvas following its size, SIGTERM ending it."""
    exe = os.path.join(build, "brenlow")
    for form in ("hex", "decimal"):
        window = session.host_window(WIN_W, WIN_H, WIN_X, WIN_Y)
        value = hex(window.id) if form == "hex" else str(window.id)
        run = session.start(exe, "--root", env={"XSCREENSAVER_WINDOW": value})
        img = session.wait_screen(lambda i: tiles(i, WINDOW), 60, f"tiles in the {form} window")
        check(not drawn_outside(img, WINDOW), f"{form}: drawing outside the window")
        print(f"{form} {value}: tiles inside the window, nothing outside")
        if form == "hex":
            # Wider and lower: the next cycle's tiles fill the new size, the
            # strip the window gained on the right included.
            window.resize(600, 200)
            img = session.wait_screen(
                lambda i: tiles(i, box(WIN_X + WIN_W, WIN_Y, 600 - WIN_W, 200)) and
                tiles(i, box(WIN_X, WIN_Y, 600, 200)) and
                not drawn_outside(i, box(WIN_X, WIN_Y, 600, 200)), 90,
                "tiles in the resized window")
            img.save(os.path.join(os.getcwd(), "linux-host-window.ppm"))
            print("resized to 600x200: the tiles fill it, nothing outside")
        check(run.poll() is None, f"{form}: brenlow ended by itself: {session.output(run)!r}")
        print(f"{form}: gone {session.terminate(run):.1f} ms after SIGTERM")
        window.destroy()


def case_hostile(session, build):
    """A window that does not exist, garbage, a window destroyed while
    brenlow draws: one clear line and a non-zero exit, never a hang."""
    exe = os.path.join(build, "brenlow")
    # How a value is read is the unit tests'; here, that a bad one ends the run.
    for what, value in (("no such window", "0x3fffff1"), ("garbage", "0x12zz")):
        fails_with_message(session, session.start(exe, "--root",
                                                  env={"XSCREENSAVER_WINDOW": value}), what)
    window = session.host_window(WIN_W, WIN_H, WIN_X, WIN_Y)
    run = session.start(exe, "-window-id", str(window.id))
    session.wait_screen(lambda i: tiles(i, WINDOW), 60, "tiles")
    window.destroy()
    fails_with_message(session, run, "window destroyed while drawing")


def case_no_display(session, build):
    """No DISPLAY: the saver, the settings window and the hosted mode say so
    and end."""
    exe = os.path.join(build, "brenlow")
    for args in (["/S"], ["/C"], ["--root"]):
        run = session.start(exe, *args, env={"DISPLAY": None, "WAYLAND_DISPLAY": None})
        line = fails_with_message(session, run, " ".join(args))
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
    pathlib.Path(pictures, "logo.bmp").write_bytes(b"BM")
    pathlib.Path(pictures, "note.txt").write_bytes(b"x")
    session.write_windows_file("brlscsav.ini", "/old.bmp\r\nOvali\r\n")
    run = session.start(exe, "/C", env=gtk_env(session), cwd=pictures)
    w = session.wait_window("^Impostazioni$", 60)
    # The dialog starts on Ok; the tab order is Ok, Annulla, the shape box
    # (its entry, its button), the path, the picture button. Letters typed
    # into the shape box are discarded; its list drops down.
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
    session.end_with_key(run, "alt+o", 30)
    content = pathlib.Path(ini).read_bytes()
    expected = (os.path.join(pictures, "logo.bmp") + "\r\nCerchi\r\n").encode()
    check(content == expected, f"settings file {content!r}, expected {expected!r}")
    print(f"Ok wrote {content!r}")

    # A settings file that is a folder: the same message as on Windows, the
    # window stays, the folder stays.
    os.remove(ini)
    os.makedirs(os.path.join(ini, "inside"))
    run = session.start(exe, "/C", env=gtk_env(session), cwd=pictures)
    w = session.wait_window("^Impostazioni$", 60)
    focus(session, w)
    box = session.key_until(["Return"], lambda: session.find_windows("^brenlow$"), 30,
                            "the message")[0]
    session.screenshot(os.path.join(os.getcwd(), "linux-settings-error.ppm"))
    check(run.poll() is None, "the program ended on a failed write")
    focus(session, box)
    session.key_until(["Return"], lambda: not session.find_windows("^brenlow$"), 30,
                      "the message closing")
    check(run.poll() is None and os.path.isdir(os.path.join(ini, "inside")),
          "after the message: program or folder gone")
    focus(session, w)
    session.end_with_key(run, "Escape", 30)  # Annulla
    print("failed write: message, window kept, Esc ends it")


def case_signals(session, build):
    """SIGTERM (a log-out, a service manager) ends the saver and the settings window."""
    exe = os.path.join(build, "brenlow")
    for args, window, env in ((["/S"], "^brenlow$", {}), (["/C"], "^Impostazioni$", gtk_env())):
        run = session.start(exe, *args, env=env)
        session.wait_window(window, 60)
        print(f"{args[0]}: gone {session.terminate(run):.1f} ms after SIGTERM")


def case_xscreensaver(session, build):
    """The real XScreenSaver daemon runs brenlow --root: -activate shows the
    tiles, -deactivate leaves no brenlow process."""
    program = os.path.join(session.home, "brenlow")
    shutil.copy2(os.path.join(build, "brenlow"), program)
    marker = uuid.uuid4().hex
    mark = f"{MARK}={marker}"
    try:
        daemon = start_xscreensaver(session, {MARK: marker}, test_user(),
                                    f"mode: one\nselected: 0\nlock: False\nfade: False\n"
                                    "unfade: False\nsplash: False\ntimeout: 1:00:00\n"
                                    "dpmsEnabled: False\ngrabDesktopImages: False\n"
                                    f"programs: {program} --root\n")
        check(xscreensaver_command(session, "-activate").returncode == 0,
              "xscreensaver-command -activate")
        img = session.wait_screen(tiles, 30, "the tiles under XScreenSaver")
        img.save(os.path.join(os.getcwd(), "linux-xscreensaver.ppm"))
        pids = list(marked_processes(mark, program))
        check(pids, "no brenlow process while the screen is blanked")
        print(f"activated: tiles on the screen, brenlow running (pid {pids})")
        check(xscreensaver_command(session, "-deactivate").returncode == 0,
              "xscreensaver-command -deactivate")
        poll(lambda: not marked_processes(mark, program), 30, 0.01, "brenlow gone")
        print("deactivated: no brenlow process left")
        xscreensaver_command(session, "-exit")
        session.wait_exit(daemon, 30)
    finally:
        # Whatever the daemon started and left, found by the mark in its
        # environment, one process at a time.
        for pid in marked_processes(mark):
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        session.stop_programs()


def xscreensaver_command(session, *args):
    return subprocess.run([tool("xscreensaver-command"), *args], env=session.env(),
                          capture_output=True, text=True, timeout=30)


def start_xscreensaver(session, env, user, settings=None):
    """XScreenSaver's daemon as user (it refuses root), in a home of its own
    with settings as its .xscreensaver, once it answers."""
    home = os.path.join(session.home, "saver-home")
    os.chmod(session.home, 0o755)
    os.mkdir(home)
    own(home, user)
    if settings:
        pathlib.Path(home, ".xscreensaver").write_text(settings)
    env = dict(env, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               XDG_CONFIG_HOME=os.path.join(home, ".config"))
    daemon = session.start(tool("xscreensaver"), "--no-splash", env=env, cwd=home,
                           **as_user(user))
    session.while_running(daemon, lambda: xscreensaver_command(session, "-time").returncode == 0,
                          60, "the daemon answered", 0.2)
    return daemon


def focus(session, window):
    # No window manager here: the window gets the focus from the test.
    session.xdotool("windowfocus", "--sync", str(window))


def gtk_env(session=None):
    """GTK without a session bus to wait for or start; with a session, a
    caret that does not blink, so the dialog's pixels change only on input."""
    if session:
        config = pathlib.Path(session.home, ".config", "gtk-3.0")
        config.mkdir(parents=True, exist_ok=True)
        (config / "settings.ini").write_text("[Settings]\ngtk-cursor-blink = false\n")
    return {"DBUS_SESSION_BUS_ADDRESS": "disabled:", "GIO_USE_VFS": "local",
            "GSETTINGS_BACKEND": "memory", "NO_AT_BRIDGE": "1", "LANG": "C.UTF-8"}


if __name__ == "__main__":
    sys.exit(run_case(globals(), LinuxSession))
