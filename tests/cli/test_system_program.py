# SPDX-License-Identifier: GPL-3.0-or-later
"""ductcalc-cli system, table's workbook and dp column, the air options and
size's presets, run as the built program: exit statuses, messages, the JSON
shape read by a parser, the workbook read back by openpyxl.

    test_system_program.py PATH_TO_DUCTCALC_CLI
"""
import csv
import io
import json
import math
import os
import subprocess
import sys
import tempfile
import unittest

import openpyxl

PROGRAM = None

# A fan at node 1, three branches and an equipment row (a coil of 150 Pa on
# 1-2), the flow of 1-2 and 2-4 summed from the outlets:
#
#   1 ──1-2 (Σ 4700, 500x320, 5 m, ζ 0.5, dp 150)── 2 ──2-3 (2500, 400x250, 8 m, ζ 0.3+0.2)── 3
#                                                   └──2-4 (Σ 2200, 320x250, 6 m, ζ 0.4)── 4
#   4 ──4-5 (1000, φ200, 10 m, ζ 1.5, dp 20)── 5;   4 ──4-6 (1200, φ250, 4 m, ζ 0.8, dp 20)── 6
#
# By hand, from the window's own figures for each duct (thin steel, 公式一: the
# tests run it with --formula 1, as system's own default is 公式二):
#   4-5: Rm 4.376865 x 10 = 43.76865; Pd 47.06439, Z 1.5 x 47.06439 = 70.59659;
#        total 43.76865 + 70.59659 + 20 = 134.3652
#   4-6: 1.960265 x 4 = 7.84106; Z 0.8 x 27.75971 = 22.20777; total 50.04883
#   2-4: 2200 m3/h = 1000 + 1200; 12.90821 + 14.05131 = 26.95952
#   2-3: ζ 0.3 + 0.2 = 0.5; 12.70906 + 14.51582 = 27.22488
#   1-2: 4700 m3/h = 2500 + 2200; 8.201357 + 20.0409 + 150 = 178.2423
#   paths: to 3 178.2423 + 27.22488 = 205.4671; to 5 178.2423 + 26.95952 +
#          134.3652 = 339.567 (the index run); to 6 255.2506
#   junction 4: (134.3652 - 50.04883) / 134.3652 = 62.75 % > 15 %
#   junction 2: branches 27.22488 and 26.95952 + 134.3652 = 161.3248: 83.12 %
#   fan: 4700 m3/h, 339.567 x 1.1 = 373.5237 Pa
SYSTEM = """segment,flow,size,length,zeta,dp
1-2,,500x320,5,0.5,150
2-3,2500,400x250,8,0.3+0.2,
2-4,,320x250,6,0.4,
4-5,1000,200,10,1.5,20
4-6,1200,250,4,0.8,20
"""

SEGMENT_KEYS = ["segment", "from", "to", "flow", "size", "equivalent_diameter", "velocity",
                "reynolds", "lambda", "rm", "length", "friction_loss", "velocity_pressure",
                "zeta", "local_loss", "dp", "total", "path_total", "on_index_run"]


# The messages checked here are the English ones: the program runs without
# the locale of whoever runs the tests.
ENGLISH = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES", "LANG")}


def run(*args, stdin=""):
    p = subprocess.run([PROGRAM, *args], input=stdin.encode(), capture_output=True, timeout=60,
                       env=ENGLISH)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


class SystemFormats(unittest.TestCase):
    def test_json_has_the_shape_and_the_hand_worked_figures(self):
        status, out, err = run("system", "--formula", "1", "--format", "json", "-", stdin=SYSTEM)
        self.assertEqual((status, err), (0, ""))
        doc = json.loads(out)
        self.assertEqual(list(doc), ["air", "formulas", "segments", "paths", "index_run",
                                     "junctions", "fan"])
        self.assertEqual(doc["formulas"], [1])
        self.assertEqual(doc["air"], {"temperature": 20, "pressure": 101.325, "density": 1.204,
                                      "viscosity": 1.506e-05})
        self.assertEqual([list(s) for s in doc["segments"]], [SEGMENT_KEYS] * 5)
        by = {s["segment"]: s for s in doc["segments"]}
        for name, flow, total, path in [("1-2", 4700, 178.2423, 178.2423),
                                        ("2-3", 2500, 27.22488, 205.4671),
                                        ("2-4", 2200, 26.95952, 205.2018),
                                        ("4-5", 1000, 134.3652, 339.567),
                                        ("4-6", 1200, 50.04883, 255.2506)]:
            with self.subTest(segment=name):
                self.assertEqual(by[name]["flow"], flow)
                self.assertAlmostEqual(by[name]["total"], total, delta=total * 6e-7)
                self.assertAlmostEqual(by[name]["path_total"], path, delta=path * 6e-7)
        self.assertEqual(by["2-3"]["zeta"], 0.5)
        self.assertEqual(by["1-2"]["dp"], 150)
        self.assertEqual([s["segment"] for s in doc["segments"] if s["on_index_run"]],
                         ["1-2", "2-4", "4-5"])
        self.assertEqual([(p["outlet"], p["segments"]) for p in doc["paths"]],
                         [("3", ["1-2", "2-3"]), ("5", ["1-2", "2-4", "4-5"]),
                          ("6", ["1-2", "2-4", "4-6"])])
        self.assertEqual(doc["index_run"], doc["paths"][1])
        self.assertEqual([(j["node"], [b["segment"] for b in j["branches"]], j["exceeds"])
                          for j in doc["junctions"]],
                         [("2", ["2-3", "2-4"], True), ("4", ["4-5", "4-6"], True)])
        self.assertAlmostEqual(doc["junctions"][1]["imbalance"], 0.6275165, places=6)
        fan = doc["fan"]
        self.assertEqual((fan["node"], fan["flow"], fan["margin"]), ("1", 4700, 0.1))
        self.assertAlmostEqual(fan["pressure"], 373.5237, delta=1e-3)

    def test_csv_and_text_show_the_window_texts_of_the_same_figures(self):
        status, out, _ = run("system", "--formula", "1", "--format", "csv", "-", stdin=SYSTEM)
        self.assertEqual(status, 0)
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual(list(rows[0]), SEGMENT_KEYS)
        self.assertEqual(rows[3]["total"], "134.3652")
        self.assertEqual(rows[3]["path_total"], "339.567")
        self.assertEqual([r["on_index_run"] for r in rows], ["true", "false", "true", "true",
                                                             "false"])
        status, text, _ = run("system", "--formula", "1", "-", stdin=SYSTEM)
        self.assertEqual(status, 0)
        self.assertIn("* 5", text)
        self.assertIn("over the limit", text)
        self.assertIn("pressure         373.5237 Pa", text)
        self.assertIn("(the window's air)", text)

    def test_max_imbalance_and_margin_change_the_flags_and_the_pressure(self):
        _, out, _ = run("system", "--formula", "1", "--format", "json", "--max-imbalance", "0.7", "--margin",
                        "0.15", "-", stdin=SYSTEM)
        doc = json.loads(out)
        self.assertEqual([j["exceeds"] for j in doc["junctions"]], [True, False])
        self.assertAlmostEqual(doc["fan"]["pressure"], 339.567 * 1.15, delta=1e-3)

    def test_fan_option_turns_an_exhaust_tree_round(self):
        # The same tree written from the outlets toward the fan.
        rows = "from,to,flow,size,length\n5,4,1000,200,10\n6,4,1200,250,4\n4,1,,320x250,6\n"
        status, out, err = run("system", "--format", "json", "--fan", "1", "-", stdin=rows)
        self.assertEqual((status, err), (0, ""))
        doc = json.loads(out)
        self.assertEqual(doc["fan"]["flow"], 2200)
        self.assertEqual(doc["fan"]["node"], "1")


class TopologyErrors(unittest.TestCase):
    CASES = [
        ("a cycle", "segment,flow,size\n1-2,100,200\n2-3,100,200\n3-1,100,200\n",
         ['"1-2"', '"2-3"', '"3-1"', "loop"]),
        ("a segment not connected", "segment,flow,size\n1-2,100,200\n5-6,100,200\n",
         ['"5-6"', "not connected"]),
        ("a segment given twice", "segment,flow,size\n1-2,100,200\n1-2,100,200\n",
         ['"1-2"']),
        ("a from without a to", "segment,from,to,flow,size\nA,1,,100,200\n", ['"A"', "终点"]),
        ("a fan node no row starts", "segment,flow,size\n1-2,100,200\n", ["9"]),
    ]

    def test_each_exits_2_naming_the_segments_and_writes_nothing(self):
        for name, rows, words in self.CASES:
            with self.subTest(name):
                args = ["system", "-"] + (["--fan", "9"] if "fan node" in name else [])
                status, out, err = run(*args, stdin=rows)
                self.assertEqual(status, 2)
                self.assertEqual(out, "")
                for w in words:
                    self.assertIn(w, err)

    def test_a_row_error_exits_1_and_names_the_line(self):
        status, _, err = run("system", "-", stdin="segment,flow,size\n1-2,,200\n2-3,,200\n")
        self.assertEqual(status, 1)
        self.assertIn("-:3:", err)


class AirOptions(unittest.TestCase):
    def air(self, *options):
        status, out, err = run("system", "--format", "json", *options, "-", stdin=SYSTEM)
        self.assertEqual((status, err), (0, ""))
        return json.loads(out)

    def test_states_against_published_figures(self):
        # 40 °C at sea level: ρ 1.127 kg/m3, ν 16.96e-6 m2/s; 1500 m in the
        # standard atmosphere: 84.56 kPa (at 20 °C: ρ 1.005 kg/m3).
        for name, options, pressure, density, viscosity in [
                ("40 °C at sea level", ["--air-temperature", "40"], 101.325, 1.127, 16.96e-6),
                ("1500 m at 20 °C", ["--altitude", "1500"], 84.56, 1.005, 18.1e-6),
                ("a pressure given", ["--pressure", "90"], 90, 1.0696, 17.0e-6)]:
            with self.subTest(name):
                air = self.air(*options)["air"]
                self.assertAlmostEqual(air["pressure"], pressure, delta=0.01)
                self.assertAlmostEqual(air["density"], density, delta=0.001)
                self.assertAlmostEqual(air["viscosity"], viscosity, delta=0.15e-6)

    def test_thinner_air_lowers_every_velocity_pressure(self):
        base = self.air()["segments"]
        high = self.air("--altitude", "1500")["segments"]
        for a, b in zip(base, high):
            self.assertEqual(a["velocity"], b["velocity"])
            self.assertLess(b["velocity_pressure"], a["velocity_pressure"])

    def test_calc_size_and_table_take_them(self):
        for args in (["calc", "--flow", "1000", "--diameter", "200"],
                     ["size", "--flow", "1000"],
                     ["table", "-"]):
            with self.subTest(args[0]):
                stdin = "flow,size\n1000,200\n" if args[0] == "table" else ""
                _, window, _ = run(*args, stdin=stdin)
                status, hot, _ = run(*args, "--air-temperature", "40", stdin=stdin)
                self.assertEqual(status, 0)
                self.assertNotEqual(window, hot)

    def test_impossible_air_is_a_usage_error(self):
        for options in (["--air-temperature", "-300"], ["--altitude", "50000"],
                        ["--pressure", "0"], ["--altitude", "100", "--pressure", "90"]):
            with self.subTest(" ".join(options)):
                status, out, err = run("system", *options, "-", stdin=SYSTEM)
                self.assertEqual((status, out), (2, ""))
                self.assertTrue(err)


def table_rows(sheet):
    """The 计算书's header row (1-based) and the segment rows below it, down to
    the first empty row."""
    header = next(r[0].row for r in sheet.iter_rows() if r[0].value == "段号")
    rows = []
    for r in sheet.iter_rows(min_row=header + 1):
        if r[0].value is None:
            break
        rows.append(r)
    return header, rows


def labelled(sheet):
    """The name,value lines of a sheet's heading: column A's name, column C's value."""
    return {r[0].value: r[2].value for r in sheet.iter_rows() if r[0].value and len(r) > 2}


class Workbook(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "计算书.xlsx")

    def tearDown(self):
        self.dir.cleanup()

    def test_sheets_numbers_and_highlighting(self):
        status, out, err = run("system", "--formula", "1", "--format", "xlsx", "-o", self.path, "-", stdin=SYSTEM)
        self.assertEqual((status, out, err), (0, "", ""))
        book = openpyxl.load_workbook(self.path, data_only=True)
        self.assertEqual(book.sheetnames, ["水力计算表", "环路", "说明", "局部阻力明细"])
        _, csv_out, _ = run("system", "--formula", "1", "--format", "csv", "-", stdin=SYSTEM)
        rows = list(csv.DictReader(io.StringIO(csv_out)))
        sheet = book["水力计算表"]
        numeric = {3: "flow", 5: "equivalent_diameter", 6: "velocity", 7: "reynolds",
                   8: "lambda", 9: "rm", 10: "length", 11: "friction_loss",
                   12: "velocity_pressure", 13: "zeta", 14: "local_loss", 15: "dp",
                   16: "total", 17: "path_total"}
        _, written = table_rows(sheet)
        self.assertEqual(len(written), len(rows))
        for row, cells in zip(rows, written):
            self.assertEqual(cells[0].value, row["segment"])
            for col, key in numeric.items():
                with self.subTest(segment=row["segment"], column=key):
                    # The cell holds the program's value (the sums as their
                    # formulas give it); the CSV shows seven digits of it.
                    self.assertEqual(cells[col].data_type, "n")
                    expected = float(row[key])
                    self.assertAlmostEqual(cells[col].value, expected,
                                           delta=abs(expected) * 6e-7)
            filled = cells[0].fill.fill_type == "solid"
            self.assertEqual(filled, row["on_index_run"] == "true")
        loops = book["环路"]
        flagged = [r[0].value for r in loops.iter_rows()
                   if r[4].value == "是" and r[0].fill.fill_type == "solid"]
        self.assertEqual(flagged, ["2", "4"])
        notes = {r[0].value: r[1].value for r in book["说明"].iter_rows() if r[0].value}
        self.assertEqual(notes["空气密度 ρ (kg/m³)"], 1.204)
        self.assertEqual(notes["附加率"], 0.1)
        self.assertAlmostEqual(notes["风机压力 (Pa)"], 373.5237, places=4)

    def test_each_column_has_one_number_format(self):
        status, _, err = run("system", "--formula", "1", "--format", "xlsx", "-o", self.path,
                             "-", stdin=SYSTEM)
        self.assertEqual((status, err), (0, ""))
        sheet = openpyxl.load_workbook(self.path)["水力计算表"]
        header, written = table_rows(sheet)
        names = [c.value for c in sheet[header]]
        cases = [("风量 L (m³/h)", "0"), ("风速 v (m/s)", "0.00"), ("雷诺数 Re", "0"),
                 ("摩擦系数 λ", "0.0000"), ("比摩阻 Rm (Pa/m)", "0.00"), ("长度 l (m)", "0.0"),
                 ("摩擦阻力 Rm·l (Pa)", "0.0"), ("动压 Pd (Pa)", "0.0"),
                 ("局部阻力 Z (Pa)", "0.0"), ("固定阻力 Δp (Pa)", "0.0"),
                 ("管段阻力 (Pa)", "0.0"), ("累计阻力 (Pa)", "0.0")]
        for name, number_format in cases:
            with self.subTest(name):
                col = names.index(name)
                self.assertEqual({r[col].number_format for r in written}, {number_format})
        # Sizes are text, as the table reads them back.
        size = names.index("尺寸 (mm)")
        self.assertEqual([r[size].value for r in written],
                         ["500*320", "400*250", "320*250", "φ200", "φ250"])
        imbalance = [r[3] for r in openpyxl.load_workbook(self.path)["环路"].iter_rows()
                     if isinstance(r[3].value, str) and r[3].value.startswith("=IF")]
        self.assertEqual({c.number_format for c in imbalance}, {"0.0%"})

    def test_the_sums_are_live_formulas_over_the_cells(self):
        status, _, _ = run("system", "--formula", "1", "--format", "xlsx", "-o", self.path,
                           "-", stdin=SYSTEM)
        self.assertEqual(status, 0)
        book = openpyxl.load_workbook(self.path)
        sheet = book["水力计算表"]
        header, written = table_rows(sheet)
        rows = {r[0].value: r[0].row for r in written}
        r12, r24, r45 = rows["1-2"], rows["2-4"], rows["4-5"]
        # The segment figures stay values; the sums are formulas.
        cases = [("Rm·l", f"L{r45}", f"=J{r45}*K{r45}"),
                 ("Z = Σζ·Pd", f"O{r45}", f"=N{r45}*M{r45}"),
                 ("the segment's total", f"Q{r45}", f"=L{r45}+O{r45}+P{r45}"),
                 ("累计 at the fan", f"R{r12}", f"=Q{r12}"),
                 ("累计 from the segment before", f"R{r45}", f"=R{r24}+Q{r45}")]
        for name, cell, formula in cases:
            with self.subTest(name):
                self.assertEqual(sheet[cell].value, formula)
        for col in "DFGHIJKMNP":
            with self.subTest(column=col):
                self.assertIsInstance(sheet[f"{col}{r45}"].value, (int, float))
        heading = labelled(sheet)
        self.assertEqual(heading["最不利环路阻力 (Pa)"], f"=R{r45}")
        self.assertTrue(heading["风机压力 (Pa)"].startswith("=C"))
        loops = book["环路"]
        junction4 = [r for r in loops.iter_rows() if r[0].value == "4" and r[1].value == "4-5"][0]
        self.assertEqual(junction4[2].value, f"=MAX('水力计算表'!R{r45})-'水力计算表'!R{r24}")
        self.assertTrue(junction4[3].value.startswith("=IF(MAX("))

    def test_printed_on_a4_landscape_one_page_wide_with_the_header_repeated(self):
        status, _, _ = run("system", "--format", "xlsx", "-o", self.path, "--project",
                           "某办公楼 A&B", "--date", "2026-01-02", "-", stdin=SYSTEM)
        self.assertEqual(status, 0)
        book = openpyxl.load_workbook(self.path)
        header, _ = table_rows(book["水力计算表"])
        for name in ("水力计算表", "环路"):
            with self.subTest(name):
                sheet = book[name]
                setup = sheet.page_setup
                self.assertEqual((setup.orientation, setup.paperSize), ("landscape", 9))
                self.assertTrue(sheet.sheet_properties.pageSetUpPr.fitToPage)
                self.assertIn(setup.fitToWidth, (None, 1))  # 1, the default, is left out
                self.assertEqual(setup.fitToHeight, 0)
                self.assertEqual(sheet.oddFooter.left.text, "某办公楼 A&&B")
                self.assertEqual(sheet.oddFooter.right.text, "第 &P 页 共 &N 页")
        self.assertEqual(book["水力计算表"].print_title_rows, f"${header}:${header}")
        borders = [c.border.left.style for c in book["水力计算表"][header + 1]]
        self.assertEqual(set(borders[:24]), {"thin"})

    def test_table_writes_its_run_as_a_workbook(self):
        rows = "segment,flow,size,length,zeta\n1-2,1000,200,10,1.5\n2-3,5000,500x320,5,0.5\n"
        status, _, err = run("table", "--format", "xlsx", "-o", self.path, "-", stdin=rows)
        self.assertEqual((status, err), (0, ""))
        sheet = openpyxl.load_workbook(self.path, data_only=True)["水力计算表"]
        _, written = table_rows(sheet)
        self.assertEqual([r[0].value for r in written], ["1-2", "2-3"])
        self.assertAlmostEqual(written[1][17].value, 146.3279, delta=1e-4)

    def test_table_workbook_comes_from_the_same_pass_as_the_csv(self):
        # A row longer than the header, a flow left empty, a laminar flow and
        # a bad size among good rows: the workbook refuses, warns and fails
        # the same rows as the CSV, and its path totals are the running totals.
        rows = ("segment,flow,size,length,zeta\n"
                "1-2,1000,200,10,1.5\n"
                "2-3,1000,200,10,1.5,extra\n"
                "3-4,,200,5,0.5\n"
                "4-5,1,1000,5,0.5\n"
                "5-6,800,abc,5,0.5\n"
                "6-7,5000,500x320,5,0.5\n")
        ok = "segment,flow,size,length,zeta\nA,1000,200,10,1.5\nB,5000,500x320,5,0.5\n"
        messages = {}
        for name, text in (("failing rows", rows), ("good rows", ok)):
            with self.subTest(name):
                status, out, err = run("table", "--format", "csv", "-", stdin=text)
                x_status, x_out, x_err = run("table", "--format", "xlsx", "-o", self.path, "-",
                                             stdin=text)
                self.assertEqual((x_status, x_out, x_err), (status, "", err))
                messages[name] = (x_status, x_err)
                table = list(csv.DictReader(io.StringIO(out)))
                sheet = openpyxl.load_workbook(self.path, data_only=True)["水力计算表"]
                _, written = table_rows(sheet)
                self.assertEqual([r[0].value for r in written], [r["segment"] for r in table])
                for r, cells in zip(table, written):
                    with self.subTest(segment=r["segment"]):
                        for col, key in ((17, "running_total"), (16, "total")):
                            if r[key]:
                                self.assertAlmostEqual(cells[col].value, float(r[key]),
                                                       delta=abs(float(r[key])) * 6e-7)
                            else:
                                self.assertIsNone(cells[col].value)
        status, err = messages["failing rows"]
        self.assertEqual(status, 1)
        for said in ("-:3: the row has 6 fields, the header 5", "-:4: flow is empty",
                     "-:5: warning: ", "-:6: size \"abc\" is not a size"):
            self.assertIn(said, err)
        self.assertEqual(messages["good rows"], (0, ""))

    def test_refused_without_a_file_and_never_left_half_written(self):
        status, out, err = run("system", "--format", "xlsx", "-", stdin=SYSTEM)
        self.assertEqual((status, out), (2, ""))
        self.assertIn("-o", err)
        status, _, _ = run("system", "--format", "xlsx", "-o", self.path, "-",
                           stdin="segment,flow,size\n1-2,1,200\n2-1,1,200\n")
        self.assertEqual(status, 2)
        missing = os.path.join(self.dir.name, "no", "such", "dir.xlsx")
        status, _, _ = run("system", "--format", "xlsx", "-o", missing, "-", stdin=SYSTEM)
        self.assertEqual(status, 2)
        self.assertEqual(os.listdir(self.dir.name), [])

    def test_inputs_are_written_as_given_and_problems_have_their_own_column(self):
        text = ("segment,flow,size,length,zeta,material,k,formula\n"
                "1-2,2500,500x320,5,0.5,,0.5,1\n"
                "2-3,2500,400x250,8,0.3,plastic,,2\n"
                "3-4,1000,abc,6,0.4,,,\n")
        # A row that names no formula is computed with its command's default.
        for command, default in (("system", "2"), ("table", "1")):
            with self.subTest(command):
                status, _, _ = run(command, "--format", "xlsx", "-o", self.path, "-", stdin=text)
                self.assertEqual(status, 1)
                sheet = openpyxl.load_workbook(self.path)["水力计算表"]
                header, written = table_rows(sheet)
                names = [c.value for c in sheet[header]]
                col = {n: names.index(n) for n in ("材料", "粗糙度 (mm)", "公式", "备注", "问题")}
                got = {r[0].value: (r[col["材料"]].value, r[col["粗糙度 (mm)"]].value,
                                    r[col["公式"]].value) for r in written}
                # What a row names is written as typed; what it leaves out, as used.
                self.assertEqual(got["1-2"], (None, "0.5", "1"))
                self.assertEqual(got["2-3"], ("plastic", 0.03, "2"))
                self.assertEqual(got["3-4"], (None, 0.16, default))
                problems = {r[0].value: r[col["问题"]].value for r in written}
                self.assertIsNone(problems["2-3"])
                self.assertTrue(problems["3-4"])
                self.assertEqual({r[col["备注"]].value for r in written}, {None})


# The title block as the options and a file's rows give it: an option wins.
TITLED = "工程名称,某办公楼\n设计,李四\n日期,2025-12-01\n漏风附加,5\n" + SYSTEM


class ReportTitle(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "计算书.xlsx")

    def tearDown(self):
        self.dir.cleanup()

    def test_title_block_from_options_and_rows(self):
        cases = [
            ("options alone", SYSTEM,
             ["--project", "某办公楼", "--system-name", "K-1", "--designer", "张三",
              "--checker", "王五", "--reviewer", "赵六", "--date", "2026-01-02"],
             {"工程名称": "某办公楼", "子项/系统编号": "K-1", "设计": "张三", "校对": "王五",
              "审核": "赵六", "日期": "2026-01-02"}),
            ("the file's rows", TITLED, [],
             {"工程名称": "某办公楼", "子项/系统编号": None, "设计": "李四", "日期": "2025-12-01"}),
            ("an option wins over the row", TITLED, ["--designer", "张三", "--date", "2026-01-02"],
             {"工程名称": "某办公楼", "设计": "张三", "日期": "2026-01-02"}),
        ]
        for name, text, options, expected in cases:
            for command in ("system", "table"):
                with self.subTest(name, command=command):
                    status, _, err = run(command, "--format", "xlsx", "-o", self.path, *options,
                                         "-", stdin=text)
                    self.assertIn(status, (0, 1), err)
                    sheet = openpyxl.load_workbook(self.path)["水力计算表"]
                    self.assertEqual(sheet["A1"].value, "风管水力计算书")
                    heading = labelled(sheet)
                    for key, value in expected.items():
                        self.assertEqual(heading[key], value, key)

    def test_today_is_the_date_when_none_is_given(self):
        import datetime
        status, _, _ = run("system", "--format", "xlsx", "-o", self.path, "-", stdin=SYSTEM)
        self.assertEqual(status, 0)
        heading = labelled(openpyxl.load_workbook(self.path)["水力计算表"])
        self.assertIn(heading["日期"], {datetime.date.today().isoformat(),
                                      (datetime.date.today() - datetime.timedelta(days=1)).isoformat()})

    def test_basis_method_air_and_formula(self):
        cases = [
            ("checked as given", [], "GB 50736-2012", "校核计算", "公式二"),
            ("sized by velocity, an industrial preset",
             ["--size", "velocity", "--preset", "industrial-metal"], "GB 50019-2015", "假定流速法",
             "公式二"),
            ("sized by friction", ["--size", "friction", "--rm", "1.5", "--formula", "1"],
             "GB 50736-2012", "等摩阻法", "公式一"),
        ]
        for name, options, basis, method, formula in cases:
            with self.subTest(name):
                status, _, err = run("system", "--format", "xlsx", "-o", self.path, *options,
                                     "--altitude", "1000", "-", stdin=SYSTEM)
                self.assertEqual(status, 0, err)
                sheet = openpyxl.load_workbook(self.path)["水力计算表"]
                heading = labelled(sheet)
                header, _ = table_rows(sheet)
                above = " ".join(str(r[2].value) for r in sheet.iter_rows(max_row=header))
                self.assertIn(basis, heading["计算依据"] + above)
                self.assertEqual("GB 50019-2015" in above, "industrial" in name)
                self.assertIn(method, heading["计算方法"])
                self.assertIn("海拔 1000 m", heading["空气状态"])
                self.assertIn("密度", heading["空气状态"])
                self.assertTrue(heading["摩擦系数公式"].startswith(formula))

    def test_text_and_json_show_the_title_block_when_given(self):
        status, out, _ = run("system", "--project", "某办公楼", "--date", "2026-01-02", "-",
                             stdin=SYSTEM)
        self.assertEqual(status, 0)
        self.assertTrue(out.startswith("工程名称: 某办公楼\n子项/系统编号:\n"), out[:80])
        self.assertIn("日期: 2026-01-02\n\nsegment", out)
        status, out, _ = run("system", "-", stdin=SYSTEM)
        self.assertTrue(out.startswith("segment"))
        status, out, _ = run("system", "--format", "json", "--designer", "张三", "-",
                             stdin=SYSTEM)
        title = json.loads(out)["title"]
        self.assertEqual((title["designer"], title["project"]), ("张三", ""))


class FanSelection(unittest.TestCase):
    # The system above, 公式一: 4700 m3/h, index run 339.567 Pa, 10 % margin
    # 373.5237 Pa. With 5 % leakage 4935 m3/h; a fan for 4935 m3/h at 373.5 Pa.
    def test_leakage_from_the_option_or_the_row_default_none(self):
        cases = [("none given", SYSTEM, [], 0, False, 4700, "a fan for 4700 m3/h at 373.5 Pa"),
                 ("the option", SYSTEM, ["--leakage", "0.05"], 0.05, True, 4935,
                  "a fan for 4935 m3/h at 373.5 Pa"),
                 ("the file's 漏风附加 row, in %", TITLED, [], 0.05, True, 4935,
                  "a fan for 4935 m3/h at 373.5 Pa"),
                 ("the option over the row", TITLED, ["--leakage", "0.1"], 0.1, True, 5170,
                  "a fan for 5170 m3/h at 373.5 Pa")]
        for name, text, options, leakage, given, volume, selection in cases:
            with self.subTest(name):
                status, out, err = run("system", "--formula", "1", "--format", "json", *options,
                                       "-", stdin=text)
                self.assertEqual(status, 0, err)
                fan = json.loads(out)["fan"]
                self.assertEqual((fan["leakage"], fan["leakage_given"]), (leakage, given))
                self.assertAlmostEqual(fan["flow_with_leakage"], volume, places=3)
                self.assertIn(f"风量 {volume} m3/h（含漏风附加 {leakage * 100:.1f} %", fan["selection"])
                self.assertIn("全压 373.5 Pa", fan["selection"])
                self.assertEqual("未设定" in fan["selection"], not given)
                status, out, _ = run("system", "--formula", "1", *options, "-", stdin=text)
                self.assertIn(selection, out)
                self.assertIn("(none given)" if not given else f"leakage          {leakage * 100:g} %",
                              out)

    def test_workbook_sums_the_fan_live(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "b.xlsx")
            status, _, _ = run("system", "--formula", "1", "--format", "xlsx", "-o", path,
                               "--leakage", "0.05", "-", stdin=SYSTEM)
            self.assertEqual(status, 0)
            values = labelled(openpyxl.load_workbook(path, data_only=True)["水力计算表"])
            formulas = labelled(openpyxl.load_workbook(path)["水力计算表"])
        self.assertAlmostEqual(values["风机风量 (m³/h)"], 4935, places=6)
        self.assertTrue(formulas["风机风量 (m³/h)"].startswith("=C"))
        self.assertAlmostEqual(values["风机压力 (Pa)"], 373.5237, delta=1e-3)
        self.assertIn("风量 4935 m3/h", values["风机选型"])

    def test_an_unreadable_leakage_row_is_refused_with_its_line(self):
        for value in ("abc", "120", "-5"):
            with self.subTest(value):
                status, out, err = run("system", "-", stdin=f"漏风附加,{value}\n" + SYSTEM)
                self.assertEqual((status, out), (2, ""))
                self.assertRegex(err, r"-:1: (setting )?漏风附加")
        status, _, err = run("system", "--leakage", "2", "-", stdin=SYSTEM)
        self.assertEqual(status, 2)


HAND_WORKED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                           "hand_worked.csv")


class Balancing(unittest.TestCase):
    # The hand-worked system (tests/data/hand_worked.csv), 公式一: at node A,
    # A-B 21.41855 Pa against A-C 31.41855 Pa (its 10 Pa filter), 31.8 % apart.
    # A damper on A-B takes up 31.41855 - 21.41855 = 10 Pa, ζ = 10 / 29.03163
    # (A-B's Pd, 1.204 · 6.944444² / 2) = 0.344452.
    # With 10 m/s allowed, 400x250 steps down keeping its 250 height:
    # 320x250 carries 2500 m3/h at 8.680555 m/s (250x250 would be 11.1 m/s):
    # Rm 2.778101 x 8 = 22.22481, Pd 45.36193, Z 0.3 x 45.36193 = 13.60858,
    # total 35.83339, 4.41484 Pa above A-C, closer than the 10 Pa there are:
    # (35.83339 - 31.41855) / 35.83339 = 12.3 % left.
    OPTIONS = ["--formula", "1", "--velocity-main", "10", "--velocity-branch", "10"]

    def test_damper_and_resize_in_json(self):
        status, out, err = run("system", *self.OPTIONS, "--format", "json", HAND_WORKED)
        self.assertEqual((status, err), (0, ""))
        junction = [j for j in json.loads(out)["junctions"] if j["node"] == "A"][0]
        (remedy,) = junction["remedies"]
        self.assertEqual(remedy["segment"], "A-B")
        self.assertAlmostEqual(remedy["damper"]["pressure"], 10, places=4)
        self.assertAlmostEqual(remedy["damper"]["zeta"], 0.344452, places=5)
        self.assertEqual(remedy["resize"]["size"], "320*250")
        self.assertAlmostEqual(remedy["resize"]["total"], 35.83339, places=4)
        self.assertAlmostEqual(remedy["resize"]["imbalance"], 0.123205, places=5)

    def test_loops_sheet_shows_both_remedies_with_a_live_damper(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "b.xlsx")
            status, _, err = run("system", *self.OPTIONS, "--format", "xlsx", "-o", path,
                                 HAND_WORKED)
            self.assertEqual((status, err), (0, ""))
            values = openpyxl.load_workbook(path, data_only=True)["环路"]
            formulas = openpyxl.load_workbook(path)["环路"]
            row = [r for r in values.iter_rows() if r[1].value == "A-B" and r[0].value == "A"][0]
            live = formulas[row[0].row]
        self.assertAlmostEqual(row[5].value, 10, places=4)
        self.assertAlmostEqual(row[6].value, 0.344452, places=5)
        self.assertEqual(row[7].value, "320*250")
        self.assertAlmostEqual(row[8].value, 0.123205, places=5)
        self.assertEqual(row[8].number_format, "0.0%")
        self.assertTrue(live[5].value.startswith("=MAX("))
        self.assertTrue(live[6].value.startswith(f"=F{row[0].row}/'水力计算表'!M"))


class LongRun(unittest.TestCase):
    def test_a_path_longer_than_a_cell_is_written_one_segment_to_a_row(self):
        # 400 segments of 100 characters: a path of some 41,000 characters.
        names = [f"段{i:03d}" + "x" * 96 for i in range(400)]
        text = "segment,flow,size,length,zeta\n" + "".join(
            f"{n},1000,200,1,0.1\n" for n in names)
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "run.xlsx")
            status, _, err = run("table", "--format", "xlsx", "-o", path, "-", stdin=text)
            self.assertEqual((status, err), (0, ""))
            loops = openpyxl.load_workbook(path)["环路"]
            listed = []
            for r in loops.iter_rows(min_row=2):
                if r[1].value is None:
                    break
                listed.append(r[1].value)
        self.assertEqual(listed, names)


class TableDpAndZetaSums(unittest.TestCase):
    def test_dp_follows_the_running_total_and_is_added_to_the_total(self):
        status, out, _ = run("table", "-", stdin="segment,flow,size,length,zeta,dp\n"
                                                 "A,1000,200,10,1+0.5,20\n")
        self.assertEqual(status, 0)
        row = list(csv.DictReader(io.StringIO(out)))[0]
        # dp after running_total; then the roughness and formula in use.
        self.assertEqual(list(row)[-4:], ["running_total", "dp", "k", "formula"])
        self.assertEqual((row["zeta"], row["dp"], row["total"]), ("1.5", "20", "134.3652"))


# The system above with fittings in its ζ cells. At node 2 the air divides:
# 2-3 (400x250, 2500 m3/h) is a side branch of 1-2 (500x320, 4700 m3/h),
# 2-4 (320x250, 2200 m3/h) the other leg. F_s/F_c = 0.1/0.16 = 0.625,
# Q_s/Q_c = 2500/4700 = 0.531915 (≤ 0.6): A' = 1 - 0.6 * 0.531915 = 0.680851;
# w_s/w_c = 0.531915/0.625 = 0.851064; ζ_c = 0.680851 (1 + 0.724310) = 1.173998 on
# 1-2's velocity, times (v_1-2 / v_2-3)² on 2-3's.
FITTED = SYSTEM.replace("2-3,2500,400x250,8,0.3+0.2,",
                        '2-3,2500,400x250,8,"弯头(90,1.5)*2+分流三通支管+0.1",')
# 2-3 runs below Re 2·10⁵, where the bend's diagram stops: computed, and said.
BEND_WARNING = ('ductcalc-cli: -:3: warning: zeta term "弯头(90,1.5)*2" lies outside the range of '
                'its formula: Re 141883 is not above 200000 (no Reynolds correction applied)\n')


class Fittings(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "计算书.xlsx")

    def tearDown(self):
        self.dir.cleanup()

    def terms(self):
        status, out, err = run("system", "--format", "json", "-", stdin=FITTED)
        self.assertEqual((status, err), (0, BEND_WARNING))
        segments = {s["segment"]: s for s in json.loads(out)["segments"]}
        return segments

    def test_json_lists_each_term_with_its_source(self):
        segments = self.terms()
        self.assertNotIn("terms", segments["1-2"])  # numbers only: as before
        s = segments["2-3"]
        bend, tee, number = s["terms"]
        self.assertEqual((bend["id"], bend["name"], bend["count"]), ("bend", "弯头", 2))
        self.assertEqual(bend["arguments"], "angle=90, r/D=1.5")
        self.assertAlmostEqual(bend["zeta"], 0.21 / math.sqrt(1.5), places=12)
        self.assertEqual(bend["refers_to"], "segment")
        self.assertIn("Idelchik", bend["source"])
        self.assertEqual(tee["id"], "tee-split-side")
        self.assertEqual(tee["refers_to"], "combined")
        self.assertAlmostEqual(tee["zeta"], 1.173998, places=6)
        v12, v23 = segments["1-2"]["velocity"], s["velocity"]
        self.assertAlmostEqual(tee["zeta_on_segment"], tee["zeta"] * (v12 / v23) ** 2, places=5)
        self.assertEqual((number["id"], number["zeta_on_segment"]), (None, 0.1))
        total = sum(t["zeta_on_segment"] for t in s["terms"])
        self.assertAlmostEqual(s["zeta"], total, places=6)

    def test_text_and_csv_keep_the_sum(self):
        segments = self.terms()
        status, out, _ = run("system", "--format", "csv", "-", stdin=FITTED)
        self.assertEqual(status, 0)
        row = [r for r in csv.DictReader(io.StringIO(out)) if r["segment"] == "2-3"][0]
        self.assertAlmostEqual(float(row["zeta"]), segments["2-3"]["zeta"], places=5)
        self.assertNotIn("tee", out)

    def test_workbook_lists_every_term_in_its_own_sheet(self):
        status, out, err = run("system", "--format", "xlsx", "-o", self.path, "-", stdin=FITTED)
        self.assertEqual((status, out, err), (0, "", BEND_WARNING))
        book = openpyxl.load_workbook(self.path)
        rows = [[c.value for c in r] for r in book["局部阻力明细"].iter_rows()]
        self.assertEqual(rows[0], ["段号", "局部阻力", "管件", "参数", "数量", "ζ", "参照速度",
                                   "本段ζ", "出处", "适用范围"])
        self.assertEqual([r[0] for r in rows[1:]], ["2-3", "2-3", "2-3"])
        bend, tee, number = rows[1:]
        self.assertEqual(bend[1:5], ["弯头(90,1.5)*2", "弯头 bend", "angle=90, r/D=1.5", 2])
        self.assertAlmostEqual(bend[5], 0.21 / math.sqrt(1.5), places=12)
        self.assertEqual(bend[6], "本段")
        self.assertIn("Idelchik", bend[8])
        # 2-3 runs below Re 2·10⁵: the bend's diagram does not hold, and says so.
        self.assertTrue(bend[9].startswith("否："), bend[9])
        self.assertEqual((tee[2], tee[6]), ("分流三通支管 tee-split-side", "总管"))
        self.assertEqual(tee[9], "是")
        self.assertEqual((number[2], number[5], number[7]), ("数值", 0.1, 0.1))
        segments = self.terms()
        self.assertAlmostEqual(sum(r[7] for r in rows[1:]), segments["2-3"]["zeta"], places=6)

    def test_unknown_fitting_is_refused_with_the_nearest_name(self):
        status, out, err = run("system", "--format", "json", "-",
                               stdin=FITTED.replace("弯头(90,1.5)", "bnd(90,1.5)"))
        self.assertEqual(status, 1)
        s = [s for s in json.loads(out)["segments"] if s["segment"] == "2-3"][0]
        self.assertIsNone(s["zeta"])
        self.assertIn('nearest: "bend"', err)


class FittingCommand(unittest.TestCase):
    def test_json_object_of_one_fitting(self):
        cases = [
            (["miter", "--angle", "150", "--method", "rennels"], "miter", 2.7128147734758103,
             "segment", True),
            (["contraction", "--beta", "0.4"], "contraction", 0.5301269161, "downstream", True),
            (["expansion", "--area-ratio", "0.25"], "expansion", 0.5625, "upstream", True),
            (["grille", "--open", "0.45"], "grille", 5.296296296296296, "segment", True),
            (["tee-join-side", "--fs-fc", "1", "--fst-fc", "1", "--qs-qc",
              str(0.00633 / (0.018917 + 0.00633))], "tee-join-side", -0.0404410851362,
             "combined", True),
            (["弯头", "--angle", "90", "--r-d", "0.3"], "bend", 0.21 * 0.3 ** -2.5, "segment",
             False),
        ]
        for args, fid, zeta, refers, valid in cases:
            with self.subTest(" ".join(args)):
                status, out, err = run("fitting", *args, "--format", "json")
                self.assertEqual(status, 0, err)
                j = json.loads(out)
                self.assertEqual(j["id"], fid)
                self.assertAlmostEqual(j["zeta"], zeta, places=9)
                self.assertEqual(j["refers_to"], refers)
                self.assertTrue(j["source"])
                self.assertEqual(j["valid"], valid)
                self.assertEqual(bool(err), not valid)

    def test_each_fitting_takes_only_its_own_options(self):
        cases = [
            (["bend", "--open", "0.5"], "bend takes no --open"),
            (["grille"], "grille needs open"),
            (["grille", "--open", "0"], "open 0 must be above 0"),
            (["bnd"], "did you mean bend"),
            (["bend", "--method", "rennels"], "bend takes no --method"),
            (["list", "--angle", "90"], "takes no --angle"),
        ]
        for args, message in cases:
            with self.subTest(" ".join(args)):
                status, out, err = run("fitting", *args)
                self.assertEqual((status, out), (2, ""))
                self.assertIn(message, err)

    def test_list_names_every_fitting_with_its_source(self):
        status, out, err = run("fitting", "list", "--format", "json")
        self.assertEqual((status, err), (0, ""))
        fittings = {f["id"]: f for f in json.loads(out)}
        self.assertEqual(set(fittings), {
            "bend", "miter", "expansion", "contraction", "diffuser", "reducer",
            "tee-join-side", "tee-join-run", "tee-split-side", "tee-split-run", "grille",
            "entrance", "exit", "value"})
        for f in fittings.values():
            self.assertTrue(f["source"] and f["name"] and f["refers_to"], f["id"])
        self.assertEqual([p["name"] for p in fittings["bend"]["parameters"]],
                         ["angle", "r/D", "aspect"])
        status, text, _ = run("fitting", "list")
        self.assertEqual(status, 0)
        self.assertIn("分流三通支管", text)


class Presets(unittest.TestCase):
    def sizes(self, *options):
        status, out, err = run("size", "--flow", "3000", "--format", "json", *options)
        self.assertEqual((status, err), (0, ""))
        return json.loads(out)["sizes"]

    # Each preset's largest velocity and recommendation, as the codes give them.
    PRESETS = [
        ("residential-main", "住宅 干管", 3.5, 4.5, 6.0),
        ("residential-branch", "住宅 支管", None, 3.0, 5.0),
        ("residential-sub-branch", "住宅 从支管上接出的风管", None, 2.5, 4.0),
        ("residential-fan-inlet", "住宅 通风机入口", None, 3.5, 4.5),
        ("residential-fan-outlet", "住宅 通风机出口", 5.0, 8.0, 8.5),
        ("public-main", "公共建筑 干管", 5.0, 6.5, 8.0),
        ("public-branch", "公共建筑 支管", 3.0, 4.5, 6.5),
        ("public-sub-branch", "公共建筑 从支管上接出的风管", 3.0, 3.5, 6.0),
        ("public-fan-inlet", "公共建筑 通风机入口", None, 4.0, 5.0),
        ("public-fan-outlet", "公共建筑 通风机出口", 6.5, 10.0, 11.0),
        ("industrial-metal-main", "工业 金属及非金属风管 干管", 6.0, 14.0, 14.0),
        ("industrial-metal-branch", "工业 金属及非金属风管 支管", 2.0, 8.0, 8.0),
        ("industrial-masonry-main", "工业 砖及混凝土风道 干管", 4.0, 12.0, 12.0),
        ("industrial-masonry-branch", "工业 砖及混凝土风道 支管", 2.0, 6.0, 6.0),
    ]

    def test_each_preset_splits_the_sizes_at_its_velocities(self):
        for slug, name, low, high, largest in self.PRESETS:
            with self.subTest(slug):
                sizes = self.sizes("--preset", slug)
                self.assertEqual(sizes, self.sizes("--preset", name))
                for s in sizes:
                    self.assertEqual(s["meets"], s["velocity"] <= largest, s["size"])
                    within = s["velocity"] <= high and (low is None or s["velocity"] >= low)
                    self.assertEqual(s["recommended"], s["meets"] and within, s["size"])
                self.assertTrue(any(s["meets"] for s in sizes))
                self.assertTrue(any(not s["meets"] for s in sizes))

    def test_the_list_names_every_preset_and_an_unknown_name_is_refused(self):
        status, out, _ = run("size", "--preset", "list")
        self.assertEqual(status, 0)
        for slug, name, *_ in self.PRESETS:
            self.assertIn(slug, out)
            self.assertIn(name, out)
        self.assertIn("GB 50736-2012 表6.6.3", out)
        self.assertIn("GB 50019-2015 表6.7.6", out)
        status, _, err = run("size", "--flow", "3000", "--preset", "office")
        self.assertEqual(status, 2)
        self.assertIn("public-main", err)

    def test_max_side_keeps_every_meeting_size_under_the_ceiling(self):
        for ceiling in (200, 250, 400):
            with self.subTest(ceiling=ceiling):
                for s in self.sizes("--max-side", str(ceiling)):
                    height = (float(s["size"][1:]) if s["size"].startswith("φ")
                              else float(s["size"].split("*")[1]))
                    self.assertEqual(s["meets"], height <= ceiling, s["size"])

    def test_target_velocity_ranks_by_closeness(self):
        for target in (3.0, 6.5):
            with self.subTest(target=target):
                gaps = [abs(s["velocity"] - target)
                        for s in self.sizes("--target-velocity", str(target))]
                self.assertEqual(gaps, sorted(gaps))


class DesignersFiles(unittest.TestCase):
    """Office files as designers write them: every column read or named."""

    # The same system under the headers of our own workbook, an office sheet
    # and plain English: the same figures every time.
    PLAIN = "segment,flow,size,length,zeta,dp\n1-2,,500x320,5,0.5,150\n2-3,2500,400x250,8,0.5,\n"
    HEADERS = [
        ("our workbook's", "段号,风量 L (m³/h),尺寸,长度 l (m),局部阻力系数 Σζ,固定阻力 Δp (Pa)"),
        ("an office sheet's", "管段编号,风量(CMH),管径,管段长度,局部阻力系数Σζ,设备阻力"),
        ("squeezed and full-width", "编号,风量（立方米/小时）,断面尺寸,长度L(m),Σζ,附加阻力"),
    ]

    def figures(self, text, *options):
        status, out, err = run("system", "--format", "json", *options, "-", stdin=text)
        self.assertEqual(status, 0, err)
        return [(s["flow"], s["total"]) for s in json.loads(out)["segments"]]

    def test_every_header_form_gives_the_same_figures(self):
        expected = self.figures(self.PLAIN)
        rows = self.PLAIN.split("\n", 1)[1]
        for name, header in self.HEADERS:
            with self.subTest(name):
                self.assertEqual(self.figures(header + "\n" + rows), expected)

    def test_units_in_the_header_are_read(self):
        # 2500 m3/h = 694.444 l/s; 8 m = 8000 mm; 150 Pa = 0.15 kPa.
        expected = self.figures("segment,flow,size,length,dp\n1-2,2500,400x250,8,150\n")
        got = self.figures("segment,风量(L/s),size,长度(mm),固定阻力(kPa)\n"
                           "1-2,694.4444444,400x250,8000,0.15\n")
        self.assertAlmostEqual(got[0][0], expected[0][0], places=2)
        self.assertAlmostEqual(got[0][1], expected[0][1], places=3)

    def test_misspelt_and_unused_columns(self):
        cases = [
            ("segment,flow,size,lenght\n1-2,100,200,5\n", 2, 'did you mean "length"'),
            ("segment,风亮,size\n1-2,100,200\n", 2, 'did you mean "风量"'),
            ("segment,flow(furlong/h),size\n1-2,100,200\n", 2, 'unknown unit'),
            ("segment,flow,size,管段说明\n1-2,100,200,x\n", 0, "column 管段说明 is not used"),
        ]
        for text, status, words in cases:
            with self.subTest(words):
                got, out, err = run("system", "-", stdin=text)
                self.assertEqual(got, status, err)
                self.assertIn(words, err)
                if status == 2:
                    self.assertEqual(out, "")

    def test_thousands_separators_read_with_a_warning_and_others_refused(self):
        status, out, err = run("system", "--format", "json", "-",
                               stdin='segment,flow,size\n1-2,"1,800",200\n')
        self.assertEqual(status, 0, err)
        self.assertEqual(json.loads(out)["segments"][0]["flow"], 1800)
        self.assertIn('-:2: warning: flow "1,800" is read as 1800', err)
        status, _, err = run("system", "-", stdin='segment,flow,size\n1-2,"1,80",200\n')
        self.assertEqual(status, 1)
        self.assertIn('flow "1,80" is not a number', err)

    def test_messages_come_in_line_order(self):
        text = ("segment,flow,size,k\n1-2,,200,\n2-3,100,200,20\n2-4,abc,200,\n"
                "4-5,100,200,30\n")
        _, _, err = run("system", "-", stdin=text)
        lines = [int(l.split(":")[2]) for l in err.splitlines() if l.startswith("ductcalc-cli: -:")
                 and l.split(":")[2].strip().isdigit()]
        self.assertEqual(lines, sorted(lines))
        self.assertGreater(len(lines), 2)

    def test_no_segments_and_output_over_the_input_are_usage_errors(self):
        status, out, err = run("system", "-", stdin="segment,flow,size\n")
        self.assertEqual((status, out), (2, ""))
        self.assertIn("no segments", err)
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "plant.csv")
            with open(path, "w") as f:
                f.write(self.PLAIN)
            status, _, err = run("system", path, "-o", path)
            self.assertEqual(status, 2)
            self.assertIn("is the input file", err)
            with open(path) as f:
                self.assertEqual(f.read(), self.PLAIN)

    def test_formula_two_by_default_and_said_in_every_output(self):
        for options, formulas in (([], [2]), (["--formula", "1"], [1])):
            with self.subTest(options=options):
                _, out, _ = run("system", "--format", "json", *options, "-", stdin=self.PLAIN)
                self.assertEqual(json.loads(out)["formulas"], formulas)
                _, text, _ = run("system", *options, "-", stdin=self.PLAIN)
                self.assertIn("friction factor: 公式%s" % ("二" if formulas == [2] else "一"), text)
        # A row's own formula wins over the default.
        one = self.figures(self.PLAIN, "--formula", "1")
        rows = "segment,flow,size,length,zeta,dp,formula\n1-2,,500x320,5,0.5,150,1\n2-3,2500,400x250,8,0.5,,1\n"
        self.assertEqual(self.figures(rows), one)

    def test_exhaust_written_hood_first_and_a_fan_between_its_sides(self):
        hoods = ("from,to,flow,size,length,dp\nH1,J,1000,200,5,\nH2,J,1200,250,5,\n"
                 "J,F,,320x250,6,\nF,S,2200,320x250,10,\n")
        status, out, err = run("system", "--format", "json", "-", stdin=hoods)
        self.assertEqual(status, 0, err)
        fan = json.loads(out)["fan"]
        self.assertEqual((fan["node"], fan["flow"]), ("S", 2200))
        status, out, err = run("system", "--format", "json", "--fan", "F", "-", stdin=hoods)
        self.assertEqual(status, 0, err)
        named = json.loads(out)["fan"]
        self.assertEqual((named["node"], named["flow"]), ("F", 2200))
        self.assertAlmostEqual(named["pressure"], fan["pressure"], places=2)
        # The collector written away from the fan: unnamed, no node is
        # clearly the fan; named, the segment is against its side's air.
        turned = hoods.replace("J,F,", "F,J,")
        status, out, err = run("system", "-", stdin=turned)
        self.assertEqual((status, out), (2, ""))
        self.assertIn("no node is clearly the fan's", err)
        status, out, err = run("system", "--fan", "F", "-", stdin=turned)
        self.assertEqual((status, out), (2, ""))
        self.assertIn("swap its from and to", err)

    def test_remarks_go_with_their_rows_in_every_output(self):
        text = ("segment,flow,size,备注\n1-2,,200,干管\n2-3,100,200,\n"
                '2-4,100,200,"接 AHU, 二层"\n')
        remarks = ["干管", None, "接 AHU, 二层"]
        status, out, err = run("system", "--format", "json", "-", stdin=text)
        self.assertEqual(status, 0, err)
        self.assertEqual([s["remark"] for s in json.loads(out)["segments"]], remarks)
        _, out, _ = run("system", "--format", "csv", "-", stdin=text.replace("备注", "remark"))
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([r["remark"] or None for r in rows], remarks)
        self.assertEqual(list(rows[0])[-1], "remark")
        _, out, _ = run("system", "-", stdin=text)
        listed = [l for l in out.splitlines() if l.startswith(("1-2", "2-3", "2-4"))]
        self.assertTrue(listed[0].endswith("干管") and listed[2].endswith("接 AHU, 二层"), out)
        self.assertFalse(listed[1].endswith(" "))
        # The 计算书's 备注 column, on the segment's own row.
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "remarks.xlsx")
            status, _, err = run("system", "--format", "xlsx", "-o", path, "-", stdin=text)
            self.assertEqual(status, 0, err)
            sheet = openpyxl.load_workbook(path)["水力计算表"]
            rows = [[c.value for c in r] for r in sheet.iter_rows()]
            header = next(r for r in rows if "备注" in r)
            at = header.index("备注")
            written = {r[0]: r[at] for r in rows if r[0] in ("1-2", "2-3", "2-4")}
            self.assertEqual(written, {"1-2": "干管", "2-3": None, "2-4": "接 AHU, 二层"})
        # Without a remarks column the outputs stay as they were.
        _, out, _ = run("system", "--format", "json", "-", stdin=self.PLAIN)
        self.assertNotIn("remark", out)


class FileSettings(unittest.TestCase):
    """The settings rows the grid writes above the header: the file computes
    the same in system without options; an option wins over its row."""

    ROWS = "segment,flow,size,length,zeta\nA-F,1000,200,5,0.5\nF-B,1000,200,10,0.5\n"

    def doc(self, above, *options, text=None):
        status, out, err = run("system", "--format", "json", *options, "-",
                               stdin=above + (text or self.ROWS))
        self.assertEqual(status, 0, err)
        return json.loads(out), err

    def test_each_setting_is_read_and_an_option_wins(self):
        cases = [
            ("风机,F\n", [], lambda d: d["fan"]["node"], "F"),
            ("风机,F\n", ["--fan", "A"], lambda d: d["fan"]["node"], "A"),
            ("温度,40\n", [], lambda d: d["air"]["temperature"], 40),
            ("温度,40\n", ["--air-temperature", "30"], lambda d: d["air"]["temperature"], 30),
            ("海拔,2000\n", [], lambda d: round(d["air"]["pressure"], 2), 79.5),
            ("空白公式,1\n", [], lambda d: d["formulas"], [1]),
            ("空白公式,1\n", ["--formula", "2"], lambda d: d["formulas"], [2]),
            ("风机压力余量,20\n", [], lambda d: d["fan"]["margin"], 0.2),
            ("风机压力余量,20\n", ["--margin", "0.1"], lambda d: d["fan"]["margin"], 0.1),
        ]
        for above, options, get, expected in cases:
            with self.subTest(above=above, options=options):
                doc, _ = self.doc("风机,F\n" + above if "风机" not in above else above, *options)
                self.assertEqual(get(doc), expected)

    def test_fan_from_the_file_is_said(self):
        status, out, err = run("system", "-", stdin="风机,F\n" + self.ROWS)
        self.assertEqual(status, 0, err)
        self.assertIn("fan at node F (from the file)", out)
        self.assertIn("-:1: note: setting 风机: F", err)
        _, out, err = run("system", "--fan", "F", "-", stdin="风机,F\n" + self.ROWS)
        self.assertIn("fan at node F\n", out)
        self.assertIn("-:1: note: setting 风机 gives way to --fan", err)

    def test_unreadable_settings_are_refused_with_their_lines(self):
        status, out, err = run("system", "-",
                               stdin="工程名称,某楼\n空白公式,3\n温度,abc\n" + self.ROWS)
        self.assertEqual((status, out), (2, ""))
        self.assertIn('-:2: setting 空白公式 "3" cannot be read: give a formula, 1 or 2', err)
        self.assertIn('-:3: setting 温度 "abc" cannot be read', err)
        self.assertLess(err.index("-:2: setting"), err.index("-:3: setting"))

    def test_a_velocity_above_the_files_limit_is_a_warning(self):
        _, err = self.doc("风机,F\n最大风速,5\n")
        self.assertIn("-:4: warning: velocity 8.841949 m/s is above the maximum velocity 5 m/s the file sets", err)


class Materials(unittest.TestCase):
    def test_list_and_the_names_a_row_may_give(self):
        status, out, err = run("system", "--material", "list")
        self.assertEqual((status, err), (0, ""))
        rows = list(csv.reader(io.StringIO(out), delimiter="\t"))
        self.assertEqual(rows[0], ["name", "chinese", "k_mm", "source"])
        self.assertIn(["galvanised-steel", "镀锌钢板", "0.15"], [r[:3] for r in rows])
        self.assertTrue(all(r[3] for r in rows[1:-1]))
        _, table_list, _ = run("table", "--material", "list")
        self.assertEqual(table_list, out)
        for name in ("镀锌钢板", "Galvanised-Steel", " 镀锌 钢板"):
            with self.subTest(name):
                status, out, err = run("system", "--format", "json", "-",
                                       stdin="segment,flow,size,material\n1-2,1000,200,%s\n" % name)
                self.assertEqual(status, 0, err)
                given = run("system", "--format", "json", "-",
                            stdin="segment,flow,size,k\n1-2,1000,200,0.15\n")[1]
                self.assertEqual(json.loads(out)["segments"][0]["rm"],
                                 json.loads(given)["segments"][0]["rm"])


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main()
