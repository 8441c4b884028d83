// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a read of a results or genotype workbook hands back. The window replaces its table only
// when `ok` is true, so a cancelled or failed read never touches the operator's results.
#include <string>
#include <utility>
#include <vector>

#include "freqdb/population.h"
#include "results/resultsgrid.h"

namespace exchange {

struct LoadedResults {
    bool ok = false;
    // When !ok: the operator message, freqdb::kReadFailed on the first line, then a line naming
    // the file (and the cell, where one is at fault) and the reason.
    std::string error;
    // When ok: the new table (header, rows, RowGenotypes, ResultCount 0..99).
    results::ResultsGrid grid;
    // When ok: the window caption, "Paternity Index - " + the full path.
    std::string caption;
    // When ok: remarks for the operator (rows left out, an unsplittable genotype cell).
    std::vector<std::string> notes;
    // When ok: rows beyond the 99 the table holds, and rows under the workbook's closing lines
    // (not locus rows); both left out, and each said in `notes`.
    int rowsLeftOut = 0;
    int rowsAfterClosingLines = 0;
    // When ok: the two result lines that belong to the rows read, for the two result fields; empty
    // when the workbook holds none for them (a genotype workbook is evaluated anew).
    std::string cpiLine;
    std::string probabilityLine;
    // When ok: the population whose frequencies the rows were computed with, as the workbook's
    // closing line names it ("Использовались референтные частоты аллелей для русских"); Unset when
    // the workbook names none.
    freqdb::Population statedPopulation = freqdb::Population::Unset;
    // When ok and the rows came from a genotyping export: the samples taken for the persons
    // ("отец «F-118», ребенок «C-118», мать «M-118»"), for the case report; empty otherwise.
    std::string sourceSamples;

    static LoadedResults failed(std::string message)
    {
        LoadedResults out;
        out.error = std::move(message);
        return out;
    }
};

} // namespace exchange
