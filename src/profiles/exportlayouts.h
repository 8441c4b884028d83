// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recognises the layout of a genotype export by its header and reads its rows:
//
// - long, one row per sample and marker: a sample column ("Sample Name", "Sample.Name",
//   "SampleName", "Sample", "Образец"), a marker column ("Marker", "Locus", "Marker Name",
//   "Маркер", "Локус")
//   and allele columns "Allele 1" ... "Allele N" (any spelling of the words' joints); a sample
//   named twice for one marker must give the same alleles;
// - long, one row per allele: the same with one column "Allele"; a sample's rows for one marker
//   together give its alleles;
// - wide, one row per sample: a sample column and no marker column; each other column is a
//   marker, two columns of one marker ("D3S1358" twice, "D3S1358 1"/"D3S1358 2",
//   "D3S1358.1"/"D3S1358.2") hold an allele each, one column holds both ("15/16").
//
// Other columns (sample file, panel, dye, sizes, heights, peak areas, remarks, quality; in the
// wide layout the usual columns of a laboratory system such as a case number or a date) are
// ignored. The header is looked for in the first rows, so a line of metadata above it does no
// harm. Throws ExportError with the place (without the file name).
#include "profiles/genotypeexport.h"
#include "tabletext/tablegrid.h"

namespace profiles {

// "по строке на образец и маркер" and the like, the layout's description. Lines after the table
// that are narrower than the header and hold no allele call ("Printed by:<TAB>Ivanov") end it,
// with a note. `lastLineEnded` false: the text stops without a line end; a last row of the table
// narrower than the header is refused as a file cut short (its missing cells would read as a
// homozygote or an untyped marker), and a whole one is read with a note to check the file.
GenotypeExport readExportGrid(const tabletext::Grid& grid, bool lastLineEnded = true);

// The header is one of the first rows: exports put at most a few lines of metadata above it.
inline constexpr std::size_t kHeaderRowsLooked = 10;

// Whether one of the first rows is a header this reader knows (a sample column): the separator
// that gives one is the file's.
bool hasExportHeader(const tabletext::Grid& grid);

} // namespace profiles
