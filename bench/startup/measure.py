#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up to the first frame of several programs, measured round by round.

    measure.py OUT_DIR ROUNDS NAME=PROGRAM [NAME=PROGRAM ...]

Each round runs every program once, in an order that rotates from round to
round, so that a slow spell of the machine or of the X server hits every
program alike instead of one program's whole series. Before each run the
X server is left idle for a moment, as it is when a user starts a program.

Per run: wall time from the start of the process to its end (the program
ends right after its first frame), CPU time and peak resident memory of that
very process (wait4). Prints one JSON object: per program the lists of the
three figures go to OUT_DIR/runs.json; the summary (medians, and the
ratios of the last program to each of the others) is printed and written to
OUT_DIR/summary.txt. The first rounds warm the caches and are not recorded.

The goals apply to the last program beside the references named in GOALS:
the bare window, and the bare window showing a line of Chinese in the
system's CJK font.
"""
import json
import statistics
import os
import subprocess
import sys
import time

IDLE_BEFORE_RUN = 0.1  # seconds
WARM_UP_ROUNDS = 3
GOALS = {
    "floor": {"wall_ms": 1.3, "peak_rss_kib": 1.25},
    "floor_system_text": {"wall_ms": 1.05},
}


def run_once(program):
    time.sleep(IDLE_BEFORE_RUN)
    start = time.perf_counter_ns()
    child = subprocess.Popen([program], stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall_ms = (time.perf_counter_ns() - start) / 1e6
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"{program} ended with {child.returncode}")
    return wall_ms, (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss


def measure(rounds, programs):
    results = {name: {"wall_ms": [], "cpu_ms": [], "peak_rss_kib": []} for name, _ in programs}
    for r in range(WARM_UP_ROUNDS + rounds):
        shift = r % len(programs)
        for name, program in programs[shift:] + programs[:shift]:
            wall, cpu, rss = run_once(program)
            if r < WARM_UP_ROUNDS:
                continue
            results[name]["wall_ms"].append(wall)
            results[name]["cpu_ms"].append(cpu)
            results[name]["peak_rss_kib"].append(rss)
    return results


def summary(results, rounds):
    names = list(results)
    subject = names[-1]
    median = {n: {k: statistics.median(v) for k, v in results[n].items()} for n in names}
    lines = [
        f"{'program':<17} | first frame, median (ms) | CPU, median (ms) | peak RSS, median (KiB)",
        f"{'-' * 17}-|--------------------------|------------------|-----------------------",
    ]
    for n in names:
        m = median[n]
        lines.append(f"{n:<17} | {m['wall_ms']:24.1f} | {m['cpu_ms']:16.1f} | {m['peak_rss_kib']:22.0f}")
    lines.append("")
    labels = {"wall_ms": "first frame", "cpu_ms": "CPU to first frame", "peak_rss_kib": "peak memory"}
    for reference in names[:-1]:
        for key in ("wall_ms", "peak_rss_kib", "cpu_ms"):
            ratio = median[subject][key] / median[reference][key]
            line = f"{labels[key] + ',':<20} {subject}/{reference} = {ratio:.2f}"
            goals = GOALS.get(reference, {})
            if key in goals:
                goal = goals[key]
                line += f"  (goal <= {goal}: {'met' if ratio <= goal else 'NOT met'})"
            lines.append(line)
    lines.append(f"medians of {rounds} interleaved rounds after {WARM_UP_ROUNDS} warm-up rounds")
    return "\n".join(lines) + "\n"


def main():
    out_dir = sys.argv[1]
    rounds = int(sys.argv[2])
    if rounds < 1:
        sys.exit("at least one round")
    programs = [arg.split("=", 1) for arg in sys.argv[3:]]
    results = measure(rounds, programs)
    with open(os.path.join(out_dir, "runs.json"), "w") as f:
        json.dump(results, f, indent=1)
    text = summary(results, rounds)
    with open(os.path.join(out_dir, "summary.txt"), "w") as f:
        f.write(text)
    sys.stdout.write(text)


if __name__ == "__main__":
    main()
