// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What keeps an evaluated case from being plain "ok": rows the table shows without an index
// (a locus not loaded, an allele not in the table, a genotype typed wrongly, a maternity
// exclusion: the expert must see that the mother typed is not the child's), a locus on two rows
// (only its first enters the CPI), rows beyond the 99
// the table holds, and a probability of paternity that has no value (a prior of 1 beside an
// exclusion). Such a case was evaluated, its CPI is formed from the rows that have an LR, and
// its results are written; but a reader must not take it for a complete result, so its status
// names each reservation and the run ends with kExitIncomplete.
#include <string>
#include <string_view>
#include <vector>

#include "engine/combinedindex.h"
#include "exchange/loadedresults.h"

namespace archive {

// The status of a case with reservations: this, then the reservations joined with "; ".
inline constexpr std::string_view kIncompletePrefix = "неполный расчет: ";

struct CaseReservations {
    // Per row without an index: "№<row number> «<its verdict>»".
    std::vector<std::string> unevaluatedRows;
    // Per row with an LR left out of the CPI because its locus came before: "№<row> «<locus>»".
    std::vector<std::string> repeatedLoci;
    int rowsLeftOut = 0; // beyond the 99 rows of the table
    bool probabilityUndefined = false;

    bool any() const
    {
        return !unevaluatedRows.empty() || !repeatedLoci.empty() || rowsLeftOut > 0 || probabilityUndefined;
    }
    // kIncompletePrefix and the reservations, one line: "неполный расчет: не рассчитано строк: 1
    // (№5 «Аллеля l7 (отца) нет в локусе vWA»); не загружено строк сверх 99: 21"
    std::string status() const;
};

// A row has no index when its LR is empty, whatever its verdict ("Материнство исключается" too).
CaseReservations reservationsOf(const exchange::LoadedResults& evaluated, const engine::CombinedIndexResult& combined);

} // namespace archive
