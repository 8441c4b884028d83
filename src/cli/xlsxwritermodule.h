// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The writer module, paternity-index-xlsx.so: the .xlsx writers over libxlsxwriter in a shared object of their own, so
// that only a run that writes a workbook maps libxlsxwriter and the libcrypto it pulls in (cli/programmodule.h).
// xlsxwriterdoor.cpp, linked into the executable, opens it at the first workbook written; xlsxwritermodule.cpp is its
// one source of its own.
#include <filesystem>
#include <memory>
#include <vector>

#include "automation/cellworkbookwriter.h"
#include "automation/workbookwriter.h"
#include "cli/programmodule.h"

namespace cli {

inline constexpr const char* kXlsxWriterModuleFile = "paternity-index-xlsx.so";
inline constexpr const char* kXlsxWriterModuleEntryName = "pi_xlsx_writer_module_entry";

// What the module offers; the executable and the module come from one build (the version is checked on opening), so
// C++ types pass between them as they are, and a failed save reaches the caller as the WorkbookError it throws.
struct XlsxWriterModuleEntry {
    // makeXlsxWorkbookWriter() of automation/workbookwriter.h
    std::unique_ptr<automation::WorkbookWriter> (*makeWorkbookWriter)();
    // saveCellWorkbook() of automation/cellworkbookwriter.h
    void (*saveCellWorkbook)(const std::filesystem::path& path, const std::vector<automation::NamedSheet>& sheets);
};

} // namespace cli

PI_MODULE_EXPORT const cli::XlsxWriterModuleEntry* pi_xlsx_writer_module_entry();
