// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads one named stream out of a compound file (the OLE2 container of .xls), held in memory.
// The .xls reader takes the "Workbook" stream from here. Everything is bounded by the file's
// real size: sector chains are followed at most once per sector (a cyclic chain is an error),
// and no allocation trusts a size the file declares without checking it against the file.
#include <optional>
#include <string>
#include <string_view>

namespace automation {

class CfbReader {
public:
    static bool hasSignature(std::string_view data);

    // The stream named `name` (ASCII, compared ignoring case), nullopt when there is none.
    // Throws WorkbookError prefixed with `where` when the container is damaged.
    static std::optional<std::string> readStream(std::string_view data, std::string_view name,
                                                 const std::string& where);
};

} // namespace automation
