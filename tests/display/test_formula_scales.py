# SPDX-License-Identifier: GPL-3.0-or-later
"""The formula pictures on a real X display at every common scale show their
bitmap drawn for that scale, pixel for pixel: no stroke resampled away."""

import math
import os
import sys
import time

from desk_session import Desk, gray_of_file, main_guard, wait_until

TITLE = "风速计算"
SCREEN = (1800, 1600)
MARGIN = 2  # device pixels left out at each edge of the visible part

# Where each bitmap's top-left pixel lies in the window, in pixels at 1x (its
# picture box's position inside the frame, plus the box's one-pixel border),
# and how much of it the box shows.
PICTURES = {
    "formula1": {"at": (8 + 40 + 1, 216 + 48 + 1), "visible": (167, 71)},
    "formula2": {"at": (8 + 40 + 1, 216 + 176 + 1), "visible": (231, 71)},
}


def drawn_scales(resources):
    """The scales the bitmaps are drawn at, as formula_scales.txt lists them."""
    with open(os.path.join(resources, "formula_scales.txt"), encoding="utf-8") as listing:
        return [line.strip() for line in listing if line[:1].isdigit()]


def bitmap_name(formula, scale):
    return f"{formula}.bmp" if scale == "1" else f"{formula}@{scale}x.bmp"


def find(screen, bitmap, expected_at, visible, scale):
    """Searches a few pixels around where the bitmap should be for an exact
    copy of its visible part; returns the offset or None."""
    sw, sh, spx = screen
    bw, bh, bpx = bitmap
    cols = min(bw, math.floor(visible[0] * scale)) - MARGIN
    rows = min(bh, math.floor(visible[1] * scale)) - MARGIN
    ex, ey = expected_at
    wanted = [bpx[r * bw + MARGIN:r * bw + cols] for r in range(MARGIN, rows)]
    for dy in range(-3, 4):
        for dx in range(-3, 4):
            ok = True
            for i, line in enumerate(wanted):
                y = ey + dy + MARGIN + i
                start = y * sw + ex + dx + MARGIN
                if spx[start:start + len(line)] != line:
                    ok = False
                    break
            if ok:
                return dx, dy
    return None


def check(program, resources, scale_text):
    scale = float(scale_text)
    with Desk(window_manager=False, screen=SCREEN) as desk:
        desk.start_program(program, {"QT_SCALE_FACTOR": scale_text})
        found = wait_until(lambda: desk.window_geometry(TITLE), 30, 0.1, "the window")
        client = found[0]
        assert client[2] == round(561 * scale), f"window {client} at scale {scale}"
        failures = []
        for formula, where in PICTURES.items():
            bitmap = gray_of_file(os.path.join(resources, bitmap_name(formula, scale_text)))
            at = (client[0] + round(where["at"][0] * scale), client[1] + round(where["at"][1] * scale))
            offset = None
            for attempt in range(20):  # the first frames may not be painted yet
                offset = find(desk.screenshot_gray(), bitmap, at, where["visible"], scale)
                if offset is not None:
                    break
                time.sleep(0.3)
            if offset is None:
                failures.append(f"{bitmap_name(formula, scale_text)} is not shown pixel for pixel "
                                f"near {at} at scale {scale_text}")
            else:
                print(f"scale {scale_text}: {bitmap_name(formula, scale_text)} shown exactly "
                      f"(offset {offset})")
        assert not failures, "; ".join(failures)


def run():
    program, resources = sys.argv[1], sys.argv[2]
    scales = sys.argv[3:] or drawn_scales(resources)
    for scale in scales:
        check(program, resources, scale)


if __name__ == "__main__":
    main_guard(run)
