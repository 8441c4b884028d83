// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of batch and validate that replace what the lab's settings file says, for one run
// only: --mutation, --min-frequency and --theta.
#include <optional>
#include <string>

#include "freqdb/locustable.h"

namespace cli {

// Applies --mutation, --min-frequency and --theta, each checked when the options were read, over
// the table's settings; any of them makes "командная строка" a source of the settings. Returns
// the reason when the settings they leave cannot be used together (θ beside the mutation model);
// the table then holds them all the same. A number typed with a point or a comma is kept with
// `separator`, the one the program prints numbers with ("--theta 0.01" shows as "θ=0,01" under a
// comma locale); the settings file's numbers stay as the lab wrote them.
std::optional<std::string> applySettingOverrides(freqdb::LocusTable& table, const std::optional<std::string>& mutation,
                                                 const std::optional<std::string>& minFrequency,
                                                 const std::optional<std::string>& theta, const std::string& separator);

} // namespace cli
