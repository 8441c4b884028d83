// SPDX-License-Identifier: GPL-3.0-or-later
// A locus worksheet is the table of one locus for one population: its used range, no header
// row, column A the allele label, column B the frequency; row i is allele i, and the last row
// closes the table and is never an allele. The allele count is the last labelled row before
// the closing row. An allele's label cell that holds a date refuses the workbook
// (freqdb/datelabel.h). A load reads every workbook into a new table and hands it over only when all
// of them were read, so a failure never leaves a table that mixes two populations.
#include "locusloader.h"

#include <cmath>
#include <optional>
#include <utility>

#include "automation/readmessages.h"
#include "freqdb/datafiles.h"
#include "freqdb/datelabel.h"
#include "freqdb/labsettingsfile.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusworkbookfiles.h"
#include "freqdb/skippedloci.h"
#include "freqdb/unfinishedimport.h"
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

// The record of the population's worksheet; nullopt when the workbook has no such worksheet.
std::optional<LocusRecord> readIfSheet(const std::filesystem::path& path, Population population,
                                       const automation::WorkbookReader& reader, const text::NumberFormat& format)
{
    try {
        return ReadLocusWorkbook(path, population, reader, format);
    } catch (const MissingSheetError&) {
        return std::nullopt;
    }
}

bool sameTable(const LocusRecord& a, const LocusRecord& b)
{
    if (a.AlleleCount != b.AlleleCount)
        return false;
    for (int i = 1; i <= a.AlleleCount; ++i)
        if (a.Labels[i] != b.Labels[i] || a.Frequencies[i] != b.Frequencies[i])
            return false;
    return true;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + automation::validUtf8(name);
    return list;
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
    return LoadDataFolder(DataFolder{dataDir, {}}, population, reader, format, progress);
}

LoadResult LoadDataFolder(const DataFolder& data, Population population, const automation::WorkbookReader& reader,
                          const text::NumberFormat& format, const LoadProgress& progress)
{
    LoadResult result;
    result.workDir = data.folder.parent_path();
    const std::filesystem::path& dataDir = data.folder;

    // Every file below is read while no import writes the folder: the tables are one import's.
    const FolderReadLock lock(dataDir);
    if (lock.failed())
        return failed(std::move(result), *lock.failed());
    if (auto unfinished = unfinishedImport(dataDir))
        return failed(std::move(result), std::move(*unfinished));
    DataFiles files;
    try {
        files = listDataFiles(data);
    } catch (const std::filesystem::filesystem_error& e) {
        return failed(std::move(result), std::string(kReadFailed) + "\nПапка "
                                             + automation::validUtf8(e.path1().string())
                                             + " не читается: " + e.code().message() + ".");
    }
    if (!files.error.empty())
        return failed(std::move(result), std::move(files.error));
    if (files.loci.empty()) {
        result.status = LoadStatus::FilesNotFound;
        result.message = std::string(kFilesNotFound);
        return result;
    }
    if (files.loci.size() > static_cast<std::size_t>(kMaxLoci))
        return failed(std::move(result), std::string(kReadFailed) + "\nВ папке " + data.shown()
                                             + " книг локусов: " + std::to_string(files.loci.size())
                                             + ", а программа держит не более 100 локусов.");

    // The lab's settings belong to its tables: a settings file that cannot be used fails the
    // load like a workbook that cannot be read.
    const std::filesystem::path settingsFile = fileInForce(data, std::string(kSettingsFileName));
    SettingsRead settings = readLabSettings(settingsFile.empty() ? dataDir / kSettingsFileName : settingsFile);
    if (!settings.ok)
        return failed(std::move(result), std::move(settings.message));

    const SkippedLoci skipped = SkippedLoci::read(dataDir);
    std::vector<LocusRecord> records;
    records.reserve(files.loci.size()); // a record is 5 KB: no regrowth moving them all
    std::vector<std::string> skippedNames, ownNames, carriedNames;
    const int total = static_cast<int>(files.loci.size());
    for (int k = 1; k <= total; ++k) {
        const LocusWorkbooks& locus = files.loci[static_cast<std::size_t>(k - 1)];
        try {
            std::optional<LocusRecord> record;
            if (!locus.own.empty())
                record = readIfSheet(locus.own, population, reader, format);
            bool carried = false;
            if (record && !locus.installed.empty()) {
                // A worksheet an earlier import carried over from the program's own workbook.
                for (const std::filesystem::path& originPath : locus.shippedOrigins) {
                    const auto origin = readIfSheet(originPath, population, reader, format);
                    if (!origin || !sameTable(*origin, *record))
                        continue;
                    carried = true;
                    record = readIfSheet(locus.installed, population, reader, format);
                    if (record && !sameTable(*record, *origin))
                        carriedNames.push_back(fileNameWithoutExtension(locus.own)
                                               + std::string(sheetSuffix(population)));
                    break;
                }
            }
            if (record && !carried && !locus.installed.empty()) {
                // The lab's own table of a locus the program also ships: said, so that a table
                // kept from an earlier package is not taken for the installed one unseen.
                const auto installed = readIfSheet(locus.installed, population, reader, format);
                if (installed && !sameTable(*installed, *record))
                    ownNames.push_back(fileNameWithoutExtension(locus.own) + std::string(sheetSuffix(population)));
            }
            const std::filesystem::path& fallback = locus.installed.empty() ? locus.own : locus.installed;
            if (!record && (locus.own.empty() || !locus.installed.empty()))
                record = readIfSheet(fallback, population, reader, format);
            if (!record && skipped.contains(population, locus.locus)) {
                skippedNames.push_back(locus.locus);
            } else if (!record) {
                ReadLocusWorkbook(fallback, population, reader, format); // throws the missing sheet
            } else {
                records.push_back(std::move(*record));
            }
        } catch (const MissingSheetError& e) {
            std::string message = e.what();
            result.missingSheet = message;
            if (population == Population::Russians)
                message += "\n" + russianSheetsAdvice(dataDir, locus.locus);
            return failed(std::move(result), std::move(message));
        } catch (const LocusReadError& e) {
            return failed(std::move(result), e.what());
        }
        if (progress)
            progress(k, total, locus.locus);
    }
    if (records.empty()) {
        result.status = LoadStatus::FilesNotFound;
        result.message = std::string(kFilesNotFound);
        return result;
    }

    LocusTable table;
    table.setPopulation(population);
    table.setSettings(std::move(settings.settings));
    table.setRecords(std::move(records));
    if (const std::string note = outdatedCopiesNote(data, files); !note.empty())
        result.notes.push_back(note);
    if (!carriedNames.empty())
        result.notes.push_back("Установленные таблицы обновлены: листы прежней версии в книгах лаборатории (их "
                               "перенёс прежний внос) не используются: "
                               + joined(carriedNames) + ".");
    if (!ownNames.empty())
        result.notes.push_back("Таблицы лаборатории вместо установленных: " + joined(ownNames) + ".");
    if (!skippedNames.empty())
        result.notes.push_back("Для популяции «" + std::string(populationCode(population)) + "» пропущены локусы "
                               + joined(skippedNames) + " (" + kSkippedLociName + ": у них нет листа «<локус>"
                               + std::string(sheetSuffix(population)) + "»).");
    result.status = LoadStatus::Loaded;
    result.table = std::move(table);
    return result;
}

} // namespace freqdb
