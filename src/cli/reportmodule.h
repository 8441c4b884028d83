// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report module, paternity-index-report.so: the case report and the validation protocol drawn with Qt Gui, in a
// shared object of its own so that only a command that writes a report loads Qt (cli/programmodule.h).
// casereportfile.cpp opens it; casereportmodule.cpp is its one source of its own.
#include <filesystem>
#include <string>

#include "cli/casereportfile.h"
#include "cli/programmodule.h"
#include "validation/validationprotocol.h"

namespace cli {

inline constexpr const char* kReportModuleFile = "paternity-index-report.so";
inline constexpr const char* kReportModuleEntryName = "pi_report_module_entry";

// What the module offers; the executable and the module come from one build (the version is
// checked on opening), so C++ types pass between them as they are.
struct ReportModuleEntry {
    // Qt's offscreen application, kept for a run that writes many reports; null when the process
    // already has a Qt application.
    void* (*startDrawing)();
    void (*stopDrawing)(void* drawing);
    // writeCaseReportFile() of casereportfile.h.
    std::string (*writeCaseReportFile)(const std::filesystem::path& path, const EvaluatedCase& evaluated);
    // writeValidationReportFile() of validationreportfile.h.
    std::string (*writeValidationReportFile)(const std::filesystem::path& path,
                                             const validation::ValidationProtocol& protocol);
};

// The report module opened (casereportfile.cpp), or why it cannot be.
struct OpenedReportModule {
    const ReportModuleEntry* entry = nullptr;
    std::string error;
};
OpenedReportModule openReportModule();

} // namespace cli

PI_MODULE_EXPORT const cli::ReportModuleEntry* pi_report_module_entry();
