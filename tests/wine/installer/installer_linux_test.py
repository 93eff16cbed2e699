"""The Linux quillet under Xvfb: installs into the XDG data home's brenlow
folder and shows its button; without the saver file it tells and stops.

    installer_linux_test.py <scenario> <path of quillet>

Scenarios: install, missing_saver, saver_logo (installs the Linux brenlow
built beside quillet, then runs the installed copy, which must show the
installed logo), no_display.
"""
import os
import shutil
import sys

import winehelp
from saverrun import check
from installer_wine_test import bitmap_pixels
from linux_session import LinuxSession


def ship_folder(s, files):
    """The folder a user unpacked: name -> bytes, or a path to copy."""
    ship = os.path.join(s.home, "ship")
    os.makedirs(ship)
    for name, content in files.items():
        if isinstance(content, bytes):
            with open(os.path.join(ship, name), "wb") as f:
                f.write(content)
        else:
            shutil.copy(content, os.path.join(ship, name))
    return ship


def read(path):
    with open(path, "rb") as f:
        return f.read()


def install_and_click(s, quillet, ship):
    folder = s.windows_folder()
    p = s.start(quillet, cwd=ship)
    s.wait_screen(lambda im: im.count(lambda c: max(c) < 100, 432, 369, 592, 399) > 20 and
                  im.pixel(512, 320) != (0, 0, 0), 60, "the button").save(
                      "installer_linux_window.png")
    # All the work is done before the window shows.
    settings = read(os.path.join(folder, "brlscsav.ini"))
    check(settings == (folder + "\\BR_LOW.bmp\r\nCasuali\r\n").encode(), settings)
    for name in ("brenlow.scr", "BR_LOW.bmp"):
        check(read(os.path.join(folder, name)) == read(os.path.join(ship, name)), name)
    s.mouse_move(512, 384)
    s.xdotool("click", "1")
    code = s.wait_exit(p, 30)
    check(code == 0, f"exit code {code}")


def case_install(s, quillet):
    ship = ship_folder(s, {"BR_LOW.bmp": b"BM logo", "brenlow.scr": b"\x7fELF saver"})
    install_and_click(s, quillet, ship)


def case_missing_saver(s, quillet):
    ship = ship_folder(s, {"BR_LOW.bmp": b"BM logo"})
    p = s.start(quillet, cwd=ship)
    # The message box: anything lit on the black screen.
    s.wait_screen(lambda im: im.pixel(512, 280) != (0, 0, 0), 60, "the message box")
    check(os.listdir(s.windows_folder()) == [], os.listdir(s.windows_folder()))
    # Without a window manager the keyboard follows the pointer; the box's
    # one button takes the Return key.
    s.mouse_move(512, 280)
    s.key("Return")
    code = s.wait_exit(p, 30)
    check(code == 1, f"exit code {code}")
    check(b"brenlow.scr" in s.output(p), "the message does not name brenlow.scr")


def case_saver_logo(s, quillet):
    build = os.path.dirname(quillet)
    ship = ship_folder(s, {"BR_LOW.bmp": os.path.join(build, "BR_LOW.bmp"),
                           "brenlow.scr": os.path.join(build, "brenlow")})
    install_and_click(s, quillet, ship)
    # The installed saver shows the installed logo in the top left-hand
    # corner. (How it ends is the saver's own test.)
    logo = bitmap_pixels(os.path.join(s.windows_folder(), "BR_LOW.bmp"))
    samples = [(x, y) for y in range(0, len(logo), 4) for x in range(0, len(logo[0]), 4)]

    def logo_shown(image):
        same = sum(1 for x, y in samples if image.pixel(x, y) == logo[y][x])
        return same >= 0.95 * len(samples)

    s.mouse_move(600, 400)
    # The installed copy runs: the copy kept the execute bit.
    installed = os.path.join(s.windows_folder(), "brenlow.scr")
    check(os.access(installed, os.X_OK), oct(os.stat(installed).st_mode))
    s.start(installed, "/S")
    s.wait_screen(logo_shown, 240, "the installed logo").save("installer_linux_saver.png")


def case_no_display(s, quillet):
    """Without a display to show its window on, quillet installs, then says
    why the window did not open and ends with code 1."""
    ship = ship_folder(s, {"BR_LOW.bmp": b"BM logo", "brenlow.scr": b"\x7fELF saver"})
    p = s.start(quillet, cwd=ship, env=dict(s.env(), DISPLAY=":65000"))
    code = s.wait_exit(p, 60)
    output = s.output(p).decode(errors="replace")
    check(code == 1, f"exit code {code}: {output}")
    check("non si apre" in output, output)
    check(read(os.path.join(s.windows_folder(), "brenlow.scr")) == b"\x7fELF saver",
          "the installed brenlow.scr is not the shipped one")


if __name__ == "__main__":
    sys.exit(winehelp.run_case(globals(), LinuxSession))
