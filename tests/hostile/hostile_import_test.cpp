// SPDX-License-Identifier: GPL-3.0-or-later
// A hostile locus workbook in the folder an import plans to update. The loader reads only the
// population's worksheet; the import carries every other worksheet into the new workbook, so
// what it holds of them must stay bounded too.
#include <gtest/gtest.h>

#include <filesystem>

#include "automation/workbook.h"
#include "hostilesupport.h"
#include "popimport/importplan.h"
#include "popimport/tablereader.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;

// Four hundred sheets sharing one part with cells at A1 and ALL1000, a few kilobytes that spell
// out 400 million cells, in place of the bundled D3S1358 workbook.
TEST(HostileImport, CarriedSheetsAreBoundedAndTheWorkbookNamed)
{
    WorkFolder work;
    const fs::path bundled = fs::path(PI_SOURCE_DIR) / "data";
    for (const auto& entry : fs::directory_iterator(bundled)) {
        if (entry.path().extension() == ".xls" && entry.path().stem() != "D3S1358")
            fs::copy_file(entry.path(), work.dataDir() / entry.path().filename());
    }
    fs::copy_file(smallFile("carried-corner-sheets.xlsx"), work.dataDir() / "D3S1358.xlsx");
    const auto reader = automation::makeFileWorkbookReader();
    const text::NumberFormat format(",");
    const auto table
        = popimport::readFrequencyTable(bundled / "source" / "us_caucasians.csv", std::nullopt, *reader, format);
    popimport::ImportRequest request;
    request.dataDir = work.dataDir();
    request.population = freqdb::Population::Russians;

    const double memoryBefore = peakMemoryMiB();
    try {
        (void)popimport::planImport(table, request, *reader);
        ADD_FAILURE() << "planned";
    } catch (const popimport::ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("Книга «D3S1358.xlsx», лист «C"), std::string::npos) << e.what();
    }
    if (memoryIsMeasurable()) {
        EXPECT_LT(peakMemoryMiB() - memoryBefore, 100) << "MiB taken by the plan";
    }
}

} // namespace
} // namespace hostile
