"""quillet run as a new user runs it, from the folder of the shipped files:
quillet.exe under Wine, or the Linux quillet under Xvfb.

    installer_test.py <scenario> <quillet.exe | quillet>"""

import filecmp
import getpass
import os
import pathlib
import shutil
import sys

from harness import check, run_case
from images import BLACK, read_picture, same_picture
from linux_session import LinuxSession
from saverrun import START, Saver
from winesession import WineSession

INSTALLED = ("brenlow.scr", "BR_LOW.bmp", "brlscsav.ini")


def on_wine(s):
    return isinstance(s, WineSession)


def ship(s, quillet, saver=True, fake=False):
    """Nothing installed yet, and the folder a user unpacked, with the saver
    or without (fake: stand-ins for the saver and the logo)."""
    for name in INSTALLED:
        s.remove_windows_file(name)
    build, folder = os.path.dirname(quillet), os.path.join(s.log_dir, "ship")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    files = {"BR_LOW.bmp": ("BR_LOW.bmp", b"BM logo")}
    if saver:
        files["brenlow.scr"] = ("brenlow.scr" if on_wine(s) else "brenlow", b"\x7fELF saver")
    for name, (source, stand_in) in files.items():
        if fake:
            pathlib.Path(folder, name).write_bytes(stand_in)
        else:
            shutil.copy(os.path.join(build, source), os.path.join(folder, name))
    if on_wine(s):
        shutil.copy(quillet, folder)
        return folder, os.path.join(folder, "quillet.exe")
    return folder, quillet


def setup_window(image):
    """The box (left, top, right, bottom) of what is not the black root, once
    it has dark caption text in its middle; else None."""
    box = image.picture.getbbox()
    if not box:
        return None
    cx, cy = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    return box if image.count(lambda p: max(p) < 100, cx - 80, cy - 15, cx + 80, cy + 15) > 20 \
        else None


def check_installed(s, folder):
    windows = s.windows_folder()
    for name in ("brenlow.scr", "BR_LOW.bmp"):
        check(filecmp.cmp(os.path.join(windows, name), os.path.join(folder, name), False), name)
    where = "C:\\windows" if on_wine(s) else windows
    settings = pathlib.Path(windows, "brlscsav.ini").read_bytes()
    check(settings == f"{where}\\BR_LOW.bmp\r\nCasuali\r\n".encode(), settings)


def click_button(s, box, p):
    s.click_until((box[0] + box[2]) // 2, (box[1] + box[3]) // 2, s.exited(p), 30,
                  "the end after a click on the button")


def install(s, quillet, shot, close=click_button, fake=False, users=(None,)):
    """Installs with quillet, checks the files once its window shows, and
    ends it with close(session, window box, process): code 0."""
    folder, program = ship(s, quillet, fake=fake)
    # A user's earlier choice, which installing again resets, both in the
    # Windows folder and in the users' virtualized copies the saver reads
    # first (where an unelevated saver's settings land under UAC).
    s.write_windows_file("brlscsav.ini", "C:\\foto\\mare.bmp\r\nCerchi\r\n")
    copies = [pathlib.Path(s.drive_c(), "users", user or getpass.getuser(), "AppData", "Local",
                           "VirtualStore", "windows", "brlscsav.ini")
              for user in (users if on_wine(s) else ())]
    for copy in copies:
        copy.parent.mkdir(parents=True, exist_ok=True)
        copy.write_bytes(b"C:\\foto\\lago.bmp\r\nOvali\r\n")
    p = s.start(program, cwd=folder)
    found = []
    s.wait_screen(lambda im: found.append(setup_window(im)) or found[-1], START,
                  "the window with the button").save(os.path.abspath(shot))
    left, top, right, bottom = box = found[-1]
    # 3600 x 2400 twips at 96 dpi: 240 x 160 pixels with the frame; Xvfb has
    # no window manager, so only the inner area is on the screen, centred.
    check(200 <= right - left <= 242 and 100 <= bottom - top <= 162, box)
    check(abs((left + right) // 2 - s.width // 2) <= 12 and
          abs((top + bottom) // 2 - s.height // 2) <= 20, box)
    # All the work is done before the window shows.
    check_installed(s, folder)
    for copy in copies:
        check(not copy.exists(), f"virtualized settings still there: {copy}")
    close(s, box, p)
    check(p.returncode == 0, f"exit code {p.returncode}")


def case_install(s, quillet):
    """On Wine, quillet also removes what an earlier copy left: the download
    mark, and the virtualized settings of both a standard user who installs
    with an administrator's password and of that administrator. Wine has
    one user; its profile folder in the registry, moved to "anna", stands
    for the session user's, its LOCALAPPDATA for the administrator's."""
    if not on_wine(s):
        return install(s, quillet, "installer_window.png", fake=True)
    # The download mark of an earlier copy, where Wine keeps a stream: a
    # file named "<file>:Zone.Identifier" beside it. The installed saver
    # carries one; the logo none, which is no error.
    mark = os.path.join(s.windows_folder(), "brenlow.scr:Zone.Identifier")
    pathlib.Path(mark).write_text("[ZoneTransfer]\r\nZoneId=3\r\n")
    key = ("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"
           "S-1-5-21-0-0-0-1000")  # Wine's one user
    s.reg(key, "ProfileImagePath", "REG_SZ", "C:\\users\\anna")
    try:
        install(s, quillet, "installer_window.png", users=(None, "anna"))
    finally:
        s.reg(key, "ProfileImagePath", "REG_SZ", f"C:\\users\\{getpass.getuser()}")
    check(not os.path.exists(mark), "the download mark is still there")
    check(not os.path.exists(mark.replace("brenlow.scr", "BR_LOW.bmp")),
          "the logo has a download mark")


def case_close_by_frame(s, quillet):
    def close(s, box, p):
        ids = s.xdotool("search", "--onlyvisible", "--class", "quillet").split()
        check(ids, "no quillet window")
        # Resized from outside, the window goes back to its fixed size.
        s.xdotool("windowsize", "--sync", ids[0], "500", "400", check=False)
        s.wait_screen(lambda im: setup_window(im) == box, 30, "the window back at its size")
        s.close_until_exit(int(ids[0]), p, 30)

    install(s, quillet, "installer_window_close.png", close)


def case_missing_saver(s, quillet):
    folder, program = ship(s, quillet, saver=False)
    p = s.start(program, cwd=folder)
    if on_wine(s):
        box = s.wait_window("Installazione")
        s.screenshot(os.path.abspath("installer_missing_saver.png"))
        s.close_until_exit(box, p, 30)
    else:
        # The message box: anything lit on the black screen. Without a window
        # manager the keyboard follows the pointer; its one button takes Return.
        s.wait_screen(lambda im: im.pixel(512, 280) != BLACK, START, "the message box")
        s.mouse_move(512, 280)
        s.key_until(["Return"], s.exited(p), 30, "the end after Return")
        check("brenlow.scr" in s.output(p), "the message does not name brenlow.scr")
    check(not any(os.path.exists(os.path.join(s.windows_folder(), n)) for n in INSTALLED),
          f"written: {os.listdir(s.windows_folder())}")
    # 0 is quillet's code for an installation done, 1 for one that failed.
    check(p.returncode == 1, f"a failed installation ended with exit code {p.returncode}")


def case_saver_logo(s, quillet):
    install(s, quillet, "installer_window_before_saver.png")
    # The screen-saver machinery starts the installed saver from the Windows
    # folder; it shows the installed logo in the top left-hand corner (the
    # copy kept the execute bit on Linux).
    windows = s.windows_folder()
    s.mouse_move(600, 400)
    saver = Saver(s, os.path.join(windows, "brenlow.scr"), keep_settings=True, cwd=windows)
    saver.wait(same_picture(read_picture(os.path.join(windows, "BR_LOW.bmp"))), 240,
               "the installed logo").save(os.path.abspath("installer_saver_logo.png"))
    saver.end_by_move(100)


def case_no_display(s, quillet):
    """Without a display its window cannot be made: quillet installs, then
    ends with code 1 (on Linux saying why)."""
    folder, program = ship(s, quillet, fake=not on_wine(s))
    output = s.finished(program, cwd=folder, code=1,
                        env={"DISPLAY": None if on_wine(s) else ":65000"})
    check(on_wine(s) or "non si apre" in output, output)
    check_installed(s, folder)


def case_terminate(s, quillet):
    """An exception nothing catches (the fault build throws one once the
    files are in place) ends quillet at once with abort's code 3: no box
    waits for a click, and what it installed stays."""
    folder, _ = ship(s, quillet)
    shutil.copy(os.path.join(os.path.dirname(quillet), "quillet_fault.exe"), folder)
    s.finished(os.path.join(folder, "quillet_fault.exe"), cwd=folder, code=3)
    check_installed(s, folder)


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession("installer") if sys.argv[2].endswith(".exe")
                      else LinuxSession()))
