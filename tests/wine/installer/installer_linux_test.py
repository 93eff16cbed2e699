"""The Linux quillet under Xvfb: installs into the XDG data home's brenlow
folder and shows its button; without the saver file it tells and stops.

    installer_linux_test.py <scenario> <path of quillet>

Scenarios: install, missing_saver, saver_logo (installs, then runs the
Linux brenlow built beside quillet, which must show the installed logo).
"""
import os
import shutil
import subprocess
import sys
import tempfile

import winehelp
from installer_wine_test import SKIP, bitmap_pixels

BUTTON = "Set Up Completato."


def show_saver(s, env, saver, logo_path):
    """The Linux saver, started after the installation, shows the installed
    logo in the top left-hand corner. (How it ends is the saver's own test.)"""
    logo = bitmap_pixels(logo_path)
    samples = [(x, y) for y in range(0, len(logo), 4) for x in range(0, len(logo[0]), 4)]

    def logo_shown(image):
        same = sum(1 for x, y in samples if image.pixel(x, y) == logo[y][x])
        return same >= 0.95 * len(samples)

    s.mouse_move(600, 400)
    p = subprocess.Popen([saver, "/S"], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    try:
        s.wait_screen(logo_shown, 240, "the installed logo").save("installer_linux_saver.ppm")
    finally:
        if p.poll() is None:
            p.kill()


def run(scenario, quillet):
    root = tempfile.mkdtemp(prefix="quillet-linux-")
    ship, data = os.path.join(root, "ship"), os.path.join(root, "data")
    os.makedirs(ship)
    folder = os.path.join(data, "brenlow")
    build = os.path.dirname(quillet)
    saver = os.path.join(build, "brenlow")
    if scenario == "saver_logo":
        if not os.path.exists(saver):
            print(f"skipped: {saver} not built")
            return SKIP
        shutil.copy(os.path.join(build, "BR_LOW.bmp"), ship)
        shutil.copy(saver, os.path.join(ship, "brenlow.scr"))
    else:
        with open(os.path.join(ship, "BR_LOW.bmp"), "wb") as f:
            f.write(b"BM logo")
    if scenario == "install":
        with open(os.path.join(ship, "brenlow.scr"), "wb") as f:
            f.write(b"\x7fELF saver")

    s = winehelp.Session("unused")  # for its Xvfb and screen helpers; no Wine here
    s.start_xvfb()
    p = None
    try:
        env = dict(os.environ, DISPLAY=s.display, XDG_DATA_HOME=data)
        p = subprocess.Popen([quillet], cwd=ship, env=env, stderr=subprocess.PIPE)
        if scenario in ("install", "saver_logo"):
            image = s.wait_screen(lambda im: im.count(lambda c: max(c) < 100, 432, 369, 592, 399)
                                  > 20 and im.pixel(512, 320) != (0, 0, 0), 60, "the button")
            image.save("installer_linux_window.ppm")
            expected = {"brlscsav.ini": (folder + "\\BR_LOW.bmp\r\nCasuali\r\n").encode()}
            for name in ("brenlow.scr", "BR_LOW.bmp"):
                with open(os.path.join(ship, name), "rb") as f:
                    expected[name] = f.read()
            for name, content in expected.items():
                with open(os.path.join(folder, name), "rb") as f:
                    assert f.read() == content, name
            s.mouse_move(512, 384)
            s.xdotool("click", "1")
            code = s.wait_exit(p, 30)
            assert code == 0, f"exit code {code}"
            if scenario == "saver_logo":
                show_saver(s, env, saver, os.path.join(folder, "BR_LOW.bmp"))
        else:
            # The message box: anything lit on the black screen.
            s.wait_screen(lambda im: im.pixel(512, 280) != (0, 0, 0), 60, "the message box")
            assert os.listdir(folder) == [], os.listdir(folder)
            # Without a window manager the keyboard follows the pointer; the
            # box's one button takes the Return key.
            s.mouse_move(512, 280)
            s.key("Return")
            code = s.wait_exit(p, 30)
            assert code == 1, f"exit code {code}"
            assert b"brenlow.scr" in p.stderr.read()
    finally:
        if p and p.poll() is None:
            p.kill()
        s.xvfb.terminate()
        s.xvfb.wait(timeout=10)
        shutil.rmtree(root)
    return 0


if __name__ == "__main__":
    sys.exit(run(*sys.argv[1:]))
