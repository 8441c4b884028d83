// SPDX-License-Identifier: GPL-3.0-or-later
#include "entrycheck.h"

#include "enginetexts.h"

namespace engine {
namespace {

bool isLabelOf(const std::string& text, const freqdb::LocusRecord& locus)
{
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        if (locus.Labels[i] == text)
            return true;
    }
    return false;
}

} // namespace

EntryProblem CheckEntry(const EntryTexts& entry, const freqdb::LocusRecord& locus)
{
    const auto& t = entry.texts;
    for (int i = 0; i < 4; ++i) {
        if (t[i].empty())
            return EntryProblem::MissingGenotype;
    }
    if (t[4].empty() || t[5].empty())
        return EntryProblem::MissingMother;
    for (int i = 0; i < 6; ++i) {
        const bool motherNotTyped = i >= 4 && t[i] == freqdb::kNoAlleleLabel;
        if (!motherNotTyped && !isLabelOf(t[i], locus))
            return EntryProblem::WrongGenotype;
    }
    return EntryProblem::None;
}

std::string_view entryMessage(EntryProblem problem)
{
    switch (problem) {
    case EntryProblem::MissingGenotype:
        return kMissingGenotype;
    case EntryProblem::MissingMother:
        return kMissingMother;
    case EntryProblem::WrongGenotype:
        return kWrongGenotype;
    case EntryProblem::None:
        break;
    }
    return {};
}

} // namespace engine
