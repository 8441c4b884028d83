// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole validation protocol from the tables in use: the identity lines (when, which program,
// which data folder and population, the tables' fingerprint, the settings in force, the seed and
// the cases ordered), the check of the tables, the warnings about the other populations of the
// folder, the tables against their source and the settings against a plain reading of their
// file, and the run itself. The command `validate` and the window's "Проверка расчёта
// (валидация)…" both build their protocol here, so the two cannot tell a lab different things.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "automation/workbook.h"
#include "freqdb/datafolder.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "text/numberformat.h"
#include "validation/validationprotocol.h"
#include "validation/validationrun.h"

namespace validation {

struct ProtocolRequest {
    const freqdb::DataFolder* data = nullptr; // where `table` was loaded from
    freqdb::Population population = freqdb::Population::Unset;
    const freqdb::LocusTable* table = nullptr; // with the settings in force
    std::size_t cases = 1000;
    std::uint64_t seed = 0;
    // Called now and then with the cases done and the total; it may throw to abandon the run.
    std::function<void(std::size_t done, std::size_t total)> progress;
    SettingOptions settingOptions; // the command line's settings over the file's, as applied to `table`
};

// A seed for a run that was given none; the protocol prints it so the run can be repeated.
std::uint64_t newSeed();

ValidationProtocol buildProtocol(const ProtocolRequest& request, const automation::WorkbookReader& reader,
                                 const text::NumberFormat& format, const ProgramComputations& program = {});

} // namespace validation
