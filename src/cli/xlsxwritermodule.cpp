// SPDX-License-Identifier: GPL-3.0-or-later
// The writer module's side of cli/xlsxwritermodule.h: the .xlsx writers over libxlsxwriter.
#include "cli/xlsxwritermodule.h"

#include "version/projectversion.h"

namespace cli {
namespace {

const XlsxWriterModuleEntry kEntry{automation::makeXlsxWorkbookWriter, automation::saveCellWorkbook};

} // namespace
} // namespace cli

PI_MODULE_VERSION_ENTRY(version::kVersion)

PI_MODULE_EXPORT const cli::XlsxWriterModuleEntry* pi_xlsx_writer_module_entry()
{
    return &cli::kEntry;
}
