// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the locus workbook loader: the input becomes the one workbook of a data folder and
// LoadLocusTable reads it. The file is named after the input's first worksheet that carries a
// population suffix ("D3S1358-white" gives D3S1358.xlsx read for the US Caucasians), so
// mutations of real locus workbooks reach the table reading, not only the missing-sheet path.
// LoadLocusTable reports every failure in its result; an exception, a crash, a hang or runaway
// memory is a finding, and so is a failure whose message does not start with the read error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "automation/workbook.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "fuzztempfile.h"
#include "text/numberformat.h"

namespace {

struct Target {
    std::string locus = "D3S1358";
    freqdb::Population population = freqdb::Population::UsCaucasians;
};

bool usableFileName(const std::string& name)
{
    if (name.empty() || name.size() > 100 || name == "." || name == "..")
        return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

Target targetOf(const automation::WorkbookReader& reader, const std::filesystem::path& probe)
{
    Target target;
    try {
        const auto workbook = reader.open(probe);
        const int sheets = workbook->sheetCount();
        for (int i = 1; i <= sheets && i <= 10; ++i) {
            const std::string name = workbook->sheetName(i);
            for (auto population :
                 {freqdb::Population::Russians, freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
                const auto suffix = freqdb::sheetSuffix(population);
                if (name.size() > suffix.size() && name.ends_with(suffix)) {
                    const std::string locus = name.substr(0, name.size() - suffix.size());
                    if (usableFileName(locus))
                        return {locus, population};
                }
            }
        }
    } catch (const std::exception&) {
        // The loader below meets the same input and must answer it properly.
    }
    return target;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto reader = automation::makeFileWorkbookReader();
    static const text::NumberFormat format(",");
    const std::string extension = fuzz::extensionByContent(data, size, ".xls");
    const auto probe = fuzz::writeInput("probe" + extension, data, size);
    const Target target = targetOf(*reader, probe);

    const auto workDir = fuzz::tempFolder() / "work";
    std::error_code ignored;
    std::filesystem::remove_all(workDir, ignored);
    std::filesystem::create_directories(workDir / "data");
    std::filesystem::rename(probe, workDir / "data" / (target.locus + extension));

    try {
        const freqdb::LoadResult result = freqdb::LoadLocusTable(workDir, target.population, *reader, format);
        if (result.status == freqdb::LoadStatus::Failed && !result.message.starts_with(freqdb::kReadFailed)) {
            std::fprintf(stderr, "failed load without the read error: %s\n", result.message.c_str());
            std::abort();
        }
        if (result.status == freqdb::LoadStatus::Loaded && result.table.LocusCount() != 1)
            std::abort();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "LoadLocusTable threw: %s\n", e.what());
        std::abort();
    }
    return 0;
}
