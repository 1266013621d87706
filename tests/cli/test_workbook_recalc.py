# SPDX-License-Identifier: GPL-3.0-or-later
"""The 计算书's live sums recalculated by LibreOffice: every formula of a
workbook written by ductcalc-cli is computed again by LibreOffice Calc
(headless, its own profile, set to recalculate on load), from a copy whose
cached values were all set to 0; each recalculated value must equal the
program's within 1e-9 relative. Exits 77 (skipped) when soffice is missing.

    test_workbook_recalc.py PATH_TO_DUCTCALC_CLI
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import zipfile

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))
HAND_WORKED = os.path.join(HERE, "..", "data", "hand_worked.csv")

# A system with two levels of junctions, an equipment loss and a fan.
SYSTEM = """segment,flow,size,length,zeta,dp
1-2,,500x320,5,0.5,150
2-3,2500,400x250,8,0.3+0.2,
2-4,,320x250,6,0.4,
4-5,1000,200,10,1.5,20
4-6,1200,250,4,0.8,20
"""
RUN = "segment,flow,size,length,zeta\n1-2,1000,200,10,1.5\n2-3,5000,500x320,5,0.5\n3-4,800,abc,5,0.5\n"

# Each workbook: the command's arguments and its input.
CASES = {
    "system": (["system", "--formula", "1", "--leakage", "0.05"], SYSTEM),
    "hand_worked": (["system", "--velocity-main", "10", "--velocity-branch", "10"], None),
    "run": (["table"], RUN),
}

# LibreOffice keeps the cached values of an xlsx file unless told to
# recalculate on load: the private profile tells it so.
PROFILE = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry"
 xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
"""

TIMEOUT = 240  # seconds for LibreOffice to convert every workbook


def without_cached_values(source, target):
    """A copy of the workbook whose formulas' cached values are all 0."""
    with zipfile.ZipFile(source) as z, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as out:
        for name in z.namelist():
            data = z.read(name)
            if name.startswith("xl/worksheets/sheet"):
                data = re.sub(rb"(</f>)<v>[^<]*</v>", rb"\1<v>0</v>", data)
            out.writestr(name, data)


def recalculate(files, outdir, profile):
    """Converts `files` to xlsx in `outdir` with LibreOffice; its process
    group is killed by id when it does not finish in time."""
    command = [shutil.which("soffice") or "/usr/bin/soffice",
               f"-env:UserInstallation=file://{profile}", "--headless", "--norestore",
               "--convert-to", "xlsx", "--outdir", outdir, *files]
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise SystemExit(f"LibreOffice did not finish within {TIMEOUT} s")
    if process.returncode != 0:
        raise SystemExit(f"LibreOffice failed ({process.returncode}): {output.decode()}")


def formulas(path):
    """Every formula cell: (sheet, cell) -> its formula."""
    book = openpyxl.load_workbook(path)
    return {(s.title, c.coordinate): c.value for s in book for row in s.iter_rows() for c in row
            if isinstance(c.value, str) and c.value.startswith("=")}


def values(path):
    book = openpyxl.load_workbook(path, data_only=True)
    return {(s.title, c.coordinate): c.value for s in book for row in s.iter_rows() for c in row}


def main():
    program = sys.argv[1]
    if not (shutil.which("soffice") or os.path.exists("/usr/bin/soffice")):
        print("soffice is not installed: skipped")
        return 77
    failures = []
    with tempfile.TemporaryDirectory() as d:
        profile = os.path.join(d, "profile")
        os.makedirs(os.path.join(profile, "user"))
        with open(os.path.join(profile, "user", "registrymodifications.xcu"), "w") as f:
            f.write(PROFILE)
        zeroed = []
        for name, (args, text) in CASES.items():
            path = os.path.join(d, name + ".xlsx")
            source = ["-"] if text is not None else [HAND_WORKED]
            p = subprocess.run([program, *args, "--format", "xlsx", "-o", path, *source],
                               input=(text or "").encode(), capture_output=True, timeout=60)
            if p.returncode not in (0, 1) or not os.path.exists(path):
                failures.append(f"{name}: ductcalc-cli exited {p.returncode}: {p.stderr.decode()}")
                continue
            os.makedirs(os.path.join(d, "zeroed"), exist_ok=True)
            copy = os.path.join(d, "zeroed", name + ".xlsx")
            without_cached_values(path, copy)
            zeroed.append(copy)
        outdir = os.path.join(d, "recalculated")
        recalculate(zeroed, outdir, profile)
        for name in CASES:
            path = os.path.join(d, name + ".xlsx")
            if not os.path.exists(path):
                continue
            cells = formulas(path)
            program_values = values(path)
            office_values = values(os.path.join(outdir, name + ".xlsx"))
            if not cells:
                failures.append(f"{name}: no formulas")
            for key, formula in sorted(cells.items()):
                ours, theirs = program_values[key], office_values.get(key)
                if not isinstance(theirs, (int, float)) or not isinstance(ours, (int, float)):
                    failures.append(f"{name} {key} {formula}: {ours!r} against {theirs!r}")
                elif abs(ours - theirs) > 1e-9 * max(abs(ours), abs(theirs)) and ours != theirs:
                    failures.append(f"{name} {key} {formula}: {ours!r} against {theirs!r}")
            print(f"{name}: {len(cells)} formulas recalculated")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
