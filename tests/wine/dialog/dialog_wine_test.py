"""The settings dialog under Wine and Xvfb.

Usage: dialog_wine_test.py <scenario> <brenlow.scr>
(BRENLOW_SHOTS=<folder> keeps the collapsed and unfolded dialog as PNGs.)

The prefix's windows are unmanaged (Wine draws their frames), so an X
window's geometry is the dialog's outer frame.
"""

import os
import shutil
import sys
import tempfile

import winehelp

# The dialog at 96 dpi (15 twips per pixel): 5040 x 2400 twips, 4800 unfolded.
WIDTH, COLLAPSED, UNFOLDED = 336, 160, 320
# Client origin inside the frame that Wine draws: border and caption.
BORDER, CAPTION = 3, 22
DEFAULT_INI = "C:\\windows\\BR_LOW.bmp\r\nCasuali\r\n"


def client_point(session, window, x, y):
    geometry = session.xdotool("getwindowgeometry", "--shell", str(window))
    values = dict(line.split("=", 1) for line in geometry.split())
    return int(values["X"]) + BORDER + x, int(values["Y"]) + CAPTION + y


def geometry(session, window):
    return session.geometry(window)


def wait_height(session, window, height):
    return winehelp.poll(lambda: geometry(session, window)[3] == height, 30, 0.1,
                         f"dialog height {height}")


def click(session, window, x, y, double=False):
    sx, sy = client_point(session, window, x, y)
    session.mouse_move(sx, sy)
    args = ["click"] + (["--repeat", "2", "--delay", "60"] if double else []) + ["1"]
    session.xdotool(*args)


def ini(session):
    with open(os.path.join(session.windows_folder(), "brlscsav.ini"), "rb") as f:
        return f.read()


def open_dialog(session, scr, cwd, content=DEFAULT_INI):
    session.run("reg", "add", r"HKEY_CURRENT_USER\Software\Wine\X11 Driver", "/v", "Managed",
                "/t", "REG_SZ", "/d", "N", "/f", cwd="/tmp")
    session.write_windows_file("brlscsav.ini", content)
    process = session.start(scr, "/c:123", cwd=cwd)
    window = session.wait_window("^Impostazioni$")
    # Activation has filled the fields once the shape box shows text.
    return process, window


def crop(image, window_geometry, path):
    image.crop(*window_geometry).save(path)


SHOTS = os.environ.get("BRENLOW_SHOTS")


def case_opens(s, scr):
    _, w = open_dialog(s, scr, s.work)
    x, y, width, height = geometry(s, w)
    assert (width, height) == (WIDTH, COLLAPSED), (width, height)
    assert (x, y) == ((s.width - WIDTH) // 2, (s.height - COLLAPSED) // 2), (x, y)
    # A click in the path box selects the whole path: the selection's colour
    # runs along the text.
    left, top = client_point(s, w, 16, 88)

    def highlighted(image):
        return image.count(lambda c: c[2] > 200 and c[0] < 100, left, top, left + 241, top + 18)

    assert highlighted(s.screenshot()) < 20
    click(s, w, 200, 96)
    s.wait_screen(lambda image: highlighted(image) > 500, 30, "path selected")


def case_opens_120dpi(s, scr):
    # 12 twips per pixel: the same twips give 420 x 200 pixels.
    s.run("reg", "add", r"HKEY_CURRENT_USER\Control Panel\Desktop", "/v", "LogPixels",
          "/t", "REG_DWORD", "/d", "120", "/f", cwd="/tmp")
    p, w = open_dialog(s, scr, s.work)
    x, y, width, height = geometry(s, w)
    assert (width, height) == (420, 200), (width, height)
    assert (x, y) == ((s.width - 420) // 2, (s.height - 200) // 2), (x, y)


def case_shape_enter(s, scr):
    p, w = open_dialog(s, scr, s.work)
    # Focus starts on Ok; two tabs reach the shape box. Letters are
    # discarded; Down picks the entry after "Casuali".
    s.key("Tab", "Tab", "x", "y", "1", "Down", "z")
    s.key("Return")
    assert s.wait_exit(p, 30) == 0
    assert ini(s) == b"C:\\windows\\BR_LOW.bmp\r\nQuadrati\r\n", ini(s)


def case_escape(s, scr):
    old = "C:\\x.bmp\r\nOvali\r\nthird\r\n"
    p, w = open_dialog(s, scr, s.work, old)
    s.key("Tab", "Tab", "Down")
    s.key("Escape")
    assert s.wait_exit(p, 30) == 0
    assert ini(s) == old.encode(), ini(s)


def case_unfold(s, scr):
    p, w = open_dialog(s, scr, s.work)
    if SHOTS:
        crop(s.screenshot(), geometry(s, w), os.path.join(SHOTS, "dialog-collapsed.png"))
    click(s, w, 276, 96)  # Cmdsfoglia
    wait_height(s, w, UNFOLDED)
    x, y, width, _ = geometry(s, w)
    assert (x, y, width) == ((s.width - WIDTH) // 2, (s.height - COLLAPSED) // 2, WIDTH)
    click(s, w, 276, 96)
    wait_height(s, w, UNFOLDED)
    if SHOTS:
        crop(s.screenshot(), geometry(s, w), os.path.join(SHOTS, "dialog-unfolded.png"))


def case_pick_picture(s, scr):
    pics = os.path.join(s.work, "pics")
    os.makedirs(pics)
    for name in ("a.bmp", "b.bmp", "notes.txt"):
        shutil.copy(os.path.join(os.path.dirname(scr), "BR_LOW.bmp"), os.path.join(pics, name))
    p, w = open_dialog(s, scr, s.work)
    click(s, w, 276, 96)
    wait_height(s, w, UNFOLDED)
    # Dir1: Z:\, tmp, the work folder, then its subfolder "pics".
    click(s, w, 128 + 40, 136 + 2 + 17 * 3 + 8, double=True)
    # File1 fills with the folder's bitmaps: row 0 gets dark text.
    winehelp.poll(
        lambda: s.screenshot().count(lambda c: sum(c) < 200, *client_point(s, w, 18, 138),
                                     *client_point(s, w, 118, 152)),
        30, 0.1, "file list")
    click(s, w, 40, 136 + 2 + 6, double=True)
    wait_height(s, w, COLLAPSED)
    s.key("Return")
    assert s.wait_exit(p, 30) == 0
    expected = "Z:" + pics.replace("/", "\\") + "\\a.bmp\r\nCasuali\r\n"
    assert ini(s) == expected.encode(), (ini(s), expected)


def case_write_fails(s, scr):
    old = "C:\\x.bmp\r\nOvali\r\nthird\r\n"
    # A folder where the new file is first written makes the write fail
    # (root ignores read-only permissions).
    blocker = os.path.join(s.windows_folder(), "brlscsav.ini.tmp")
    os.makedirs(blocker, exist_ok=True)
    try:
        p, w = open_dialog(s, scr, s.work, old)
        s.key("Tab", "Tab", "Down")
        s.key("Return")
        s.wait_window("^brenlow$")
        assert p.poll() is None
        assert ini(s) == old.encode(), ini(s)
        s.key("Return")  # the message box has the focus
        winehelp.poll(lambda: not s.find_windows("^brenlow$"), 30, 0.1, "message closed")
        assert s.find_windows("^Impostazioni$") and p.poll() is None
    finally:
        os.rmdir(blocker)
    # The user tries again once the folder is writable.
    s.key("Return")
    assert s.wait_exit(p, 30) == 0
    assert ini(s) == b"C:\\x.bmp\r\nEllissi\r\n", ini(s)


class DialogSession(winehelp.Session):
    """A session with a scratch folder the dialog starts in."""

    def open(self):
        self.work = tempfile.mkdtemp(prefix="dlg")
        super().open()

    def close(self):
        try:
            super().close()
        finally:
            shutil.rmtree(self.work, ignore_errors=True)


if __name__ == "__main__":
    # The screen's resolution is a setting of the prefix: a prefix of its own.
    prefix = "dialog120" if sys.argv[1:2] == ["opens_120dpi"] else "dialog"
    sys.exit(winehelp.run_case(globals(), lambda: DialogSession(prefix)))
