// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes one workbook reader: open the input as a workbook, then read every worksheet's name and
// used range and every cell's text, as the loader and the results readers do. A reader may
// refuse the input only with WorkbookError; any other exception, a crash, a hang or runaway
// memory is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "automation/workbook.h"
#include "fuzztempfile.h"
#include "text/numberformat.h"

#ifndef PI_FUZZ_EXTENSION
#error "PI_FUZZ_EXTENSION names the input's extension"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto reader = automation::makeFileWorkbookReader();
    static const text::NumberFormat format(",");
    const auto path = fuzz::writeInput(std::string("input") + PI_FUZZ_EXTENSION, data, size);
    try {
        const auto workbook = reader->open(path);
        const int sheets = workbook->sheetCount();
        for (int i = 1; i <= sheets; ++i) {
            const std::string name = workbook->sheetName(i);
            if (workbook->sheetIndex(name) < 1)
                std::abort(); // a listed sheet must be found by its own name
            const automation::CellArray cells = workbook->usedRange(i);
            std::size_t total = 0;
            for (int r = 1; r <= cells.rows(); ++r) {
                for (int c = 1; c <= cells.columns(); ++c)
                    total += automation::cellText(cells.at(r, c), format).size();
            }
            (void)total;
        }
    } catch (const automation::WorkbookError&) {
        // A refusal with a reason is the expected answer to a broken file.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "reader threw %s instead of WorkbookError: %s\n", typeid(e).name(), e.what());
        std::abort();
    }
    return 0;
}
