# SPDX-License-Identifier: GPL-3.0-or-later
"""The window opens centred on the screen, frame included, on a real X
server: under a window manager that adds a frame some time after the window
is shown, and without one (no frame at all)."""

import sys
import time

from desk_session import Desk, main_guard, wait_until

TITLE = "风速计算"
SCREEN = (1280, 1024)
CLIENT = (561, 489)


def off_centre(rect):
    """Twice the distance of the rectangle's centre from the screen's."""
    x, y, w, h = rect
    return abs(2 * x + w - SCREEN[0]), abs(2 * y + h - SCREEN[1])


def check(program, window_manager):
    with Desk(window_manager=window_manager, screen=SCREEN) as desk:
        desk.start_program(program)
        what = "the window" + (" in its frame" if window_manager else "")

        def placed():
            found = desk.window_geometry(TITLE)
            if not found:
                return None
            client, top = found
            if window_manager and top[2:] == client[2:]:
                return None  # not framed yet
            return found
        client, top = wait_until(placed, 30, 0.1, what)
        assert client[2:] == CLIENT, f"client area {client[2:]}, expected {CLIENT}"
        if window_manager:
            assert top[3] > client[3], f"openbox added no title bar: frame {top}, client {top}"

        # The last move may come a little after the frame: the placement must
        # settle centred and stay there.
        def centred():
            _, now = desk.window_geometry(TITLE)
            return now if max(off_centre(now)) <= 1 else None
        try:
            settled = wait_until(centred, 10, 0.1, "a centred window")
        except AssertionError:
            _, now = desk.window_geometry(TITLE)
            dx, dy = off_centre(now)
            raise AssertionError(f"{what} at {now} is {dx / 2} px right and {dy / 2} px low "
                                 f"of the centre of a {SCREEN[0]}x{SCREEN[1]} screen")
        time.sleep(1.0)
        _, later = desk.window_geometry(TITLE)
        assert later == settled, f"the window moved on by itself: {settled} -> {later}"
        print(f"{'openbox' if window_manager else 'no window manager'}: "
              f"window {later}, client {client}")


def run():
    program = sys.argv[1]
    check(program, window_manager=True)
    check(program, window_manager=False)


if __name__ == "__main__":
    main_guard(run)
