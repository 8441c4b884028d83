// SPDX-License-Identifier: GPL-3.0-or-later
// The .xlsx writers as the executable has them: through the writer module (cli/xlsxwritermodule.h), opened at the
// first workbook written. Without the module every save fails as a save does, its message naming the workbook and
// why the module could not be used.
#include <string>
#include <utility>

#include "automation/readmessages.h"
#include "automation/workbook.h"
#include "cli/xlsxwritermodule.h"

namespace automation {
namespace {

struct OpenedWriterModule {
    const cli::XlsxWriterModuleEntry* entry = nullptr;
    std::string error;
};

// Opened once a run: a module that cannot be used stays so until the program ends.
const OpenedWriterModule& writerModule()
{
    static const OpenedWriterModule opened = [] {
        const cli::ProgramModule module
            = cli::openProgramModule(cli::kXlsxWriterModuleFile, cli::kXlsxWriterModuleEntryName);
        if (!module.entry)
            return OpenedWriterModule{nullptr, module.error};
        return OpenedWriterModule{reinterpret_cast<const cli::XlsxWriterModuleEntry* (*)()>(module.entry)(), {}};
    }();
    return opened;
}

// A writer without its module: it takes every call and refuses to save.
class UnavailableWorkbookWriter : public WorkbookWriter {
public:
    explicit UnavailableWorkbookWriter(std::string reason) : m_reason(std::move(reason)) {}
    void addWorksheet(const std::string&) override {}
    void setAlignment(const CellRange&, HorizontalAlignment) override {}
    void setTextFormat(const CellRange&) override {}
    void merge(const CellRange&) override {}
    void setValues(const CellRange&, const std::vector<std::vector<std::string>>&) override {}
    void setColumnWidth(const CellRange&, double) override {}
    void setWrap(const CellRange&) override {}
    void setRowHeight(int, double) override {}
    void setPageSetup(const PageSetup&) override {}
    void save(const std::filesystem::path& path) override
    {
        throw WorkbookError("Книга «" + path.string() + "» не сохранена: " + m_reason);
    }

private:
    std::string m_reason;
};

} // namespace

std::unique_ptr<WorkbookWriter> makeXlsxWorkbookWriter()
{
    const OpenedWriterModule& module = writerModule();
    if (!module.entry)
        return std::make_unique<UnavailableWorkbookWriter>(module.error);
    return module.entry->makeWorkbookWriter();
}

void saveCellWorkbook(const std::filesystem::path& path, const std::vector<NamedSheet>& sheets)
{
    const OpenedWriterModule& module = writerModule();
    if (!module.entry)
        throw WorkbookError("Книга «" + validUtf8(path.filename().string()) + "» не сохранена: " + module.error);
    module.entry->saveCellWorkbook(path, sheets);
}

} // namespace automation
