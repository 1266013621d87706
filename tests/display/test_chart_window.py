# SPDX-License-Identifier: GPL-3.0-or-later
"""The calculator's friction chart on a real X display under a window
manager: opened from the friction-loss row's context menu, drawn (a
screenshot of it, and of the menu, kept in DUCTCALC_SCREENSHOT_DIR when it
is set), and its point moving up and to the right when the air volume grows
(more air on the log air-volume axis, a larger Rm on the log Rm axis)."""

import os
import subprocess
import sys
import time

from desk_session import Desk, main_guard, wait_until

TITLE = "风速计算"
CHART = "摩擦阻力线算图"

# A point on the friction-loss value label (Label11, the last result row),
# pixels from the window's client corner at scale 1.
RM_LABEL = (460, 444)


def dark_pixels(shot, rect):
    """The black pixels of a rectangle of a grey screenshot: the current
    duct's point is the only black fill inside the plot (lines are coloured,
    the neighbours grey)."""
    w, _, data = shot
    x0, y0, cw, ch = rect
    return {(x, y) for y in range(y0, y0 + ch) for x in range(x0, x0 + cw)
            if data[y * w + x] < 40}


def centre(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return sum(xs) / len(xs), sum(ys) / len(ys)


def run():
    program = sys.argv[1]
    with Desk(window_manager=True) as desk:
        def xdo(*args):
            return subprocess.run(["xdotool", *args], env=desk.env, check=True, timeout=30,
                                  capture_output=True, text=True).stdout

        def window_named(title):
            """The shown window of that title (Qt's hidden leader window has
            it too)."""
            r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                               env=desk.env, capture_output=True, text=True, timeout=30)
            return r.stdout.split()[0] if r.stdout.split() else None

        def geometry(window):
            """(x, y, width, height) of a window's client area on the screen."""
            values = dict(line.split("=", 1) for line in
                          xdo("getwindowgeometry", "--shell", window).split())
            return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]),
                    int(values["HEIGHT"]))

        def air_volume(text):
            xdo("windowactivate", "--sync", calculator)
            time.sleep(0.3)
            xdo("key", "--clearmodifiers", "ctrl+a")
            xdo("type", "--delay", "40", text)
            time.sleep(0.5)

        desk.start_program(program)
        calculator = wait_until(lambda: window_named(TITLE), 30, 0.2, "the calculator")
        time.sleep(1.0)
        client = geometry(calculator)
        print(f"calculator at {client}")
        air_volume("1000")

        # The context menu of the friction loss; its last entry is the chart.
        xdo("mousemove", str(client[0] + RM_LABEL[0]), str(client[1] + RM_LABEL[1]))
        xdo("click", "3")
        time.sleep(0.5)
        if os.environ.get("DUCTCALC_SCREENSHOT_DIR"):
            subprocess.run(["import", "-display", desk.display, "-window", "root",
                            os.path.join(os.environ["DUCTCALC_SCREENSHOT_DIR"], "menu.png")],
                           env=desk.env, timeout=60, check=True)
        xdo("key", "Up")
        xdo("key", "Return")
        chart = wait_until(lambda: window_named(CHART), 20, 0.2, "the chart's window")
        time.sleep(1.0)

        def chart_shot():
            xdo("windowactivate", "--sync", chart)
            time.sleep(0.8)
            return geometry(chart), desk.screenshot_gray()

        rect, before = chart_shot()
        print(f"chart window at {rect}")
        assert rect[2] >= 600 and rect[3] >= 400, f"the chart's window is small: {rect}"
        keep = os.environ.get("DUCTCALC_SCREENSHOT_DIR")
        if keep:
            png = subprocess.run(["import", "-display", desk.display, "-window", chart, "png:-"],
                                 env=desk.env, capture_output=True, check=True, timeout=60).stdout
            with open(os.path.join(keep, "chart_window.png"), "wb") as f:
                f.write(png)

        # φ100, the window's first diameter: 1500 m3/h keeps its Rm within
        # the chart's axes, so that only the points move.
        air_volume("1500")
        rect2, after = chart_shot()
        assert rect2 == rect, f"the chart's window moved: {rect} -> {rect2}"

        # Inside the plot only: the toolbar above has a blinking text cursor.
        plot = (rect[0] + 70, rect[1] + 60, rect[2] - 90, rect[3] - 180)
        old, new = dark_pixels(before, plot), dark_pixels(after, plot)
        gone, came = old - new, new - old
        assert len(gone) > 10 and len(came) > 10, \
            f"the point did not move: {len(gone)} black pixels gone, {len(came)} come"
        (x0, y0), (x1, y1) = centre(gone), centre(came)
        print(f"the point moved from ({x0:.0f}, {y0:.0f}) to ({x1:.0f}, {y1:.0f})")
        # 1000 to 1500 m3/h is log10(1.5) of a decade to the right; Rm grows
        # about as the square of the air volume, so the point rises.
        assert x1 > x0 + 20, "the point did not move right with the air volume"
        assert y1 < y0 - 20, "the point did not rise with the friction loss"


if __name__ == "__main__":
    main_guard(run)
