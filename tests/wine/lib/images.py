"""Screenshots and pictures as pixels, and the predicates the tests ask of
them; the four-coloured test logo."""

import pathlib
import subprocess

import PIL.Image

from harness import tool

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
# The root of the two-monitor X server: what an uncovered monitor shows.
GREY = (128, 128, 128)


class Image:
    """A screenshot or a picture, its pixels as (r, g, b)."""

    def __init__(self, picture):
        self.picture = picture if picture.mode == "RGB" else picture.convert("RGB")
        self.width, self.height = self.picture.size
        self.pixels = self.picture.load()

    @property
    def data(self):
        return self.picture.tobytes()

    def pixel(self, x, y):
        return self.pixels[x, y]

    def region(self, left=0, top=0, right=None, bottom=None, step=1):
        """Pixels of [left, right) x [top, bottom), every step-th one."""
        right = self.width if right is None else right
        bottom = self.height if bottom is None else bottom
        for y in range(max(0, top), min(self.height, bottom), step):
            for x in range(max(0, left), min(self.width, right), step):
                yield self.pixels[x, y]

    def colours(self, *box, step=1):
        return set(self.region(*box, step=step))

    def count(self, predicate, *box, step=1):
        return sum(1 for p in self.region(*box, step=step) if predicate(p))

    def crop(self, left, top, width, height):
        return Image(self.picture.crop((left, top, left + width, top + height)))

    def save(self, path):  # in the format its name says
        self.picture.save(path)


def read_picture(path):
    return Image(PIL.Image.open(path))


# --- the test logo ------------------------------------------------------------

# 120 x 120 in four flat quadrants, copied unscaled to the top left corner.
# Its last row shows once the reveal is complete. No drawing of the saver's
# own has these colours: its shapes and tiles never have a channel at 0
# next to one at 255.
LOGO_SIDE = 120
QUADRANTS = {(0, 0): (255, 0, 0), (30, 30): (255, 0, 0), (90, 30): (0, 255, 0),
             (119, 0): (0, 255, 0), (30, 90): (0, 0, 255), (0, 119): (0, 0, 255),
             (90, 90): (255, 255, 0), (119, 119): (255, 255, 0)}
LOGO_COLOURS = frozenset(QUADRANTS.values())


def make_test_logo(path):
    """Writes the test logo as a 24-bit Windows bitmap; returns its bytes."""
    half = LOGO_SIDE // 2
    subprocess.run([tool("convert"), "-size", f"{half}x{half}", "xc:red", "xc:lime",
                    "+append", "(", "-size", f"{half}x{half}", "xc:blue", "xc:yellow", "+append",
                    ")", "-append", "BMP3:" + path], check=True, timeout=60)
    return pathlib.Path(path).read_bytes()


# --- screen predicates ----------------------------------------------------------
# box is (left, top, right, bottom); None is the whole screenshot.

def tiles(img, box=None):
    """The canvas fill: many colours, and more than an eighth of each of the
    box's quarters not black."""
    left, top, right, bottom = box or (0, 0, img.width, img.height)
    mx, my = (left + right) // 2, (top + bottom) // 2
    quarters = ((left, top, mx, my), (mx, top, right, my), (left, my, mx, bottom),
                (mx, my, right, bottom))
    return len(img.colours(left, top, right, bottom, step=8) - {BLACK}) >= 20 and all(
        8 * img.count(lambda p: p != BLACK, *q, step=8) > len(list(img.region(*q, step=8)))
        for q in quarters)


def black(img, box=(), step=8):
    return img.colours(*box or (), step=step) == {BLACK}


def lit(img, box=()):
    """Something drawn: a pixel neither black nor an uncovered monitor's grey."""
    return bool(img.colours(*box or (), step=4) - {BLACK, GREY})


def logo(img):
    """The whole test logo at the top left."""
    return all(img.pixel(x, y) == c for (x, y), c in QUADRANTS.items())


def logo_traces(img):
    """Pixels (every 2nd) in one of the test logo's colours: any part of it drawn."""
    return img.count(lambda p: p in LOGO_COLOURS, step=2)


def address(img):
    """White text in the bottom tenth of the screen, at the left."""
    w, h = img.width, img.height
    return img.count(lambda p: p == WHITE, 0, h - h // 10, w // 2, h) >= 20


def drawn_outside(img, box):
    """Whether a pixel outside the box is not black."""
    outside = img.picture.copy()
    outside.paste(BLACK, box)
    return outside.getbbox() is not None


def same_picture(expected, share=0.95, step=4):
    """Whether `expected` shows unscaled at the top left, in `share` of its pixels."""
    samples = [(x, y) for y in range(0, expected.height, step)
               for x in range(0, expected.width, step)]
    return lambda img: sum(img.pixel(x, y) == expected.pixel(x, y)
                           for x, y in samples) >= share * len(samples)
