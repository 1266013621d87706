# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader gets through AT-SPI from the running window, on a
real X display with a private D-Bus session: every result as its caption
plus its value, the locked roughness boxes read-only, the formula pictures
described and reached with Tab, the roughness bars as the K they set; a
keystroke announces only the results it changed, and a warning mark as the
box's description; after a scroll step the next number typed replaces the
air volume."""

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


def pump(seconds):
    """Lets the client library deliver the events that arrived meanwhile."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def press(pyatspi, text):
    """Types `text` on the keyboard, one key a character."""
    for c in text:
        pyatspi.Registry.generateKeyboardEvent(ord(c), None, pyatspi.KEY_SYM)
        time.sleep(0.05)


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
        # The window may be announced before its focus is: wait for it.
        wait_until(lambda: pyatspi.STATE_FOCUSED in states(air), 10, 0.1,
                   "the focus on the air volume box at start-up")
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

        # A roughness bar reads as the K it sets, in mm, within its range.
        for material, k, low, high in (("薄钢板", 0.16, 0.15, 0.18), ("砖砌体", 5, 3, 6)):
            value = named(f"{material} 粗糙度", "scroll bar").queryValue()
            print(f"  {material} bar: {value.currentValue} mm in "
                  f"{value.minimumValue} to {value.maximumValue}")
            assert abs(value.currentValue - k) < 1e-9, f"{material}: {value.currentValue}"
            assert abs(value.minimumValue - low) < 1e-9 and abs(value.maximumValue - high) < 1e-9, \
                f"{material}: {value.minimumValue} to {value.maximumValue}"

        # One keystroke: only the results whose text changed are announced;
        # the warning mark a keystroke brings is announced as the box's
        # description.
        events = []

        def record(event):
            try:
                source = event.source
                events.append((event.type, source.getRoleName(), source.name))
            except Exception:  # a source gone by the time it is read
                pass
        kinds = ("object:property-change:accessible-name",
                 "object:property-change:accessible-description")
        pyatspi.Registry.registerEventListener(record, *kinds)
        air.queryComponent().grabFocus()
        wait_until(lambda: pyatspi.STATE_FOCUSED in states(air), 10, 0.1, "the focus on 风量")
        air.queryText().setCaretOffset(4)
        pump(0.5)
        events.clear()
        press(pyatspi, "5")
        wait_until(lambda: air.queryText().getText(0, -1) == "10005", 10, 0.1, "10005 typed")
        pump(1.5)
        named_rows = {name.split(" ", 1)[0] for kind, role, name in events
                      if role == "label" and kind.endswith("accessible-name")}
        print(f"  one digit typed: {len(events)} events, names changed for {sorted(named_rows)}")
        assert named_rows == {"风量", "风速", "雷诺数", "比摩阻"}, \
            f"the rows announced for one digit: {sorted(named_rows)}"
        assert len(events) <= 8, f"{len(events)} events for one digit: {events}"

        events.clear()
        press(pyatspi, ",")
        wait_until(lambda: air.queryText().getText(0, -1) == "10005,", 10, 0.1, "10005, typed")
        pump(1.5)
        box = [name for kind, role, name in events
               if role == "text" and kind.endswith("accessible-description")]
        assert box, f"no description change announced for the marked air volume box: {events}"
        assert "只读取了 10005" in air.description, air.description
        renamed = [name for kind, role, name in events
                   if role == "label" and kind.endswith("accessible-name")]
        assert not renamed, f"a keystroke that changes no number renamed results: {renamed}"
        marked = [n for n in walk(app) if n.getRoleName() == "label" and
                  n.name.startswith("风速 ")]
        assert marked and "由风量算出：只读取了 10005" in marked[0].description, \
            f"the velocity does not say it is built on the marked air volume: {marked}"
        pyatspi.Registry.deregisterEventListener(record, *kinds)

        # A click on a bar's arrow gives the air volume the focus with its
        # number selected: the next number typed replaces it.
        pyatspi.Registry.generateKeyboardEvent(0xFF08, None, pyatspi.KEY_SYM)  # BackSpace
        wait_until(lambda: air.queryText().getText(0, -1) == "10005", 10, 0.1, "the comma gone")
        bar = named("薄钢板 粗糙度", "scroll bar")
        x, y, w, h = bar.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + w - 4, y + h // 2, "b1c")
        wait_until(lambda: abs(bar.queryValue().currentValue - 0.17) < 1e-9, 10, 0.1,
                   "HScroll1 one step up")
        wait_until(lambda: pyatspi.STATE_FOCUSED in states(air), 10, 0.1,
                   "the focus back on 风量 after the scroll step")
        press(pyatspi, "2000")
        wait_until(lambda: air.queryText().getText(0, -1) == "2000", 10, 0.1,
                   f"2000 replacing the air volume (it reads {air.queryText().getText(0, -1)!r})")


if __name__ == "__main__":
    main_guard(run)
