#!/usr/bin/env python3
# Writes the example genotyping exports of examples/ from the bundled US Caucasian allele
# frequencies (data/source/us_caucasians.csv): one trio, the child inheriting one allele of each
# parent at every locus, drawn with a fixed seed so the files do not change between runs.
#
#   trio-export.txt   long, one row per sample and marker, as allele-calling programs write it:
#                     tab-separated, CRLF, a metadata line above the header, Allele/Size/Height
#                     1..4, amelogenin and Y markers, a ladder and a negative control, homozygotes
#                     written twice for the mother and once for the others
#   duo-alleles.csv   long, one row per allele (SampleName, Marker, Allele, Height), father and child
#   trio-wide.csv     wide, one row per sample, one column per marker holding both alleles ("15/16"),
#                     semicolon-separated
import csv
import pathlib
import random
import sys

root = pathlib.Path(__file__).resolve().parent.parent
out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "examples"
rng = random.Random(2026)

alleles = {}
with open(root / "data/source/us_caucasians.csv", newline="") as f:
    for row in csv.DictReader(f):
        alleles.setdefault(row["locus"], []).append((row["allele"], float(row["frequency"])))
# The kit's order: the loci a lab's export lists, in the order it lists them.
kit = ["D3S1358", "vWA", "D16S539", "CSF1PO", "TPOX", "D8S1179", "D21S11", "D18S51", "D2S441", "D19S433",
       "TH01", "FGA", "D22S1045", "D5S818", "D13S317", "D7S820", "SE33", "D10S1248", "D1S1656", "D12S391",
       "D2S1338", "Penta D", "Penta E"]


def draw(locus):
    labels, weights = zip(*alleles[locus])
    return rng.choices(labels, weights)[0]


father, mother, child = {}, {}, {}
for locus in kit:
    father[locus] = sorted([draw(locus), draw(locus)], key=float)
    mother[locus] = sorted([draw(locus), draw(locus)], key=float)
    child[locus] = sorted([rng.choice(mother[locus]), rng.choice(father[locus])], key=float)
extra = {"AMEL": (["X", "Y"], ["X", "X"], ["X", "Y"]), "DYS391": (["10"], [], ["10"]), "Yindel": (["2"], [], ["2"])}


def dye(i):
    return ["B", "G", "Y", "R", "P"][i % 5]


# Long, one row per sample and marker.
rows = [["Sample File", "Sample Name", "Panel", "Marker", "Dye", "Allele 1", "Allele 2", "Allele 3", "Allele 4",
         "Size 1", "Size 2", "Size 3", "Size 4", "Height 1", "Height 2", "Height 3", "Height 4"]]
samples = [("A01_Ladder.hid", "Ladder", None), ("B01_Father-2026-118.hid", "Father-2026-118", father),
           ("C01_Mother-2026-118.hid", "Mother-2026-118", mother), ("D01_Child-2026-118.hid", "Child-2026-118", child),
           ("E01_NEG.hid", "NEG", None)]
for file, name, profile in samples:
    for i, locus in enumerate(kit + list(extra)):
        if profile is None:
            calls = []
        elif locus in extra:
            calls = extra[locus][[father, mother, child].index(profile)]
        else:
            calls = list(profile[locus])
            if calls[0] == calls[1] and profile is not mother:
                calls = calls[:1]  # this program writes a homozygote once
        sizes = [f"{100 + 4 * float(a.replace('X', '1').replace('Y', '2')):.2f}" for a in calls]
        heights = [str(rng.randint(900, 4200)) for _ in calls]
        pad = lambda v: v + [""] * (4 - len(v))
        rows.append([file, name, "Kit_24plex_v1", locus, dye(i)] + pad(calls) + pad(sizes) + pad(heights))
with open(out / "trio-export.txt", "w", newline="", encoding="utf-8") as f:
    f.write("# Genotypes Table\tRun 2026-12-01_118\tAnalysis Method: HID_Kit24\r\n")
    for row in rows:
        f.write("\t".join(row) + "\r\n")

# Long, one row per allele: father and child of the same case.
with open(out / "duo-alleles.csv", "w", newline="", encoding="utf-8") as f:
    w = csv.writer(f, lineterminator="\n")
    w.writerow(["SampleName", "Marker", "Allele", "Height"])
    for name, profile in (("Father-2026-118", father), ("Child-2026-118", child)):
        for locus in kit:
            for a in sorted(set(profile[locus]), key=float):
                w.writerow([name, locus.upper().replace(" ", "_"), a, rng.randint(900, 4200)])

# Wide, one row per sample.
with open(out / "trio-wide.csv", "w", newline="", encoding="utf-8") as f:
    w = csv.writer(f, delimiter=";", lineterminator="\n")
    w.writerow(["Case", "Sample"] + kit + ["AMEL"])
    for name, profile, amel in (("Father-2026-118", father, "X/Y"), ("Mother-2026-118", mother, "X/X"),
                                ("Child-2026-118", child, "X/Y")):
        w.writerow(["2026-118", name] + ["/".join(profile[locus]) for locus in kit] + [amel])
