// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the genotype workbook batch evaluation and the results workbook reader on the bundled
// frequency database (US Caucasians). Both report a failure in their result: an exception, a
// crash, a hang, runaway memory, a failure without the read error on its first line, or a
// table of more than 99 rows is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "automation/workbook.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "fuzztempfile.h"
#include "text/numberformat.h"

namespace {

const freqdb::LocusTable& bundledTable(const automation::WorkbookReader& reader, const text::NumberFormat& format)
{
    static const freqdb::LocusTable table = [&] {
        const auto loaded = freqdb::LoadLocusTable(PI_SOURCE_DIR, freqdb::Population::UsCaucasians, reader, format);
        if (loaded.status != freqdb::LoadStatus::Loaded) {
            std::fprintf(stderr, "cannot load the bundled data: %s\n", loaded.message.c_str());
            std::abort();
        }
        return loaded.table;
    }();
    return table;
}

void check(const exchange::LoadedResults& loaded, const char* what)
{
    const bool bad = loaded.ok ? loaded.grid.ResultCount() > 99 : !loaded.error.starts_with(freqdb::kReadFailed);
    if (bad) {
        std::fprintf(stderr, "%s: ok=%d rows=%d error=%s\n", what, loaded.ok, loaded.grid.ResultCount(),
                     loaded.error.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto reader = automation::makeFileWorkbookReader();
    static const text::NumberFormat format(",");
    const auto& table = bundledTable(*reader, format);
    const auto path = fuzz::writeInput("case" + fuzz::extensionByContent(data, size, ".xlsx"), data, size);
    try {
        check(exchange::evaluateGenotypeWorkbook(path, *reader, table, format), "evaluateGenotypeWorkbook");
        check(exchange::loadResultsWorkbook(path, *reader, format), "loadResultsWorkbook");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception escaped: %s\n", e.what());
        std::abort();
    }
    return 0;
}
