# SPDX-License-Identifier: GPL-3.0-or-later
"""Where the window opens on a real X server under a window manager: on a
small screen at a large scale, where it does not fit, at the top-left of the
screen with its title bar on it; and a second window of the program offset
from the first, not exactly on top of it."""

import sys
import time

from desk_session import Desk, _rect, main_guard, wait_until

TITLE = "风速计算"


def framed(desk, count=1):
    """The (client, frame) rectangles of the program's windows once openbox
    has framed them all, in the order of the window tree."""
    def all_framed():
        rows = desk.window_tree()
        geometries = []
        for i, (depth, text) in enumerate(rows):
            if f'"{TITLE}"' not in text or depth < 2:
                continue
            client = _rect(text)
            if client is None or client[2] < 50:
                continue
            top = None
            for j in range(i, -1, -1):
                if rows[j][0] == 1:
                    top = _rect(rows[j][1])
                    break
            if top is None or top[2:] == client[2:]:
                return None  # not framed yet
            geometries.append((client, top))
        return geometries if len(geometries) >= count else None
    return wait_until(all_framed, 30, 0.1, f"{count} framed window(s)")


def settled(desk, count):
    """The frames once they stop moving."""
    last = None
    for _ in range(30):
        now = [top for _, top in framed(desk, count)]
        if now == last:
            return now
        last = now
        time.sleep(0.3)
    return last


def small_screen(program, scale):
    screen = (1366, 768)
    with Desk(window_manager=True, screen=screen) as desk:
        desk.start_program(program, {"QT_SCALE_FACTOR": str(scale)})
        (client, top), = framed(desk)
        frame = settled(desk, 1)[0]
        print(f"1366x768 at scale {scale}: frame {frame}, client {client}")
        assert frame[3] > screen[1] or frame[2] > screen[0], \
            f"the window fits the screen at scale {scale}: {frame}"
        assert frame[:2] == (0, 0), \
            f"at scale {scale} the frame stands at {frame[:2]}, not at the screen's top-left"


def second_window(program):
    screen = (1280, 1024)
    with Desk(window_manager=True, screen=screen) as desk:
        desk.start_program(program)
        first = settled(desk, 1)[0]
        desk.start_program(program)
        frames = settled(desk, 2)
        second = [f for f in frames if f != first]
        assert second, f"the second window stands exactly on the first: {frames}"
        dx, dy = second[0][0] - first[0], second[0][1] - first[1]
        print(f"first window {first}, second {second[0]}")
        assert dx > 0 and dy > 0, f"the second window is not below and right of the first: {dx}, {dy}"
        assert second[0][0] + second[0][2] <= screen[0] and second[0][1] + second[0][3] <= screen[1], \
            f"the second window leaves the screen: {second[0]}"


def run():
    program = sys.argv[1]
    for scale in (1.75, 2):
        small_screen(program, scale)
    second_window(program)


if __name__ == "__main__":
    main_guard(run)
