// SPDX-License-Identifier: GPL-3.0-or-later
// A locus worksheet is the table of one locus for one population: its used range, no header
// row, column A the allele label, column B the frequency; row i is allele i, and the last row
// closes the table and is never an allele. The allele count is the last labelled row before
// the closing row. An allele's label cell that holds a date refuses the workbook
// (freqdb/datelabel.h). A load reads every workbook into a new table and hands it over only when all
// of them were read, so a failure never leaves a table that mixes two populations.
#include "locusloader.h"

#include <cmath>
#include <map>
#include <utility>

#include "automation/readmessages.h"
#include "freqdb/datelabel.h"
#include "freqdb/labsettingsfile.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusworkbookfiles.h"
#include "text/shorttext.h"

namespace freqdb {
namespace {

// A table holds at most 100 rows: up to 99 alleles and the closing row.
constexpr int kMaxTableRows = kMaxAlleles;

// The workbook has no worksheet of the chosen population. The load then adds advice for the
// Russian worksheets, which the bundled workbooks do not carry.
class MissingSheetError : public LocusReadError {
public:
    using LocusReadError::LocusReadError;
};

std::string inQuotes(std::string_view text)
{
    return "«" + std::string(text) + "»";
}

std::string readFailure(const std::filesystem::path& path, const std::string& reason)
{
    return std::string(kReadFailed) + "\nКнига " + automation::fileLabel(path) + ": " + reason + ".";
}

[[noreturn]] void fail(const std::filesystem::path& path, const std::string& reason)
{
    throw LocusReadError(readFailure(path, reason));
}

std::string rangeName(const automation::CellArray& cells)
{
    return cells.sheetCellName(1, 1) + ":" + cells.sheetCellName(cells.rows(), cells.columns());
}

std::string sheetList(const automation::Workbook& book)
{
    std::string list;
    for (int i = 1; i <= book.sheetCount(); ++i)
        list += (i > 1 ? ", " : "") + inQuotes(book.sheetName(i));
    return list.empty() ? "в книге нет ни одного листа" : "листы книги: " + list;
}

class SheetReader {
public:
    SheetReader(const std::filesystem::path& path, std::string sheet, const automation::CellArray& cells,
                const text::NumberFormat& format)
        : m_path(path), m_sheet(std::move(sheet)), m_cells(cells), m_format(format)
    {
    }

    void checkShape() const
    {
        if (m_cells.empty())
            fail(m_path, "лист " + inQuotes(m_sheet) + " пуст");
        if (m_cells.columns() < 2)
            fail(m_path, "на листе " + inQuotes(m_sheet) + " занятая область " + rangeName(m_cells)
                             + " имеет один столбец, а нужны два: метка аллели и частота");
        if (m_cells.rows() > kMaxTableRows)
            fail(m_path, "на листе " + inQuotes(m_sheet) + " занятая область " + rangeName(m_cells) + " имеет "
                             + std::to_string(m_cells.rows())
                             + " строк, а таблица локуса — не более 100 (до 99 аллелей и итоговая строка)");
    }

    // The label of row i, "" when its cell is empty.
    std::string label(int i) const
    {
        const automation::CellValue& cell = m_cells.at(i, 1);
        refuseError(cell, i, 1);
        return text::cutToCharacters(automation::cellText(cell, m_format), text::kMaxLabelChars);
    }

    // An allele's label cell that a spreadsheet program made a date (freqdb/datelabel.h). A text
    // label stays as typed ("123456" keeps "12345"), so only a number cell can be the serial day
    // of a date whose format was lost.
    void refuseDateLabel(int i) const
    {
        const automation::CellValue& cell = m_cells.at(i, 1);
        const auto* labelText = std::get_if<std::string>(&cell);
        const auto* number = std::get_if<double>(&cell);
        const std::string refusal = dateLabelRefusal(labelText ? *labelText : std::string(),
                                                     number ? std::optional<double>(*number) : std::nullopt, m_format);
        if (!refusal.empty())
            fail(m_path, "ячейка " + cellName(i, 1) + " листа " + inQuotes(m_sheet) + ": " + refusal);
    }

    // The frequency of row i: a number as it stands, an empty cell as 0, a text read with the
    // program's decimal separator.
    long double frequency(int i) const
    {
        const automation::CellValue& cell = m_cells.at(i, 2);
        refuseError(cell, i, 2);
        if (const auto* number = std::get_if<double>(&cell))
            return *number;
        if (const auto* textValue = std::get_if<std::string>(&cell)) {
            if (const auto value = m_format.parse(*textValue))
                return *value;
            fail(m_path, "частота " + inQuotes(*textValue) + " в ячейке " + cellName(i, 2) + " листа "
                             + inQuotes(m_sheet) + " — не число");
        }
        return 0;
    }

    // An allele's frequency is a proportion; anything else would give a meaningless index.
    void checkProportion(int i, long double value) const
    {
        if (!std::isfinite(value))
            fail(m_path, "частота в ячейке " + cellName(i, 2) + " листа " + inQuotes(m_sheet) + " — не конечное число");
        if (value < 0 || value > 1)
            fail(m_path, "частота " + m_format.general(value) + " в ячейке " + cellName(i, 2) + " листа "
                             + inQuotes(m_sheet) + " лежит вне пределов от 0 до 1");
    }

    [[noreturn]] void failNoAllele() const
    {
        fail(m_path, "на листе " + inQuotes(m_sheet) + " нет ни одной аллели: в занятой области " + rangeName(m_cells)
                         + " перед итоговой (последней) строкой нет строки с меткой аллели");
    }

    std::string cellName(int i, int column) const { return m_cells.sheetCellName(i, column); }

private:
    void refuseError(const automation::CellValue& cell, int i, int column) const
    {
        if (const auto* error = std::get_if<automation::CellError>(&cell))
            fail(m_path,
                 "ячейка " + cellName(i, column) + " листа " + inQuotes(m_sheet) + " не читается: " + error->reason);
    }

    const std::filesystem::path& m_path;
    std::string m_sheet;
    const automation::CellArray& m_cells;
    const text::NumberFormat& m_format;
};

LocusRecord readTable(const SheetReader& sheet, const automation::CellArray& cells)
{
    sheet.checkShape();
    LocusRecord record;
    const int rows = cells.rows();
    for (int i = 1; i <= rows; ++i) {
        std::string label = sheet.label(i);
        if (label.empty())
            continue;
        if (i < rows)
            sheet.refuseDateLabel(i);
        const long double value = sheet.frequency(i);
        if (i < rows)
            sheet.checkProportion(i, value);
        record.Labels[i] = std::move(label);
        record.Frequencies[i] = value;
    }
    int count = rows - 1;
    while (count >= 1 && record.Labels[count].empty())
        --count;
    if (count < 1)
        sheet.failNoAllele();
    record.AlleleCount = static_cast<std::uint8_t>(count);
    return record;
}

std::string russianSheetsAdvice(const std::filesystem::path& dataDir, const std::string& locusName)
{
    return "В папке данных нет листа " + inQuotes(locusName + std::string(sheetSuffix(Population::Russians)))
           + ": в комплекте программы только частоты европеоидов и негров США. Книги лаборатории с частотами "
             "для русских положите в папку "
           + automation::validUtf8(dataDir.string()) + " — в каждой книге локуса лист " + inQuotes("<локус>-rus")
           + ", или внесите таблицу частот командой «paternity-index import ТАБЛИЦА --population rus».";
}

LoadResult failed(LoadResult result, std::string reason)
{
    result.status = LoadStatus::Failed;
    result.table = LocusTable();
    result.message = std::move(reason);
    return result;
}

} // namespace

LocusRecord ReadLocusWorkbook(const std::filesystem::path& path, Population population,
                              const automation::WorkbookReader& reader, const text::NumberFormat& format)
{
    const std::string baseName = fileNameWithoutExtension(path);
    if (baseName.empty())
        fail(path, "в имени файла нет названия локуса перед расширением");
    // The locus name comes from the file name and is shown, saved and compared as UTF-8; a name
    // in another encoding (copied from an old Windows computer) would corrupt all three.
    if (automation::validUtf8(baseName) != baseName)
        fail(path, "имя файла не в кодировке UTF-8; переименуйте файл");

    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status))
        fail(path, "это папка, а не файл книги");
    if (!std::filesystem::is_regular_file(status))
        fail(path, "это не обычный файл (или ссылка, которая никуда не ведёт)");

    // The worksheet carries the workbook's whole name; only the locus name shown is cut.
    const std::string sheet = baseName + std::string(sheetSuffix(population));
    try {
        const std::unique_ptr<automation::Workbook> book = reader.open(path);
        const int index = book->sheetIndex(sheet);
        if (index == 0)
            throw MissingSheetError(readFailure(path, "нет листа " + inQuotes(sheet) + "; " + sheetList(*book)));
        const automation::CellArray cells = book->usedRange(index);
        LocusRecord record = readTable(SheetReader(path, sheet, cells, format), cells);
        record.Name = locusNameOf(path);
        return record;
    } catch (const LocusReadError&) {
        throw;
    } catch (const std::exception& e) {
        fail(path, std::string("не читается: ") + e.what());
    }
}

LoadResult LoadLocusTable(const std::filesystem::path& workDir, Population population,
                          const automation::WorkbookReader& reader, const text::NumberFormat& format,
                          const LoadProgress& progress)
{
    LoadResult result = LoadLocusTableFromFolder(workDir / "data", population, reader, format, progress);
    result.workDir = workDir;
    return result;
}

LoadResult LoadLocusTableFromFolder(const std::filesystem::path& dataDir, Population population,
                                    const automation::WorkbookReader& reader, const text::NumberFormat& format,
                                    const LoadProgress& progress)
{
    LoadResult result;
    result.workDir = dataDir.parent_path();

    std::vector<std::filesystem::path> files;
    try {
        files = findLocusWorkbooks(dataDir);
    } catch (const std::filesystem::filesystem_error& e) {
        return failed(std::move(result), std::string(kReadFailed) + "\nПапка " + automation::validUtf8(dataDir.string())
                                             + " не читается: " + e.code().message() + ".");
    }
    if (files.empty()) {
        result.status = LoadStatus::FilesNotFound;
        result.message = std::string(kFilesNotFound);
        return result;
    }
    if (files.size() > static_cast<std::size_t>(kMaxLoci))
        return failed(std::move(result), std::string(kReadFailed) + "\nВ папке "
                                             + automation::validUtf8(dataDir.string())
                                             + " книг локусов: " + std::to_string(files.size())
                                             + ", а программа держит не более 100 локусов.");

    // Two workbooks of one locus (D3S1358.xls beside D3S1358.xlsx) would give two list entries
    // of one name whose frequencies may differ; the lab must keep one of them.
    std::map<std::string, std::filesystem::path> byName;
    for (const auto& file : files) {
        const auto [it, inserted] = byName.emplace(locusNameOf(file), file);
        if (!inserted)
            return failed(std::move(result), std::string(kReadFailed) + "\nЛокус "
                                                 + inQuotes(automation::validUtf8(it->first))
                                                 + " задан двумя книгами: " + automation::fileLabel(it->second) + " и "
                                                 + automation::fileLabel(file) + "; оставьте в папке одну из них.");
    }

    // The lab's settings belong to its tables: a settings file that cannot be used fails the
    // load like a workbook that cannot be read.
    SettingsRead settings = readLabSettings(dataDir / kSettingsFileName);
    if (!settings.ok)
        return failed(std::move(result), std::move(settings.message));

    const int total = static_cast<int>(files.size());
    LocusTable table;
    table.setPopulation(population);
    table.setSettings(std::move(settings.settings));
    table.setLocusCount(static_cast<std::uint8_t>(total));
    for (int k = 1; k <= total; ++k) {
        try {
            table.replaceRecord(static_cast<std::uint8_t>(k),
                                ReadLocusWorkbook(files[k - 1], population, reader, format));
        } catch (const MissingSheetError& e) {
            std::string message = e.what();
            if (population == Population::Russians)
                message += "\n" + russianSheetsAdvice(dataDir, fileNameWithoutExtension(files[k - 1]));
            return failed(std::move(result), std::move(message));
        } catch (const LocusReadError& e) {
            return failed(std::move(result), e.what());
        }
        if (progress)
            progress(k, total, table.record(static_cast<std::uint8_t>(k)).Name);
    }
    result.status = LoadStatus::Loaded;
    result.table = std::move(table);
    return result;
}

} // namespace freqdb
