"""The Linux quillet under Xvfb: installs into the XDG data home's brenlow
folder and shows its button; without the saver file it tells and stops.

    installer_linux_test.py <scenario> <path of quillet>

Scenarios: install, missing_saver.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import winehelp

BUTTON = "Set Up Completato."


def run(scenario, quillet):
    root = tempfile.mkdtemp(prefix="quillet-linux-")
    ship, data = os.path.join(root, "ship"), os.path.join(root, "data")
    os.makedirs(ship)
    folder = os.path.join(data, "brenlow")
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
        if scenario == "install":
            image = s.wait_screen(lambda im: im.count(lambda c: max(c) < 100, 432, 369, 592, 399)
                                  > 20 and im.pixel(512, 320) != (0, 0, 0), 60, "the button")
            image.save("installer_linux_window.ppm")
            expected = {"brenlow.scr": b"\x7fELF saver", "BR_LOW.bmp": b"BM logo",
                        "brlscsav.ini": (folder + "\\BR_LOW.bmp\r\nCasuali\r\n").encode()}
            for name, content in expected.items():
                with open(os.path.join(folder, name), "rb") as f:
                    assert f.read() == content, name
            s.mouse_move(512, 384)
            s.xdotool("click", "1")
            code = s.wait_exit(p, 30)
            assert code == 0, f"exit code {code}"
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
