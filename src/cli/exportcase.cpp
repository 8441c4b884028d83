// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportcase.h"

#include "profiles/profilecase.h"

namespace cli {
namespace {

std::string sampleList(const profiles::GenotypeExport& data)
{
    std::string list;
    for (const auto& name : data.sampleNames())
        list += (list.empty() ? "" : ", ") + ("«" + name + "»");
    return list;
}

} // namespace

ExportCase evaluateExportCase(const BatchOptions& options, const freqdb::LocusTable& table,
                              const text::NumberFormat& format)
{
    ExportCase out;
    const std::filesystem::path& file = options.cases.front();
    // Without --father a workbook is the case; a text file is read as an export only to say what
    // is missing, and anything else is left to the workbook reader's own message.
    if (!options.father && !profiles::isGenotypeExportFile(file))
        return out;
    profiles::GenotypeExport data;
    try {
        data = profiles::readGenotypeExport(file);
    } catch (const profiles::ExportError& e) {
        if (!options.father)
            return out;
        out.isExport = true;
        out.loaded = exchange::LoadedResults::failed(e.what());
        return out;
    }
    out.isExport = true;
    if (!options.father) {
        out.wrongArguments = true;
        out.loaded.error = file.string() + " - экспорт генотипов: укажите --father и --child (и --mother). Образцы: "
                           + sampleList(data);
        return out;
    }
    const profiles::CaseChoice choice{*options.father, *options.child, options.mother};
    if (const auto missing = profiles::missingSamples(data, choice); !missing.empty()) {
        std::string names;
        for (const auto& name : missing)
            names += (names.empty() ? "«" : ", «") + name + "»";
        out.wrongArguments = true;
        out.loaded.error = "В экспорте " + file.string() + " нет образца " + names + ". Образцы: " + sampleList(data);
        return out;
    }
    out.loaded = profiles::evaluateProfileCase(data, choice, table, format, file);
    return out;
}

} // namespace cli
