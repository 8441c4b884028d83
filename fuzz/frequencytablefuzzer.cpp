// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of a lab's frequency table for the import: the input is the table file
// (a delimited text, the XML export or a workbook, recognised by content) and is read once
// without and once with an origin. A refusal is an ImportError; any other exception, a crash, a
// hang or runaway memory is a finding, and so is a table that breaks what the import relies on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "automation/workbook.h"
#include "fuzztempfile.h"
#include "popimport/tablereader.h"
#include "text/shorttext.h"

namespace {

void check(const popimport::FrequencyTable& table)
{
    for (const auto& locus : table.loci) {
        if (locus.alleles.empty() || locus.alleles.size() > 99)
            std::abort();
        for (const auto& allele : locus.alleles) {
            if (allele.label.empty() || text::characterCount(allele.label) > text::kMaxLabelChars
                || !(allele.frequency > 0 || allele.frequency == 0) || allele.frequency > 1)
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto reader = automation::makeFileWorkbookReader();
    static const text::NumberFormat format(",");
    const auto path = fuzz::writeInput("table" + fuzz::extensionByContent(data, size, ".csv"), data, size);
    for (const std::optional<std::string>& origin : {std::optional<std::string>(), std::optional<std::string>("a")}) {
        try {
            check(popimport::readFrequencyTable(path, origin, *reader, format));
        } catch (const popimport::ImportError&) {
            // a refusal with its reason: the expected answer to most inputs
        } catch (const std::exception& e) {
            std::fprintf(stderr, "readFrequencyTable threw: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}
