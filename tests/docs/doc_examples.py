#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the command examples of the README (and of data/README.md, the data folder's) and the manual
page, as a reader would type them, and fails when one ends with another exit status than its text
states.

Usage: doc_examples.py PROGRAM SOURCE_DIR

Which lines are examples:
- README.md and data/README.md: every line of a fenced block (``` ... ```) that starts with
  `./build/src/app/paternity-index` or `paternity-index`; a line ending with a backslash goes on
  on the next one. A block whose fence is ```text is not run: a synopsis, an output, anything
  that is not a command as written.
- The manual page (packaging/paternity-index.1.in): every line of an .EX ... .EE block that starts
  with `paternity\\-index` (roff escapes undone).
Lines that start with anything else (./test.sh, sudo apt ...) are not examples of the program.

The exit status an example is expected to end with: 0, unless the shell comment at the end of its
line says otherwise with "status N" (README) or "код выхода N" (manual page), for example
`... --prior 1   # status 3: the probability has no value`.

How each example runs: the program's name is replaced by PROGRAM and the line is given to bash
(so redirections, globs and comments work as in a terminal), in a fresh copy of a working folder
that holds what the examples name:
- data/: the bundled frequency tables with a `rus` table imported (the documents' examples of
  `--population rus` are those of a lab that has one); examples/: the repository's examples;
- russians.csv (a table of the import's layouts) and export.xml (a frequency database's XML
  export, origins POLAND and GERMANY), both of all the bundled loci;
- trio.xlsx, duo.xlsx, case.xls (a workbook of that name; the readers know it by its content), relatives.xlsx (the
  grandparents example),
  archive/ and 2026-12/ with the example cases; run118.txt, the example export with the samples
  F-118, C-118 and M-118.
An example that names another file needs it added to make_folder() below. HOME and the XDG
folders point into the working folder, so no lab folder of the machine is read or written.
"""
import csv
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
from collections import OrderedDict

README_PROGRAM = re.compile(r"^(\./build/src/app/paternity-index|paternity-index)(?=\s|$)")
README_STATUS = re.compile(r"\bstatus\s+(\d+)")
MAN_STATUS = re.compile(r"код выхода\s+(\d+)")


def readme_examples(path):
    examples = []
    fence = None  # the info string of the open fence
    pending, start = "", 0
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            stripped = line.strip()
            if stripped.startswith("```"):
                fence = None if fence is not None else stripped[3:].strip()
                continue
            if fence is None or fence == "text":
                continue
            if pending:
                pending += " " + stripped
            elif README_PROGRAM.match(stripped):
                pending, start = stripped, number
            else:
                continue
            if pending.endswith("\\"):
                pending = pending[:-1].rstrip()
                continue
            examples.append((start, pending))
            pending = ""
    return examples


def unroff(text):
    return text.replace("\\-", "-").replace("\\(em", "—").replace("\\e", "\\").replace("\\\\", "\\")


def man_examples(path):
    examples = []
    inside = False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            stripped = line.strip()
            if stripped == ".EX":
                inside = True
            elif stripped == ".EE":
                inside = False
            elif inside and stripped.startswith("paternity\\-index"):
                examples.append((number, unroff(stripped)))
    return examples


def expected_status(command, pattern):
    comment = command.find(" #")
    match = pattern.search(command[comment:]) if comment >= 0 else None
    return int(match.group(1)) if match else 0


def export_xml(source_csv):
    loci = OrderedDict()
    with open(source_csv, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            loci.setdefault(row["locus"], []).append((row["allele"], row["frequency"]))
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<frequencies>']
    for locus, alleles in loci.items():
        parts.append("<marker><name>%s</name><alleles>%s</alleles>" % (locus, ", ".join(a for a, _ in alleles)))
        for origin in ("POLAND", "GERMANY"):
            parts.append('<origin name="%s" n="361">' % origin)
            parts += ['<frequency allele="%s">%s</frequency>' % (a, p) for a, p in alleles]
            parts.append("</origin>")
        parts.append("</marker>")
    parts.append("</frequencies>\n")
    return "".join(parts)


def make_folder(source, program, folder):
    shutil.copytree(os.path.join(source, "data"), os.path.join(folder, "data"))
    shutil.copytree(os.path.join(source, "examples"), os.path.join(folder, "examples"))
    examples = os.path.join(folder, "examples")
    shutil.copy(os.path.join(source, "tests/popimport/fixtures/nist-caucasian-export.csv"),
                os.path.join(folder, "russians.csv"))
    with open(os.path.join(folder, "export.xml"), "w", encoding="utf-8") as f:
        f.write(export_xml(os.path.join(source, "data/source/us_caucasians.csv")))
    for name in ("trio.xlsx", "duo.xlsx"):
        shutil.copy(os.path.join(examples, name), os.path.join(folder, name))
    shutil.copy(os.path.join(examples, "trio.xlsx"), os.path.join(folder, "case.xls"))
    shutil.copy(os.path.join(examples, "relatives-grandparents.xlsx"), os.path.join(folder, "relatives.xlsx"))
    for sub, names in (("archive", ("trio.xlsx", "duo.xlsx")), ("2026-12", ("exclusion.xlsx",))):
        os.makedirs(os.path.join(folder, sub))
        for name in names:
            shutil.copy(os.path.join(examples, name), os.path.join(folder, sub, name))
    with open(os.path.join(examples, "trio-export.txt"), encoding="utf-8", newline="") as f:
        text = f.read()
    for person, short in (("Father", "F"), ("Child", "C"), ("Mother", "M")):
        text = text.replace(person + "-2026-118", short + "-118")
    with open(os.path.join(folder, "run118.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(text)
    for sub in ("home", "home/.local/share", "home/.local/state", "home/.config"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    # A lab with its own table of Russians.
    run = subprocess.run([program, "import", "russians.csv", "--population", "rus"], cwd=folder,
                         env=environment(folder), capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit("the working folder's rus table was not imported:\n" + run.stderr)
    shutil.rmtree(os.path.join(folder, "data", next(n for n in os.listdir(os.path.join(folder, "data"))
                                                    if n.startswith("backup-"))))


def environment(folder):
    env = dict(os.environ)
    home = os.path.join(folder, "home")
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_STATE_HOME=os.path.join(home, ".local/state"), XDG_CONFIG_HOME=os.path.join(home, ".config"),
               LC_ALL="C.UTF-8", QT_QPA_PLATFORM="offscreen")
    return env


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    # Each document with its examples, how a line states its status, and how many examples it has
    # at least (fewer means the reading of its layout went wrong).
    documents = [("README.md", readme_examples(os.path.join(source, "README.md")), README_STATUS, 5),
                 ("data/README.md", readme_examples(os.path.join(source, "data/README.md")), README_STATUS, 1),
                 ("paternity-index.1.in", man_examples(os.path.join(source, "packaging/paternity-index.1.in")),
                  MAN_STATUS, 5)]
    failures, ran = [], 0
    with tempfile.TemporaryDirectory(prefix="doc-examples-") as scratch:
        base = os.path.join(scratch, "base")
        os.makedirs(base)
        make_folder(source, program, base)
        for document, examples, status, least in documents:
            if len(examples) < least:
                failures.append("%s: only %d examples found; has the layout of its examples changed?"
                                % (document, len(examples)))
            for number, command in examples:
                folder = os.path.join(scratch, "run-%d" % ran)
                shutil.copytree(base, folder, symlinks=True)
                line = README_PROGRAM.sub(lambda _: shlex.quote(program), command, count=1)
                want = expected_status(command, status)
                run = subprocess.run(["bash", "-c", line], cwd=folder, env=environment(folder),
                                     capture_output=True, text=True, timeout=300)
                ran += 1
                print("%s:%d: status %d (expected %d): %s" % (document, number, run.returncode, want, command))
                if run.returncode != want:
                    failures.append("%s:%d: %s\n  ended with status %d, the text states %d\n  stderr: %s"
                                    % (document, number, command, run.returncode, want,
                                       run.stderr.strip()[-2000:]))
                shutil.rmtree(folder)
    for failure in failures:
        print("FAILED " + failure, file=sys.stderr)
    print("%d examples run, %d failed" % (ran, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
