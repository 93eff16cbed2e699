"""quillet.exe under Wine, run the way a new user runs it: from the folder
that holds the shipped files (taken from the build tree of the quillet.exe
given).

    installer_wine_test.py <scenario> <quillet.exe>

Scenarios: install, close_by_frame, missing_saver, saver_logo, no_display,
session_user, terminate.
"""
import getpass
import os
import shutil
import struct
import sys
import tempfile

import winehelp
from saverrun import check

SKIP = winehelp.SKIP
INSTALLED = ("brenlow.scr", "BR_LOW.bmp", "brlscsav.ini")
DEFAULTS = b"C:\\windows\\BR_LOW.bmp\r\nCasuali\r\n"
SHOTS = os.getcwd()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def clear_windows_folder(s):
    for name in INSTALLED:
        s.remove_windows_file(name)


def ship_folder(build, names):
    """A fresh folder with the named shipped files, as a user unpacks them."""
    folder = tempfile.mkdtemp(prefix="quillet-ship-")
    for name in names:
        shutil.copy(os.path.join(build, name), folder)
    return folder


def lit_box(image):
    """Bounding box (left, top, right, bottom) of what is not the black root."""
    xs, ys = [], []
    for y in range(0, image.height, 2):
        for x in range(0, image.width, 2):
            if image.pixel(x, y) != (0, 0, 0):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def setup_window(image):
    """The window with its button, once drawn: a light box about the centre
    of the screen with dark caption text in its middle; else None."""
    box = lit_box(image)
    if not box:
        return None
    left, top, right, bottom = box
    cx, cy = (left + right) // 2, (top + bottom) // 2
    dark = image.count(lambda p: max(p) < 100, cx - 80, cy - 15, cx + 80, cy + 15)
    return box if dark > 20 else None


def wait_setup_window(s, shot):
    found = []
    image = s.wait_screen(lambda im: found.append(setup_window(im)) or found[-1], 60,
                          "the window with the button")
    image.save(os.path.join(SHOTS, shot))
    left, top, right, bottom = found[-1]
    # 3600 x 2400 twips at 96 dpi: 240 x 160 pixels with the frame; Xvfb has
    # no window manager, so only the inner area is on the screen.
    check(200 <= right - left <= 242 and 100 <= bottom - top <= 162, found[-1])
    # Centred on the 1024 x 768 screen.
    check(abs((left + right) // 2 - 512) <= 12 and abs((top + bottom) // 2 - 384) <= 20,
          found[-1])
    return found[-1]


def check_installed(s, ship):
    windows = s.windows_folder()
    for name in ("brenlow.scr", "BR_LOW.bmp"):
        check(read(os.path.join(windows, name)) == read(os.path.join(ship, name)), name)
    settings = read(os.path.join(windows, "brlscsav.ini"))
    check(settings == DEFAULTS, settings)


def virtual_store_copy(s, user=None):
    """Where an unelevated saver's settings land for a user (the one Wine
    runs as, by default) under UAC."""
    return os.path.join(s.drive_c(), "users", user or getpass.getuser(), "AppData", "Local",
                        "VirtualStore", "windows", "brlscsav.ini")


def click_button(s):
    """Closes the window, for install(): a click in the button's middle."""
    def click(left, top, right, bottom):
        s.mouse_move((left + right) // 2, (top + bottom) // 2)
        s.xdotool("click", "1")
    return click


def install(s, build, shot, close, users=(None,)):
    ship = ship_folder(build, ("quillet.exe", "brenlow.scr", "BR_LOW.bmp"))
    # A user's earlier choice, which installing again resets, both in the
    # Windows folder and in the users' virtualized copies the saver reads
    # first.
    s.write_windows_file("brlscsav.ini", "C:\\foto\\mare.bmp\r\nCerchi\r\n")
    user_copies = [virtual_store_copy(s, user) for user in users]
    for user_copy in user_copies:
        os.makedirs(os.path.dirname(user_copy), exist_ok=True)
        with open(user_copy, "wb") as f:
            f.write(b"C:\\foto\\lago.bmp\r\nOvali\r\n")
    p = s.start(os.path.join(ship, "quillet.exe"), cwd=ship)
    left, top, right, bottom = wait_setup_window(s, shot)
    # All the work is done before the window shows.
    check_installed(s, ship)
    for user_copy in user_copies:
        check(not os.path.exists(user_copy), f"virtualized settings still there: {user_copy}")
    close(left, top, right, bottom)
    code = s.wait_exit(p, 30)
    check(code == 0, f"exit code {code}")
    shutil.rmtree(ship)


def case_install(s, quillet):
    build = os.path.dirname(quillet)
    clear_windows_folder(s)
    # The download mark of an earlier copy, where Wine keeps a stream: a
    # file named "<file>:Zone.Identifier" beside it. The installed saver
    # carries one; the logo none, which is no error.
    mark = os.path.join(s.windows_folder(), "brenlow.scr:Zone.Identifier")
    with open(mark, "w") as f:
        f.write("[ZoneTransfer]\r\nZoneId=3\r\n")

    install(s, build, "installer_window.ppm", click_button(s))
    check(not os.path.exists(mark), "the download mark is still there")
    check(not os.path.exists(mark.replace("brenlow.scr", "BR_LOW.bmp")),
          "the logo has a download mark")


def case_close_by_frame(s, quillet):
    build = os.path.dirname(quillet)

    def close(*box):
        ids = s.xdotool("search", "--onlyvisible", "--class", "quillet").split()
        check(ids, "no quillet window")
        # Resized from outside, the window goes back to its fixed size.
        s.xdotool("windowsize", "--sync", ids[0], "500", "400", check=False)
        s.wait_screen(lambda im: setup_window(im) == box, 30, "the window back at its size")
        s.close_window(int(ids[0]))

    install(s, build, "installer_window_close.ppm", close)


def case_missing_saver(s, quillet):
    build = os.path.dirname(quillet)
    clear_windows_folder(s)
    ship = ship_folder(build, ("quillet.exe", "BR_LOW.bmp"))
    p = s.start(os.path.join(ship, "quillet.exe"), cwd=ship)
    box = s.wait_window("Installazione")
    s.screenshot(os.path.join(SHOTS, "installer_missing_saver.ppm"))
    for name in INSTALLED:
        check(not os.path.exists(os.path.join(s.windows_folder(), name)), f"{name} was written")
    s.close_window(box)
    code = s.wait_exit(p, 30)
    # 0 is quillet's code for an installation done, 1 for one that failed.
    check(code == 1, f"a failed installation ended with exit code {code}")
    shutil.rmtree(ship)


def bitmap_pixels(path):
    """A 24-bit bottom-up BMP as rows of (r, g, b), top row first."""
    data = read(path)
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    check(bits == 24 and height > 0, f"{path}: {bits} bits a pixel, height {height}")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = data[offset + y * stride:offset + y * stride + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, len(row), 3)])
    return rows


def case_saver_logo(s, quillet):
    build = os.path.dirname(quillet)
    clear_windows_folder(s)

    install(s, build, "installer_window_before_saver.ppm", click_button(s))

    # The screen-saver machinery starts the installed saver from the
    # Windows folder.
    logo = bitmap_pixels(os.path.join(s.windows_folder(), "BR_LOW.bmp"))
    samples = [(x, y) for y in range(0, len(logo), 4) for x in range(0, len(logo[0]), 4)]

    def logo_shown(image):
        same = sum(1 for x, y in samples if image.pixel(x, y) == logo[y][x])
        return same >= 0.95 * len(samples)

    s.mouse_move(600, 400)
    p = s.start(os.path.join(s.windows_folder(), "brenlow.scr"), "/S", cwd=s.windows_folder())
    s.wait_screen(logo_shown, 240, "the installed logo in the top left-hand corner").save(
        os.path.join(SHOTS, "installer_saver_logo.ppm"))
    # Drawn by now, so it has read where the pointer started.
    s.mouse_move(700, 400)
    code = s.wait_exit(p, 30)
    check(code == 0, f"the installed saver ended with exit code {code}")


def case_no_display(s, quillet):
    """Without a display its window cannot be made: quillet installs, then
    ends with code 1 (the message box cannot show either)."""
    build = os.path.dirname(quillet)
    clear_windows_folder(s)
    ship = ship_folder(build, ("quillet.exe", "brenlow.scr", "BR_LOW.bmp"))
    env = s.env()
    env.pop("DISPLAY")
    p = s.start(os.path.join(ship, "quillet.exe"), cwd=ship, env=env)
    code = s.wait_exit(p, 120)
    check(code == 1, f"exit code {code}")
    check_installed(s, ship)
    shutil.rmtree(ship)


PROFILE_KEY = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"


def set_profile_folder(s, sid, folder):
    code = s.run("reg", "add", PROFILE_KEY + sid, "/v", "ProfileImagePath", "/t", "REG_SZ",
                 "/d", folder, "/f", timeout=120)
    check(code == 0, f"reg add: exit code {code}")


def case_session_user(s, quillet):
    """A standard user installs with an administrator's password: quillet
    runs as the administrator and removes the virtualized settings of both,
    the administrator's and those of the user signed in to the session. Wine
    has one user; its profile folder in the registry, moved to "anna",
    stands for the session user's, its LOCALAPPDATA for the
    administrator's."""
    build = os.path.dirname(quillet)
    clear_windows_folder(s)
    sid = "S-1-5-21-0-0-0-1000"  # Wine's one user
    own = f"C:\\users\\{getpass.getuser()}"

    set_profile_folder(s, sid, "C:\\users\\anna")
    try:
        install(s, build, "installer_window_session_user.ppm", click_button(s),
                users=(None, "anna"))
    finally:
        set_profile_folder(s, sid, own)


def case_terminate(s, quillet):
    """An exception nothing catches (the fault build throws one once the
    files are in place) ends quillet at once with abort's code 3: no box
    waits for a click, and what it installed stays."""
    build = os.path.dirname(quillet)
    clear_windows_folder(s)
    ship = ship_folder(build, ("quillet_fault.exe", "brenlow.scr", "BR_LOW.bmp"))
    p = s.start(os.path.join(ship, "quillet_fault.exe"), cwd=ship)
    code = s.wait_exit(p, 120)
    check(code == 3, f"exit code {code}")
    check_installed(s, ship)
    shutil.rmtree(ship)


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), lambda: winehelp.Session("installer")))
