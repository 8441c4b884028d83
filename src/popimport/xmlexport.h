// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The XML export of a population frequency database:
//
//   <frequencies><marker><name>VWA</name><alleles>11, 12, ...</alleles>
//     <origin name="AUSTRIA" n="222"><frequency allele="18">2.59009e-1</frequency>...</origin>
//     ...</marker>...</frequencies>
//
// One table per origin. `origin` (letter case ignored) picks one, and is required when the file
// holds several: the refusal then lists them with their sample sizes. Read with expat, which
// neither fetches external entities nor expands entities without bound. Throws ImportError (the
// place without the file name).
#include <optional>
#include <string>
#include <string_view>

#include "popimport/frequencytable.h"
#include "text/numberformat.h"

namespace popimport {

// True when the text looks like such an export (an XML declaration or a <frequencies> root).
bool looksLikeXml(std::string_view text);

FrequencyTable readXmlExport(std::string_view text, const std::optional<std::string>& origin,
                             const text::NumberFormat& format);

} // namespace popimport
