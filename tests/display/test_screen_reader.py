# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader gets through AT-SPI from the running window, on a
real X display with a private D-Bus session: every result as its caption
plus its value, the locked roughness boxes read-only, the formula pictures
described and reached with Tab."""

import os
import sys
import time

from desk_session import Desk, main_guard, wait_until

# Caption of each result row, top to bottom, and its value once the air
# volume reads 1000 m3/h in the default 100 mm circular duct.
RESULTS = [
    ("粗糙度", "0.16"),
    ("风量", "1000 m3/h"),
    ("风管尺寸", "φ 100"),
    ("当量直径", "0.1 m"),
    ("风速", "35.36779 m/s"),
    ("雷诺数", None),
    ("比摩阻", None),
]
# Rows whose digits belong to the engine's tests: here only their form.
FORMS = {"雷诺数": "", "比摩阻": " Pa/m"}
LOCKED = ["薄钢板", "塑料板", "矿渣石膏板", "矿渣混凝土板", "胶合板", "砖砌体", "混凝土", "木板"]


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def run():
    program = sys.argv[1]
    with Desk(window_manager=True, accessibility=True) as desk:
        desk.start_program(program)
        wait_until(lambda: desk.window_geometry("风速计算"), 30, 0.1, "the window")
        # The client library connects to the bus named in the environment.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
            os.environ[key] = desk.env[key]
        import pyatspi

        def application():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "ductcalc":
                    return app
            return None
        app = wait_until(application, 30, 0.3, "ductcalc on the accessibility bus")
        nodes = list(walk(app))

        def named(name, role):
            hits = [n for n in nodes if n.name == name and n.getRoleName() == role]
            assert len(hits) == 1, f"{len(hits)} {role} named {name!r}"
            return hits[0]

        def states(node):
            return set(node.getState().getStates())

        # Type the air volume as a user would: the box has the focus at
        # start-up with its "0" selected, so the typed text replaces it.
        air = named("风量", "text")
        assert pyatspi.STATE_FOCUSED in states(air), "the air volume box has no focus at start-up"
        air.queryEditableText().setTextContents("1000")

        def results():
            found = []
            for node in walk(app):
                if node.getRoleName() == "label" and node.description:
                    for caption, _ in RESULTS:
                        if node.name.startswith(caption + " "):
                            found.append(node)
            return found if len(found) == len(RESULTS) and "1000 m3/h" in \
                " ".join(n.name for n in found) else None
        rows = wait_until(results, 10, 0.2, "the results of 1000 m3/h")
        by_caption = {n.name.split(" ", 1)[0]: n for n in rows}
        print("What the screen reader reads for each result (name | description | role):")
        for caption, value in RESULTS:
            node = by_caption[caption]
            print(f"  {node.name} | {node.description} | {node.getRoleName()}")
            assert node.name == f"{caption} {node.description}", node.name
            if value is not None:
                assert node.description == value, f"{caption}: {node.description!r}, expected {value!r}"
            else:
                number = node.description[:len(node.description) - len(FORMS[caption])]
                assert node.description.endswith(FORMS[caption]) and float(number) > 0, \
                    f"{caption}: {node.description!r}"

        for material in LOCKED:
            box = named(f"{material} 粗糙度", "text")
            s = states(box)
            assert pyatspi.STATE_READ_ONLY in s and pyatspi.STATE_EDITABLE not in s, \
                f"the locked box of {material} reads as editable"
        custom = states(named("自定义 粗糙度", "text"))
        assert pyatspi.STATE_EDITABLE in custom and pyatspi.STATE_READ_ONLY not in custom, \
            "the custom roughness box reads as read-only"

        pictures = [named("公式一", "image"), named("公式二", "image")]
        for picture in pictures:
            assert pyatspi.STATE_FOCUSABLE in states(picture), f"{picture.name} takes no focus"
            assert picture.description.startswith("λ = "), picture.description
            print(f"  {picture.name} | {picture.description} | {picture.getRoleName()}")

        # From the formula-one option, Tab reaches the two pictures in turn.
        option = named("公式一", "radio button")
        option.queryComponent().grabFocus()
        wait_until(lambda: pyatspi.STATE_FOCUSED in states(option), 10, 0.1,
                   "the focus on 公式一")
        for picture in pictures:
            pyatspi.Registry.generateKeyboardEvent(0xFF09, None, pyatspi.KEY_SYM)  # Tab
            wait_until(lambda: pyatspi.STATE_FOCUSED in states(picture), 10, 0.1,
                       f"the focus on the picture {picture.name} after Tab")


if __name__ == "__main__":
    main_guard(run)
