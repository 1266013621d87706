# SPDX-License-Identifier: GPL-3.0-or-later
"""ductcalc-table on a real X display under openbox, at the keyboard as a
designer uses it (xdotool): a small system typed in, a block copied and
pasted and the paste undone, the file saved and opened again, the report
exported as PDF and its index-run total found by pdftotext; then the grid's
cells read through AT-SPI, as a screen reader reads them; last an office
file as a Chinese spreadsheet saves it (GB18030, semicolons, a title row,
units in the header, a 合计 row, a 备注 column) opened with the same figures."""

import os
import re
import subprocess
import sys
import tempfile
import time

from desk_session import Desk, main_guard, wait_until

TITLE = "风管水力计算表"
FLOW_IN_USE, VELOCITY, PATH_TOTAL = 12, 14, 22  # the grid's 计算风量, 风速 and 累计 columns

# Typed row by row; Tab moves right, Enter down (the next row starts at Home).
ROWS = [
    "F-A\t\t\t\t\t500x320\t5\t0.5",
    "A-B\t\t\t2500\t\t400x250\t8\t0.3",
    "A-C\t\t\t2500\t\t400x250\t8\t0.25+0.05\t10",
]
LAST = "F-G\t\t\t1000\t\t200\t10\t0.5"
# The file's own columns first, then those the typing used.
SAVED = ("空白公式,1\n"
         "segment,flow,size,length,zeta,dp\n"
         "F-A,,500x320,5,0.5,\n"
         "A-B,2500,400x250,8,0.3,\n"
         "A-C,2500,400x250,8,0.25+0.05,10\n"
         "F-G,1000,200,10,0.5,\n")
OFFICE = ("某大厦送风系统\r\n"
          "空白公式;1\r\n"
          "风量(m3/h);段号;尺寸;长度（m）;Σζ;固定阻力;备注\r\n"
          ";F-A;500x320;5;0.5;;主管\r\n"
          "2500;A-B;400x250;8;0.3;;\r\n"
          "2500;A-C;400×250;8;0.25+0.05;10;末端\r\n"
          "1000;F-G;φ200;10;0.5;;\r\n"
          ";合计;;;;;\r\n")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def run():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp, \
            Desk(window_manager=True, accessibility=True) as desk:
        path = os.path.join(tmp, "run.csv")
        pdf = os.path.join(tmp, "report.pdf")
        with open(path, "w", encoding="utf-8") as f:
            # The figures below were worked in 公式一; the grid's own default is 公式二.
            f.write("空白公式,1\nsegment,flow,size\n")
        # Recent files go to a settings folder of the test's own.
        env = {"XDG_CONFIG_HOME": tmp, "HOME": tmp}

        def xdo(*args):
            subprocess.run(["xdotool", *args], env=desk.env, check=True, timeout=30)

        def keys(*names):
            for name in names:
                xdo("key", "--clearmodifiers", name)
                time.sleep(0.05)

        def typed(text):
            xdo("type", "--delay", "40", text)
            time.sleep(0.2)

        def window_named(title):
            r = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], env=desk.env,
                               capture_output=True, text=True, timeout=30)
            return r.stdout.split()[0] if r.stdout.split() else None

        def start():
            desk.start_program(program, env, args=[path])
            window = wait_until(lambda: window_named(f"run.csv - {TITLE}"), 30, 0.2,
                                "the table's window")
            xdo("windowactivate", "--sync", window)
            time.sleep(0.5)
            return window

        start()
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
            os.environ[key] = desk.env[key]
        import pyatspi

        def grid():
            """The grid's table interface, as a screen reader finds it."""
            def application():
                for app in pyatspi.Registry.getDesktop(0):
                    if app is not None and app.name == "ductcalc-table":
                        return app
                return None
            app = wait_until(application, 30, 0.3, "ductcalc-table on the accessibility bus")
            # The grid itself, not the frozen columns laid over its left edge.
            tables = [n.queryTable() for n in walk(app)
                      if n.getRoleName() == "table" and n.name == TITLE]
            assert tables, "no table on the accessibility bus"
            return tables[0]

        def rows_become(count, what):
            wait_until(lambda: grid().nRows == count, 10, 0.2, what)

        for row in ROWS:
            typed(row)
            keys("Return", "Home")
        wait_until(lambda: window_named(f"run.csv\\* - {TITLE}"), 10, 0.2, "the * of a change")

        # Copy A-B's flow to its coefficients, paste them into the empty row
        # below the system, then take the paste back.
        keys("Up", "Up", "Home", "Right", "Right", "Right")
        keys(*["shift+Right"] * 4)
        rows_become(4, "three rows typed and the empty one")
        keys("ctrl+c", "Down", "Down", "Home", "Right", "Right", "Right", "ctrl+v")
        rows_become(5, "the pasted row")
        assert grid().getAccessibleAt(3, 3).name == "2500", "the paste is not in its row"
        keys("ctrl+z")
        rows_become(4, "the paste taken back")
        keys("Home")
        typed(LAST)
        keys("Return", "ctrl+s")
        wait_until(lambda: window_named(f"run.csv - {TITLE}"), 10, 0.2, "the saved title")
        with open(path, encoding="utf-8") as f:
            saved = f.read()
        assert saved == SAVED, f"the saved file reads:\n{saved}"

        # The report as PDF, through the file menu and Qt's file dialog.
        keys("alt+f", "d")
        wait_until(lambda: window_named("导出 PDF"), 20, 0.2, "the PDF file dialog")
        time.sleep(0.5)
        typed(pdf)
        keys("Return")
        wait_until(lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 1000, 20, 0.2,
                   "the PDF")
        time.sleep(0.5)
        text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                              text=True, check=True, timeout=60).stdout

        keys("ctrl+q")
        wait_until(lambda: not window_named(f"run.csv - {TITLE}"), 20, 0.2, "the window to close")

        # Opened again: what a screen reader reads of the grid.
        start()
        table = grid()
        assert table.nRows == 5, f"{table.nRows} rows: the system's four and the empty one"
        cells = {(r, c): table.getAccessibleAt(r, c).name
                 for r in range(4) for c in (0, VELOCITY, PATH_TOTAL)}
        print("The grid as a screen reader reads it (segment, velocity, total from the fan):")
        for r in range(4):
            print(f"  {cells[(r, 0)]}  {cells[(r, VELOCITY)]}  {cells[(r, PATH_TOTAL)]}")
        assert [cells[(r, 0)] for r in range(4)] == ["F-A", "A-B", "A-C", "F-G"]
        # The calculator's figures for 5000 m3/h in 500x320 and 1000 m3/h in φ200.
        assert cells[(0, VELOCITY)] == "8.680555", cells[(0, VELOCITY)]
        assert cells[(3, VELOCITY)] == "8.841949", cells[(3, VELOCITY)]
        # F-G's path is the index run: its total is the report's, with the
        # report's one decimal for Pa.
        index_total = cells[(3, PATH_TOTAL)]
        assert index_total.startswith("67.3008"), index_total
        compact = re.sub(r"\s+", "", text)
        assert f"阻力合计{float(index_total):.1f}Pa" in compact, \
            f"the PDF lacks the index total {index_total}:\n{text[:2000]}"
        assert "第1页" in compact, "the PDF has no page number"

        # An office file the command line reads, opened with the same figures.
        keys("ctrl+q")
        wait_until(lambda: not window_named(f"run.csv - {TITLE}"), 20, 0.2, "the window to close")
        office = os.path.join(tmp, "office.csv")
        with open(office, "wb") as f:
            f.write(OFFICE.encode("gb18030"))
        desk.start_program(program, env, args=[office])
        window = wait_until(lambda: window_named(f"office.csv - {TITLE}"), 30, 0.2,
                            "the office file's window")
        xdo("windowactivate", "--sync", window)
        time.sleep(0.5)
        table = grid()
        assert table.nRows == 5, f"{table.nRows} rows: the system's four (no 合计) and the empty one"
        read = {(r, c): table.getAccessibleAt(r, c).name
                for r in range(4) for c in (0, FLOW_IN_USE, VELOCITY, PATH_TOTAL)}
        print("The office file as a screen reader reads it (segment, flow, velocity, total):")
        for r in range(4):
            print("  " + "  ".join(read[(r, c)] for c in (0, FLOW_IN_USE, VELOCITY, PATH_TOTAL)))
        for r in range(4):
            for c in (0, VELOCITY, PATH_TOTAL):
                assert read[(r, c)] == cells[(r, c)], (r, c, read[(r, c)], cells[(r, c)])
        assert read[(0, FLOW_IN_USE)] == "5000", read[(0, FLOW_IN_USE)]


main_guard(run)
