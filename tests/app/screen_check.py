"""Measures screenshots for the X window tests (Pillow).

  screen_check.py box FILE             the box of the picture's pixels (not black):
                                       left top right bottom, inclusive
  screen_check.py diff FILE FILE [BOX [BOX2]]
                                       the mean difference of two screenshots, 0
                                       to 255, over the whole screen or the box
                                       "left top right bottom"; with BOX2 the
                                       first one's BOX scaled (nearest sample, as
                                       SDL scales) to the second one's BOX2
"""
import sys

from PIL import Image, ImageChops, ImageStat

# The letterbox and the screen around a window are black; the picture's
# darkest parts are dark grey at most where they are not black themselves.
BLACK_THRESHOLD = 24


def load(path):
    return Image.open(path).convert("RGB")


def box(path):
    grey = load(path).convert("L").point(lambda v: 255 if v > BLACK_THRESHOLD else 0)
    found = grey.getbbox()
    if found is None:
        return "none"
    left, top, right, bottom = found
    return f"{left} {top} {right - 1} {bottom - 1}"


def crop(image, region):
    left, top, right, bottom = (int(v) for v in region.split())
    return image.crop((left, top, right + 1, bottom + 1))


def diff(first, second, region=None, second_region=None):
    a, b = load(first), load(second)
    if region:
        a, b = crop(a, region), crop(b, second_region or region)
        a = a.resize(b.size, Image.NEAREST)
    mean = ImageStat.Stat(ImageChops.difference(a, b).convert("L")).mean[0]
    return f"{mean:.2f}"


def main(argv):
    if len(argv) == 3 and argv[1] == "box":
        print(box(argv[2]))
    elif 4 <= len(argv) <= 6 and argv[1] == "diff":
        print(diff(*argv[2:]))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
