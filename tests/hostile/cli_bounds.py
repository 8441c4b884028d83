#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs `paternity-index batch` on each big hostile workbook as a whole process and checks that it
refuses the file with the read error (exit status 1, "Не могу прочитать данные в массив!" first on
stderr, then a line naming the file) - or, for the workbooks with thousands of sheets, which are
valid and under the sheet limit, reads it and finds no row to evaluate (exit status 1 with that
reason, not the read error) - and that its peak memory stays under the bound.

    cli_bounds.py PROGRAM DATA_DIR BIG_DIR LIMIT_MB
"""
import os
import resource
import subprocess
import sys

READ_FAILED = "Не могу прочитать данные в массив!"
READABLE_PREFIXES = ("many-sheets",)
NO_INDEX = "ни в одной строке нет LR"


def main():
    program, data_dir, big_dir, limit_mb = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    files = sorted(f for f in os.listdir(big_dir) if not f.startswith("."))
    if not files:
        print("no big hostile files in", big_dir)
        return 1
    failures = 0
    for name in files:
        path = os.path.join(big_dir, name)
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        run = subprocess.run([program, "batch", path, "--population", "white", "--data", data_dir],
                             capture_output=True, text=True, timeout=60)
        # ru_maxrss of the children is the largest peak of any child so far, in KiB.
        peak_mb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        lines = run.stderr.splitlines()
        problems = []
        readable = name.startswith(READABLE_PREFIXES)
        if run.returncode != 1:
            problems.append(f"exit status {run.returncode}, expected 1")
        if readable:
            if NO_INDEX not in run.stderr:
                problems.append(f"stderr does not say the rows give no index: {run.stderr[:200]!r}")
        elif not lines or lines[0] != READ_FAILED:
            problems.append(f"stderr does not start with the read error: {run.stderr[:200]!r}")
        elif len(lines) < 2 or name not in lines[1]:
            problems.append(f"the second line does not name the file: {lines[1:2]}")
        if peak_mb > limit_mb and peak_mb > before / 1024:
            problems.append(f"peak memory {peak_mb:.0f} MB over {limit_mb} MB")
        status = "ok" if not problems else "FAILED"
        print(f"{status:7} {name}: exit {run.returncode}, peak {peak_mb:.0f} MB")
        for p in problems:
            print("        " + p)
        failures += bool(problems)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
