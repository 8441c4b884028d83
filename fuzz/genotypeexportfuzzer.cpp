// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reader of genotyping exports and the case formed from what it reads: the input is
// the export's bytes. A refusal is an ExportError; any other exception, a crash, a hang or
// runaway memory is a finding, and so is a case that breaks what the batch relies on (rows in
// the order of the loaded loci, no more than the table holds).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "freqdb/locustable.h"
#include "profiles/profilecase.h"

namespace {

// Two loci, one named as exports often spell it differently.
freqdb::LocusTable smallTable()
{
    freqdb::LocusTable table;
    table.setLocusCount(2);
    const char* names[] = {"D3S1358", "Penta D"};
    for (std::uint8_t k = 1; k <= 2; ++k) {
        freqdb::LocusRecord record;
        record.Name = names[k - 1];
        record.AlleleCount = 3;
        const char* labels[] = {"", "15", "16", "9,3"};
        for (int i = 1; i <= 3; ++i) {
            record.Labels[i] = labels[i];
            record.Frequencies[i] = 0.25;
        }
        table.replaceRecord(k, record);
    }
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const freqdb::LocusTable table = smallTable();
    static const text::NumberFormat format(",");
    try {
        const auto exported
            = profiles::readGenotypeExportText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
        const auto names = exported.sampleNames();
        if (names.size() >= 2) {
            const profiles::CaseChoice choice{names[0], names[1],
                                              names.size() > 2 ? std::optional(names[2]) : std::nullopt};
            const auto loaded = profiles::evaluateProfileCase(exported, choice, table, format, "fuzz.txt");
            if (loaded.ok && loaded.grid.ResultCount() > 2)
                std::abort();
        }
    } catch (const profiles::ExportError&) {
        // a refusal with its reason: the expected answer to most inputs
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the export reader threw: %s\n", e.what());
        std::abort();
    }
    return 0;
}
