# SPDX-License-Identifier: GPL-3.0-or-later
"""ductcalc-cli system and table reading xlsx workbooks, run as the built
program: workbooks made here by openpyxl give the same figures as the same
rows in CSV; the program's own workbooks read back; what cannot be read is
refused with exit 2 and its reason.

    test_workbook_input.py PATH_TO_DUCTCALC_CLI
"""
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile

import openpyxl

PROGRAM = None

# The system of test_system_program.py: a fan at 1, three branches, an
# equipment row; the flows of 1-2 and 2-4 summed from the outlets.
HEADER = ["segment", "flow", "size", "length", "zeta", "dp"]
ROWS = [
    ["1-2", None, "500x320", 5, 0.5, 150],
    ["2-3", 2500, "400x250", 8, "0.3+0.2", None],
    ["2-4", None, "320x250", 6, 0.4, None],
    ["4-5", 1000, 200, 10, 1.5, 20],
    ["4-6", 1200, 250, 4, 0.8, 20],
]


def csv_text(rows, header=HEADER, above=()):
    lines = [",".join(row) for row in above]
    lines.append(",".join(header))
    for row in rows:
        lines.append(",".join("" if v is None else str(v) for v in row))
    return "\n".join(lines) + "\n"


def run(*args, stdin=b""):
    p = subprocess.run([PROGRAM, *args], input=stdin, capture_output=True, timeout=60)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


def figures(*args, stdin=b""):
    """The JSON figures of `system`, with the exit status and messages."""
    status, out, err = run("system", "--format", "json", *args, stdin=stdin)
    return status, (json.loads(out) if status in (0, 1) and out else None), err


class Workbooks(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def save(self, wb, name="sys.xlsx"):
        path = self.path(name)
        wb.save(path)
        return path

    def sheet_of(self, rows=ROWS, header=HEADER, above=(), title="计算表"):
        wb = openpyxl.Workbook()
        ws = wb.active
        ws.title = title
        for row in above:
            ws.append(list(row))
        ws.append(header)
        for row in rows:
            ws.append(row)
        return wb, ws

    def assertSameAsCsv(self, xlsx, csv, *args):
        got = figures(*args, xlsx)
        want = figures("-", stdin=csv.encode())
        self.assertEqual(got[0], want[0], got[2])
        self.assertEqual(got[1], want[1])
        return got

    def test_each_form_gives_the_figures_of_the_same_rows_in_csv(self):
        def plain():
            return self.sheet_of()[0], csv_text(ROWS)

        def merged_title_and_settings():
            wb, ws = self.sheet_of(above=[["某工程送风系统水力计算表"], ["工程名称", "某办公楼"],
                                          []])
            ws.merge_cells("A1:F1")
            return wb, csv_text(ROWS, above=[["某工程送风系统水力计算表"],
                                             ["工程名称", "某办公楼"], []])

        def sum_row():
            wb, ws = self.sheet_of()
            ws.append(["合计", "=SUM(B2:B6)", None, "=SUM(D2:D6)"])
            return wb, csv_text(ROWS + [["合计", 4700, None, 33]])

        def empty_cells_between_filled_ones():
            # A remark column far to the right, with columns left empty
            # between; a row whose middle cells are empty.
            header = HEADER + [None, None, "备注"]
            rows = [r + [None, None, "干管" if r[0] == "1-2" else None] for r in ROWS]
            return (self.sheet_of(rows, header)[0],
                    csv_text(rows, ["" if h is None else h for h in header]))

        def second_sheet():
            wb = openpyxl.Workbook()
            wb.active.title = "封面"
            wb.active.append(["见计算表"])
            ws = wb.create_sheet("计算表")
            ws.append(HEADER)
            for row in ROWS:
                ws.append(row)
            return wb, csv_text(ROWS)

        for name, make, args in [("plain", plain, ()),
                                 ("merged title row and a setting", merged_title_and_settings, ()),
                                 ("SUM row", sum_row, ()),
                                 ("empty cells between filled ones",
                                  empty_cells_between_filled_ones, ()),
                                 ("second sheet by --sheet", second_sheet, ("--sheet", "计算表"))]:
            with self.subTest(name):
                wb, csv = make()
                status, doc, err = self.assertSameAsCsv(self.save(wb), csv, *args)
                self.assertEqual(status, 0, err)
                self.assertEqual(doc["fan"]["flow"], 4700)

    def test_a_formula_gives_the_value_saved_with_it(self):
        wb, ws = self.sheet_of()
        ws["B3"] = "=2000+500"
        path = self.save(wb)
        # openpyxl saves no value with a formula: the value a spreadsheet
        # program would have saved is written into the sheet's XML.
        self.add_cached_values(path, {"B3": "2500"})
        self.assertSameAsCsv(path, csv_text(ROWS))

    def add_cached_values(self, path, values):
        with zipfile.ZipFile(path) as z:
            parts = {i.filename: z.read(i.filename) for i in z.infolist()}
        sheet = parts["xl/worksheets/sheet1.xml"].decode()
        for ref, value in values.items():
            sheet, n = re.subn(r'(<c r="%s"[^>]*>\s*<f>[^<]*</f>)(<v\s*/>|<v>\s*</v>)?' % ref,
                               r"\1<v>%s</v>" % value, sheet)
            self.assertEqual(n, 1, sheet)
        parts["xl/worksheets/sheet1.xml"] = sheet.encode()
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
            for name, data in parts.items():
                z.writestr(name, data)

    def test_a_formula_without_its_value_is_refused(self):
        wb, ws = self.sheet_of()
        ws["B3"] = "=2000+500"
        status, out, err = run("system", self.save(wb))
        self.assertEqual((status, out), (2, ""))
        self.assertIn("sys.xlsx:3: cell B3 holds a formula whose value the workbook does not "
                      "hold", err)
        self.assertIn("recalculate and save it", err)

    def test_an_error_cell_is_named_and_refused_as_a_number(self):
        wb, ws = self.sheet_of()
        ws["B3"] = "#DIV/0!"
        status, out, err = run("system", self.save(wb))
        self.assertEqual(status, 1, err)
        self.assertIn("sys.xlsx:3: warning: cell B3 holds the spreadsheet error #DIV/0!", err)
        self.assertIn('"#DIV/0!" is not a number', err)

    def test_an_unknown_sheet_lists_the_sheets(self):
        wb = self.sheet_of()[0]
        wb.create_sheet("环路")
        path = self.save(wb)
        for command in ("system", "table"):
            with self.subTest(command):
                status, out, err = run(command, path, "--sheet", "Sheet9")
                self.assertEqual((status, out), (2, ""))
                self.assertIn('the workbook has no sheet "Sheet9"; its sheets are "计算表", "环路"',
                              err)

    def test_files_that_are_not_workbooks_are_refused_by_their_bytes(self):
        ods = io.BytesIO()
        with zipfile.ZipFile(ods, "w") as z:
            z.writestr("mimetype", "application/vnd.oasis.opendocument.spreadsheet")
            z.writestr("content.xml", "<office:document-content/>")
        good = self.path("good.xlsx")
        self.sheet_of()[0].save(good)
        with open(good, "rb") as f:
            good_bytes = f.read()
        truncated = good_bytes[:300]
        for name, data, says in [
                ("old.xls", b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(504),
                 "an Excel 97-2003 workbook (.xls)"),
                ("sheet.ods", ods.getvalue(), "an OpenDocument spreadsheet (.ods)"),
                ("cut.xlsx", truncated, "a damaged workbook: not a readable zip archive"),
                # Named .csv, still a workbook by its bytes.
                ("named.csv", good_bytes, None)]:
            with self.subTest(name):
                path = self.path(name)
                with open(path, "wb") as f:
                    f.write(data)
                for command in ("system", "table"):
                    status, out, err = run(command, path)
                    if says is None:
                        # table sums no flows: two rows of this system have none.
                        self.assertEqual(status, 0 if command == "system" else 1, err)
                        self.assertNotIn("not CSV", err)
                        continue
                    self.assertEqual((status, out), (2, ""))
                    self.assertIn(says, err)
                    self.assertIn("save it as .xlsx" if "damaged" not in says else "archive",
                                  err)

    def test_our_own_workbooks_read_back_with_the_same_figures(self):
        csv = csv_text(ROWS)
        source = self.path("sys.csv")
        with open(source, "w") as f:
            f.write(csv)
        out = self.path("out.xlsx")
        status, _, err = run("system", source, "--format", "xlsx", "-o", out)
        self.assertEqual(status, 0, err)
        for fmt in ("json", "csv", "text"):
            with self.subTest(fmt):
                want = run("system", "--format", fmt, source)
                got = run("system", "--format", fmt, out)
                self.assertEqual(got[:2], want[:2], got[2])

        # A run for table, which sums no flows.
        with open(source, "w") as f:
            f.write(csv_text([r[:1] + [r[1] or 4700] + r[2:] for r in ROWS]))
        table_out = self.path("table.xlsx")
        status, _, err = run("table", source, "--format", "xlsx", "-o", table_out)
        self.assertEqual(status, 0, err)
        want = run("table", source)
        got = run("table", table_out)
        self.assertEqual(got[:2], want[:2], got[2])
        with open(table_out, "rb") as f:
            self.assertEqual(run("table", "-", stdin=f.read())[:2], want[:2])


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
