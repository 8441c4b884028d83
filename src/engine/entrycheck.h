// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks of "Рассчитать" before a locus is evaluated, over the six texts the allele lists
// show, in the order father 1, father 2, child 1, child 2, mother 1, mother 2 (the six allele boxes).
#include <array>
#include <string>
#include <string_view>

#include "freqdb/locusrecord.h"

namespace engine {

enum class EntryProblem {
    None,
    MissingGenotype, // a father or child list shows nothing: "Введите все генотипы"
    MissingMother, // a mother list shows nothing: "Нет генотипа матери"
    WrongGenotype, // a text is no label of the locus (nor "Нет" for the mother):
                   // "Неправильно введены генотипы"
};

struct EntryTexts {
    std::array<std::string, 6> texts; // father 1, father 2, child 1, child 2, mother 1, mother 2
};

// The first failing check in the order above; `locus` is the record of CurrentLocus (an empty
// record before any locus was chosen).
EntryProblem CheckEntry(const EntryTexts& entry, const freqdb::LocusRecord& locus);

// The message box text of a problem (empty for None).
std::string_view entryMessage(EntryProblem problem);

} // namespace engine
