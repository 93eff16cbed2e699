"""The settings dialog under Wine and Xvfb; its windows are unmanaged (Wine
draws their frames), so an X window's geometry is the dialog's outer frame.

    dialog_wine_test.py <scenario> <brenlow.scr>   (BRENLOW_SHOTS=<folder> keeps shots)"""

import os
import pathlib
import re
import shutil
import sys

from harness import check, run_case
from images import BLACK, WHITE
from winesession import WineSession

# The dialog at 96 dpi (15 twips per pixel): 5040 x 2400 twips, 4800 unfolded.
WIDTH, COLLAPSED, UNFOLDED = 336, 160, 320
# Client origin inside the frame that Wine draws: border and caption.
BORDER, CAPTION = 3, 22
DEFAULT_INI = "C:\\windows\\BR_LOW.bmp\r\nCasuali\r\n"
OLD_INI = "C:\\x.bmp\r\nOvali\r\nthird\r\n"
SHOTS = os.environ.get("BRENLOW_SHOTS")
# Seconds for an input's effect: Wine on a loaded machine may take many.
LIMIT = 90


def selected(colour):  # the selection's blue
    return colour[2] > 200 and colour[0] < 120


def client_point(s, window, x, y):
    left, top, _, _ = s.geometry(window)
    return left + BORDER + x, top + CAPTION + y


def height_is(s, window, height):
    return lambda: s.geometry(window)[3] == height


def click(s, window, x, y, seen, what, double=False):  # x, y inside the frame
    return s.click_until(*client_point(s, window, x, y), seen, LIMIT, what, double)


def check_ini(s, expected):
    found = pathlib.Path(s.windows_folder(), "brlscsav.ini").read_bytes().decode()
    check(found == expected, f"settings file {found!r}, expected {expected!r}")


def open_dialog(s, program, cwd, content=DEFAULT_INI, args=("/c:123",), env=None):
    s.reg(r"HKEY_CURRENT_USER\Software\Wine\X11 Driver", "Managed", "REG_SZ", "N")
    s.write_windows_file("brlscsav.ini", content)
    process = s.start(program, *args, cwd=cwd, env=env)
    window = s.wait_window("^Impostazioni$")
    s.settled(s.geometry(window))
    return process, window


def keys(s, window, *names):
    s.key_until(names, s.changed(s.geometry(window)), LIMIT, f"the dialog after {names}")


def set_dpi(s, dpi):
    s.reg(r"HKEY_CURRENT_USER\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi))


def case_opens(s, scr):
    """A click in the path box selects the whole path: the selection's
    colour runs along the text."""
    _, w = open_dialog(s, scr, s.log_dir)
    left, top = client_point(s, w, 16, 88)

    def highlighted():
        return s.screenshot().count(selected, left, top, left + 241, top + 18)

    check(highlighted() < 20, "the path is selected before the click")
    click(s, w, 200, 96, lambda: highlighted() > 500, "the path selected")


def case_keys(s, scr):
    """Focus starts on Ok; two tabs reach the shape box, where letters are
    discarded and Down picks the next entry. Return keeps it; Escape and the
    close box keep the file as it was. /c with a window number or /C alone
    opens the dialog and no saver window."""
    for args, content, names, end, expected in (
            ("/c:123", DEFAULT_INI, ("Tab", "Tab", "x", "y", "1", "Down", "z"), "Return",
             "C:\\windows\\BR_LOW.bmp\r\nQuadrati\r\n"),
            ("/c:99", OLD_INI, ("Tab", "Tab", "Down"), "Escape", OLD_INI),
            ("/C", OLD_INI, ("Tab", "Tab", "Down"), "the close box", OLD_INI)):
        p, w = open_dialog(s, scr, s.log_dir, content, (args,))
        check(not s.find_windows("^brenlow$"), f"{args}: the saver window was shown")
        keys(s, w, *names)
        if end == "the close box":
            check(s.close_until_exit(w, p) == 0, f"{args}: exit code {p.returncode} on closing")
        else:
            s.end_with_key(p, end, LIMIT)
        check_ini(s, expected)


def case_unfold(s, scr):
    """Unfolded, the dialog keeps its place and width; a folder opened and a
    bitmap double-clicked set the path and fold it, and Return saves it."""
    pics = os.path.join(s.log_dir, "pics")
    os.makedirs(pics)
    for name in ("a.bmp", "b.bmp", "notes.txt"):
        shutil.copy(os.path.join(os.path.dirname(scr), "BR_LOW.bmp"), os.path.join(pics, name))
    p, w = open_dialog(s, scr, s.log_dir)
    for shot in ("collapsed", "unfolded"):
        if shot == "unfolded":  # Cmdsfoglia
            click(s, w, 276, 96, height_is(s, w, UNFOLDED), "the unfolded dialog")
        if SHOTS:
            s.screenshot().crop(*s.geometry(w)).save(os.path.join(SHOTS, f"dialog-{shot}.png"))
    x, y, width, _ = s.geometry(w)
    check((x, y, width) == ((s.width - WIDTH) // 2, (s.height - COLLAPSED) // 2, WIDTH),
          f"placed at {(x, y)}, {width} wide")
    # Dir1: Z:\, tmp, the work folder, then its subfolder "pics". File1
    # fills with the folder's bitmaps: row 0 gets dark text.
    click(s, w, 128 + 40, 136 + 2 + 17 * 3 + 8,
          lambda: s.screenshot().count(lambda c: sum(c) < 200, *client_point(s, w, 18, 138),
                                       *client_point(s, w, 118, 152)), "the file list", True)
    click(s, w, 40, 136 + 2 + 6, height_is(s, w, COLLAPSED), "the folded dialog", True)
    s.end_with_key(p, "Return", LIMIT)
    check_ini(s, "Z:" + pics.replace("/", "\\") + "\\a.bmp\r\nCasuali\r\n")


def case_write_fails(s, scr):
    # A folder where the new file is first written makes the write fail
    # (root ignores read-only permissions).
    blocker = os.path.join(s.windows_folder(), "brlscsav.ini.tmp")
    os.makedirs(blocker, exist_ok=True)
    try:
        p, w = open_dialog(s, scr, s.log_dir, OLD_INI)
        keys(s, w, "Tab", "Tab", "Down")
        s.key_until(["Return"], lambda: s.find_windows("^brenlow$"), LIMIT, "the message")
        check(p.poll() is None, "the dialog ended on a failed write")
        check_ini(s, OLD_INI)
        # The message box has the focus.
        s.key_until(["Return"], lambda: not s.find_windows("^brenlow$"), LIMIT, "message closed")
        check(s.find_windows("^Impostazioni$") and p.poll() is None,
              "the dialog went with the message")
    finally:
        os.rmdir(blocker)
    # The user tries again once the folder is writable.
    s.end_with_key(p, "Return", LIMIT)
    check_ini(s, "C:\\x.bmp\r\nEllissi\r\n")


# --- text inside its controls ---------------------------------------------

# Where the form's design puts the controls, in twips (left, top, width,
# height): the screen is checked against these numbers, not against what
# the dialog computes from them.
TWIPS = {"CmdOk": (3360, 120, 972, 372), "CmdAnn": (3360, 600, 972, 372),
         "Cmdsfoglia": (3960, 1320, 372, 252),
         "Label1": (240, 120, 732, 252), "Label2": (360, 960, 1572, 252),
         "Text1": (240, 1320, 3612, 276), "Dir1": (1920, 2040, 2412, 1800),
         "File1": (240, 2040, 1572, 2040)}


def pixels(twips, dpi):
    """A layout rectangle in the dialog's pixels at dpi, the nearest way."""
    tpp = 1440 // dpi
    return tuple(round(t / tpp) for t in twips)


def separator(image):
    """The separator, a black line (Line1) over a white one (Line2): the
    longest such run as (left, y, length), or None."""
    pixels = list(image.picture.getdata())
    rows = [pixels[y * image.width:(y + 1) * image.width] for y in range(image.height)]
    runs = [(m.start(), y, m.end() - m.start())
            for y, (row, below) in enumerate(zip(rows, rows[1:]))
            for m in re.finditer(rb"\x01{41,}", bytes(a == BLACK and b == WHITE
                                                     for a, b in zip(row, below)))]
    return max(runs, key=lambda run: run[2], default=None)


def client_origin(image, dpi):
    """Where the dialog's inner area begins in a screenshot of its frame:
    the separator starts 10 pixels inside the left edge, 25 pixels below
    the path box."""
    found = separator(image)
    check(found, "no separator found")
    left, top, width, height = pixels(TWIPS["Text1"], dpi)
    return found[0] - 10, found[1] - (top + height + 25)


def ink_rows(image, box, is_ink):
    left, top, right, bottom = box
    return [y for y in range(top, bottom)
            if any(is_ink(image.pixel(x, y)) for x in range(left, right))]


def text_inside(image, name, box, is_ink):
    """The text of a control lies wholly inside box: there is ink, and the
    rows at the box's top and bottom edge hold none (a clipped line of text
    has its descenders or its top cut at the edge)."""
    rows = ink_rows(image, box, is_ink)
    check(rows, f"{name}: no text in {box}")
    check(rows[0] > box[1] and rows[-1] < box[3] - 1,
          f"{name}: text rows {rows[0]}..{rows[-1]} reach the edge of {box[1]}..{box[3] - 1}")
    return rows


def selected_rows(image, box):
    left, top, right, bottom = box
    return [y for y in range(top, bottom) if selected(image.pixel(left + 1, y))]


def case_text_fits(s, scr, dpi):
    """At 96, 120 and 144 dpi the dialog has the form's size in twips, and
    every text lies inside its control: labels,
    buttons, the path box, and the selected rows of the folder and file
    lists, all with descenders to lose (g, j, p, q, y)."""
    set_dpi(s, dpi)
    dpi = int(dpi)
    folder = os.path.join(s.log_dir, "gjpqy")
    os.makedirs(os.path.join(folder, "jpg"))
    shutil.copy(os.path.join(os.path.dirname(scr), "BR_LOW.bmp"),
                os.path.join(folder, "gjpqy.bmp"))
    p, w = open_dialog(s, scr, folder, "C:\\gjpqy\\jpg\\pygmy.bmp\r\nCasuali\r\n")
    s.wait_screen(lambda im: separator(im.crop(*s.geometry(w))), LIMIT, "the separator")
    frame = s.geometry(w)
    # The form's 5040 x 2400 twips, centred.
    size = pixels((5040, 2400), dpi)
    check(frame == ((s.width - size[0]) // 2, (s.height - size[1]) // 2, *size),
          f"the dialog's frame {frame} at {dpi} dpi")
    ox, oy = client_origin(s.screenshot().crop(*frame), dpi)
    x0, y0 = frame[0] + ox, frame[1] + oy

    def box(name, inset_x=0, inset_y=0):
        left, top, width, height = pixels(TWIPS[name], dpi)
        return (x0 + left + inset_x, y0 + top + inset_y, x0 + left + width - inset_x,
                y0 + top + height - inset_y)

    dark = lambda c: sum(c) < 300
    # Unfold, pick the file (so its row is selected too), and look.
    browse = pixels(TWIPS["Cmdsfoglia"], dpi)
    s.click_until(x0 + browse[0] + browse[2] // 2, y0 + browse[1] + browse[3] // 2,
                  lambda: s.geometry(w)[3] > frame[3], LIMIT, "the unfolded dialog")
    file1 = box("File1", 2, 2)
    s.wait_screen(lambda im: ink_rows(im, file1, dark), LIMIT, "the file list")
    image = s.click_until(file1[0] + 10, file1[1] + 4,
                          s.shows(lambda im: len(selected_rows(im, file1)) > 4), LIMIT,
                          "the file selected")
    shot = os.path.abspath(f"dialog-{dpi}dpi.png")
    image.crop(*s.geometry(w)).save(shot)
    print(f"screenshot {shot}")

    # Labels on the dialog's face; buttons inside their edges (and the
    # default button's frame); the path box inside its sunken edge.
    for name, inset_x, inset_y in (("Label1", 0, 0), ("Label2", 0, 0), ("CmdOk", 6, 3),
                                   ("CmdAnn", 6, 3), ("Text1", 2, 2)):
        rows = text_inside(image, name, box(name, inset_x, inset_y), dark)
        print(f"{name}: text rows {rows[0] - y0}..{rows[-1] - y0} of "
              f"{box(name)[1] - y0}..{box(name)[3] - 1 - y0}")
    # The selected rows: white text inside the band of the selection
    # colour. Dir1's text begins after the indent and the folder glyph.
    depth = folder.rstrip("/").count("/")
    for name, text_left in (("Dir1", 2 + 8 * depth + 19), ("File1", 0)):
        inner = box(name, 2, 2)
        band = selected_rows(image, inner)
        check(band, f"{name}: no selected row")
        band_box = (inner[0] + text_left, band[0], inner[2] - 20, band[-1] + 1)
        rows = text_inside(image, f"{name}'s selected row", band_box, lambda c: sum(c) > 600)
        print(f"{name}: selected row {band[0] - y0}..{band[-1] - y0}, "
              f"text rows {rows[0] - y0}..{rows[-1] - y0}")
    s.end_with_key(p, "Escape", LIMIT)


def case_callback_errors(s, fault_exe):
    """An error inside the dialog's window procedure or a subclass procedure
    reaches the program's error path: a message, then exit code 1 (not a
    run-time abort). brenlow_fault.exe throws in the event named by
    BRENLOW_FAULT."""
    message = lambda: s.find_windows("^brenlow$")  # noqa: E731
    triggers = {"CmdOk_Click": lambda w: s.key_until(["Return"], message, LIMIT, "the message"),
                "Text1_Click": lambda w: click(s, w, 100, 96, message, "the message"),
                "Combo1_KeyPress": lambda w: s.key_until(["Tab", "Tab", "x"], message, LIMIT,
                                                         "the message")}
    for event, trigger in triggers.items():
        p, w = open_dialog(s, fault_exe, s.log_dir, args=("/c",),
                           env={"BRENLOW_FAULT": event})
        trigger(w)
        s.screenshot(os.path.abspath(f"callback-error-{event}.png"))
        check(p.poll() is None, f"{event}: ended with {p.returncode} before its message")
        # The box has the focus; its OK button takes Return.
        s.end_with_key(p, "Return", LIMIT, code=1)
        print(f"{event}: message shown, exit code 1")


if __name__ == "__main__":
    # The screen's resolution is a setting of the prefix: one for each.
    sys.exit(run_case(globals(), lambda: WineSession(os.environ.get("BRENLOW_WINE_PREFIX",
                                                                    "dialog"))))
