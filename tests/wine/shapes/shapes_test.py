"""Each shape family: brenlow.scr under Wine in its closing hold against what
brenlow-render paints for the same first cycle (both start the generator
from the same state) on the software raster.

    python3 shapes_test.py family <family> <brenlow.scr> <brenlow-render>"""

import os
import subprocess
import sys
import tempfile

import PIL.ImageChops

from harness import run_case
from images import logo, read_picture
from saverrun import CYCLE, Saver, put_logo
from winesession import WineSession
from xsession import SCREEN_HEIGHT as H, SCREEN_WIDTH as W

# The address is printed at 95 % of the height in a font of each system's
# own; the rows from here down are left out of the comparison.
TEXT_TOP = H - H // 10


def render(render_exe, family, picture, out):
    subprocess.run([render_exe, "--size", f"{W}x{H}", "--shape", family, "--picture", picture,
                    "--out", out], check=True, stdout=subprocess.DEVNULL, timeout=300)
    return read_picture(os.path.join(out, f"{family}-3-logo.png"))


def case_family(session, family, exe, render_exe):
    with tempfile.TemporaryDirectory() as out:
        line = put_logo(session)
        expected = render(render_exe, family, os.path.join(session.drive_c(), "quad.bmp"), out)
    saver = Saver(session, exe, line, family)
    shot = saver.wait(logo, CYCLE, f"{family}: the logo")
    saver.end_by_move(50, what=f"{family}: ")
    difference = PIL.ImageChops.difference(shot.picture, expected.picture).crop((0, 0, W, TEXT_TOP))
    total = W * TEXT_TOP
    agreement = sum(1 for p in difference.getdata() if p == (0, 0, 0)) / total
    print(f"{family}: {agreement:.5%} of {total} pixels as the software raster paints them")
    if agreement < 0.999:
        shot.save(f"{family}-wine.png")
        expected.save(f"{family}-soft.png")
        raise AssertionError(f"{family}: only {agreement:.4%} of the pixels agree")


if __name__ == "__main__":
    sys.exit(run_case(globals(), lambda: WineSession("shapes")))
