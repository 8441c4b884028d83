// SPDX-License-Identifier: GPL-3.0-or-later
#include "importplan.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "automation/readmessages.h"
#include "freqdb/datafiles.h"
#include "freqdb/locusrecord.h"
#include "freqdb/locusworkbookfiles.h"
#include "freqdb/skippedloci.h"
#include "freqdb/unfinishedimport.h"
#include "popimport/folderguard.h"
#include "popimport/locusnames.h"
#include "text/shorttext.h"

namespace popimport {
namespace {

constexpr std::size_t kMaxSheetNameChars = 31; // the limit of the .xlsx format

std::string inQuotes(std::string_view s)
{
    return "«" + automation::validUtf8(std::string(s)) + "»";
}

// What the worksheets an import carries unchanged may hold, all workbooks together, as they are
// kept in memory until written: a folder of locus workbooks carries a few thousand cells, and
// these bounds keep a hostile workbook (a few kilobytes naming hundreds of sheets of a million
// cells each) from taking the import past a few tens of megabytes.
constexpr std::int64_t kCarriedCells = 250'000; // rows x columns of the used ranges
constexpr std::uint64_t kCarriedTextBytes = 16u << 20;

struct CarriedSize {
    std::int64_t cells = 0;
    std::uint64_t textBytes = 0;
};

void countCarried(CarriedSize& size, const std::filesystem::path& file, const std::string& sheet,
                  const automation::CellArray& cells)
{
    size.cells += static_cast<std::int64_t>(cells.rows()) * cells.columns();
    for (int r = 1; r <= cells.rows() && size.textBytes <= kCarriedTextBytes; ++r) {
        for (int c = 1; c <= cells.columns(); ++c) {
            if (const auto* text = std::get_if<std::string>(&cells.at(r, c)))
                size.textBytes += text->size();
        }
    }
    if (size.cells > kCarriedCells || size.textBytes > kCarriedTextBytes)
        throw ImportError("Книга " + automation::fileLabel(file) + ", лист " + inQuotes(sheet)
                          + ": листы, которые импорт переносит без изменений, вместе больше "
                          + std::to_string(kCarriedCells) + " ячеек или " + std::to_string(kCarriedTextBytes >> 20)
                          + " МБ текста — это не книги локусов; уберите из книги лишние листы");
}

std::string fileList(const std::vector<std::filesystem::path>& files)
{
    std::string list;
    for (const auto& f : files)
        list += (list.empty() ? "" : ", ") + automation::validUtf8(f.filename().string());
    return list;
}

bool isXlsx(const std::filesystem::path& path)
{
    return plainWord(path.extension().string()) == ".xlsx";
}

// A locus name that can become a file name and a worksheet name.
void checkNewLocusName(const std::string& name)
{
    const bool control = std::any_of(name.begin(), name.end(), [](char c) { return c >= 0 && c < ' '; });
    const bool bad = control || name.front() == '.' || name.find_first_of("/\\:*?[]\"<>|") != std::string::npos
                     || automation::validUtf8(name) != name;
    if (bad)
        throw ImportError("из имени локуса " + inQuotes(name) + " нельзя сделать имя книги");
    if (text::characterCount(name) > text::kMaxLocusNameChars)
        throw ImportError("имя локуса " + inQuotes(name) + " длиннее 20 знаков, а программа показывает не более 20");
}

void checkCarried(const std::filesystem::path& file, const automation::NamedSheet& sheet)
{
    // An .ods worksheet may carry a name that .xlsx does not allow.
    if (sheet.name.empty() || text::characterCount(sheet.name) > kMaxSheetNameChars
        || sheet.name.find_first_of("[]:*?/\\") != std::string::npos)
        throw ImportError("Книга " + automation::fileLabel(file) + ": имя листа " + inQuotes(sheet.name)
                          + " недопустимо в книге .xlsx (не более 31 знака, без []:*?/\\); переименуйте лист");
    for (int r = 1; r <= sheet.cells.rows(); ++r) {
        for (int c = 1; c <= sheet.cells.columns(); ++c) {
            if (const auto* e = std::get_if<automation::CellError>(&sheet.cells.at(r, c)))
                throw ImportError("Книга " + automation::fileLabel(file) + ", лист " + inQuotes(sheet.name)
                                  + ", ячейка " + sheet.cells.sheetCellName(r, c) + ": " + e->reason
                                  + " — значение нельзя перенести в новую книгу; исправьте ячейку");
        }
    }
}

// Every worksheet of the workbook with the locus worksheet added or put in place of its old one.
void prepareExisting(LocusUpdate& update, const ImportedLocus& locus, const automation::WorkbookReader& reader,
                     CarriedSize& carried)
{
    std::error_code error;
    const auto status = std::filesystem::status(update.original, error);
    if (!error)
        update.permissions = status.permissions();
    std::unique_ptr<automation::Workbook> book;
    try {
        book = reader.open(update.original);
        const int replaced = book->sheetIndex(update.sheet);
        update.sheetReplaced = replaced != 0;
        for (int i = 1; i <= book->sheetCount(); ++i) {
            if (i == replaced)
                update.sheets.push_back({update.sheet, locusSheet(locus)});
            else {
                automation::NamedSheet sheet{book->sheetName(i), book->usedRange(i)};
                countCarried(carried, update.original, sheet.name, sheet.cells);
                update.sheets.push_back(std::move(sheet));
            }
        }
        if (!replaced)
            update.sheets.push_back({update.sheet, locusSheet(locus)});
    } catch (const automation::WorkbookError& e) {
        throw ImportError(std::string("Книга в папке данных не читается: ") + e.what());
    }
    for (const auto& sheet : update.sheets)
        checkCarried(update.original, sheet);
}

// Over the installed copy a locus the table lacks is left out for the population, but the loader
// still reads the population's worksheet where the lab's own workbook of that locus has one (an
// earlier import's): the population would then mix the new table with the old one. A lab workbook
// holding only that worksheet goes to the backup folder. One holding other worksheets as well is
// returned, to be refused: which of them the lab still wants is not the import's to decide.
std::optional<std::filesystem::path> withdrawEarlierSheet(ImportPlan& plan, const freqdb::LocusWorkbooks& books,
                                                          const std::string& suffix,
                                                          const automation::WorkbookReader& reader)
{
    try {
        const auto book = reader.open(books.own);
        if (book->sheetIndex(freqdb::fileNameWithoutExtension(books.own) + suffix) == 0)
            return std::nullopt;
        if (book->sheetCount() > 1)
            return books.own;
    } catch (const automation::WorkbookError& e) {
        throw ImportError(std::string("Книга в папке данных не читается: ") + e.what());
    }
    plan.pruned.push_back(books.own);
    return std::nullopt;
}

} // namespace

automation::CellArray locusSheet(const ImportedLocus& locus)
{
    const int rows = static_cast<int>(locus.alleles.size()) + 1;
    automation::CellArray cells(rows, 2);
    for (int i = 1; i < rows; ++i) {
        cells.set(i, 1, locus.alleles[i - 1].label);
        cells.set(i, 2, locus.alleles[i - 1].frequency);
    }
    cells.set(rows, 1, std::string(kClosingLabel));
    // The total as a person adds it up: binary noise past 15 digits (0.9999999999999999) dropped.
    char total[32];
    std::snprintf(total, sizeof total, "%.15g", locus.sum);
    cells.set(rows, 2, std::strtod(total, nullptr));
    return cells;
}

ImportPlan planImport(const FrequencyTable& table, const ImportRequest& request,
                      const automation::WorkbookReader& reader)
{
    const std::string folder = automation::validUtf8(request.dataDir.string());
    // Taken before anything is read, so a change while the plan is made counts as a change.
    const std::string stateBeforeReading = folderState(request.dataDir);
    const freqdb::DataFolder data{request.dataDir, request.installedDir};
    std::error_code error;
    const bool exists = std::filesystem::is_directory(request.dataDir, error);
    if (!exists && !request.createFolder && !data.layered())
        throw ImportError("Папка данных " + folder + " не найдена");
    if (auto unfinished = freqdb::unfinishedImport(request.dataDir))
        throw ImportError(unfinished->substr(unfinished->find('\n') + 1));
    freqdb::DataFiles files;
    try {
        files = freqdb::listDataFiles(data);
    } catch (const std::filesystem::filesystem_error& e) {
        throw ImportError("Папка данных " + automation::validUtf8(e.path1().string())
                          + " не читается: " + e.code().message());
    }
    if (!files.error.empty())
        throw ImportError(files.error.substr(files.error.find('\n') + 1));

    std::map<std::string, std::vector<const freqdb::LocusWorkbooks*>> byKey;
    for (const auto& locus : files.loci) {
        if (!locus.own.empty() && !std::filesystem::is_regular_file(locus.own, error))
            throw ImportError("В папке данных " + automation::fileLabel(locus.own) + " — не файл книги");
        byKey[locusKey(locus.locus)].push_back(&locus);
    }

    ImportPlan plan;
    freqdb::SkippedLoci skipped = freqdb::SkippedLoci::read(request.dataDir);
    const freqdb::SkippedLoci skippedBefore = skipped;
    std::map<const freqdb::LocusWorkbooks*, bool> covered;
    const std::string suffix(freqdb::sheetSuffix(request.population));
    for (std::size_t k = 0; k < table.loci.size(); ++k) {
        const ImportedLocus& locus = table.loci[k];
        LocusUpdate update;
        update.locus = k;
        const auto match = byKey.find(locusKey(locus.name));
        if (match != byKey.end()) {
            if (match->second.size() > 1) {
                std::vector<std::filesystem::path> names;
                for (const auto* m : match->second)
                    names.push_back(m->own.empty() ? m->installed : m->own);
                throw ImportError("Локусу " + inQuotes(locus.name) + " таблицы подходят несколько книг папки данных: "
                                  + fileList(names) + "; оставьте одну из них");
            }
            const freqdb::LocusWorkbooks& books = *match->second.front();
            covered[&books] = true;
            skipped.remove(request.population, books.locus);
            if (!books.own.empty()) {
                update.original = books.own;
                const std::string base = freqdb::fileNameWithoutExtension(update.original);
                update.target = isXlsx(update.original) ? update.original : request.dataDir / (base + ".xlsx");
                update.sheet = base + suffix;
            } else {
                // The installed workbook stays as it is; the lab's gets only its own worksheet. A
                // copy of an earlier package's workbook of that name goes to the backup folder.
                const std::string base = freqdb::fileNameWithoutExtension(books.installed);
                update.target = request.dataDir / (base + ".xlsx");
                update.sheet = base + suffix;
                update.overInstalled = true;
                for (const auto& copy : files.passedCopies)
                    if (copy.filename() == update.target.filename())
                        update.original = copy;
            }
        } else if (request.newLoci) {
            checkNewLocusName(locus.name);
            update.target = request.dataDir / (locus.name + ".xlsx");
            update.sheet = locus.name + suffix;
            // The other populations' loads leave the new locus out, saying so, instead of failing.
            for (auto other :
                 {freqdb::Population::Russians, freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks})
                if (other != request.population)
                    skipped.add(other, freqdb::locusNameOf(update.target));
            plan.skippedElsewhere.push_back(freqdb::locusNameOf(update.target));
        } else {
            plan.leftOut.push_back(locus.name);
            continue;
        }
        if (text::characterCount(update.sheet) > kMaxSheetNameChars)
            throw ImportError("Имя листа " + inQuotes(update.sheet)
                              + " длиннее 31 знака, а книга .xlsx такого не держит");
        plan.updates.push_back(std::move(update));
    }

    std::vector<const freqdb::LocusWorkbooks*> uncovered;
    std::vector<std::filesystem::path> uncoveredFiles;
    for (const auto& locus : files.loci) {
        if (!covered.count(&locus) && !skipped.contains(request.population, locus.locus)) {
            uncovered.push_back(&locus);
            uncoveredFiles.push_back(locus.own.empty() ? locus.installed : locus.own);
        }
    }
    if (!uncovered.empty() && !request.prune)
        throw ImportError("Таблица не покрывает книги папки данных: " + fileList(uncoveredFiles)
                          + ". Без листа популяции в каждой книге частоты не загрузятся. Добавьте эти локусы в "
                            "таблицу или дайте --prune, чтобы убрать эти книги в резервную папку.");
    if (data.layered()) {
        // Nothing installed can be moved: the loci are left out for this population only.
        std::vector<std::filesystem::path> kept;
        for (const auto* locus : uncovered) {
            skipped.add(request.population, locus->locus);
            plan.skipped.push_back(locus->locus);
            if (!locus->own.empty())
                if (auto book = withdrawEarlierSheet(plan, *locus, suffix, reader))
                    kept.push_back(*book);
        }
        if (!kept.empty())
            throw ImportError("Книги лаборатории " + fileList(kept) + " держат листы «<локус>" + suffix
                              + "» прежнего вноса, а в таблице этих локусов нет: локусы пропускались бы для "
                                "популяции, а листы загружались бы с частотами прежней таблицы. Уберите эти листы "
                                "из книг или дайте таблицу с этими локусами");
    } else {
        plan.pruned = std::move(uncoveredFiles);
    }
    if (plan.updates.empty())
        throw ImportError("Ни один локус таблицы не совпал с книгами папки данных " + data.shown()
                          + "; для новых книг дайте --new-loci");
    // The loader takes at most kMaxLoci locus workbooks and refuses a folder with more: new
    // workbooks beyond that would leave no population of the folder loadable.
    std::size_t newBooks = 0;
    for (const auto& update : plan.updates)
        newBooks += update.original.empty() && !update.overInstalled ? 1 : 0;
    std::size_t after = files.loci.size() + newBooks;
    for (const auto& locus : files.loci)
        if (locus.installed.empty()
            && std::find(plan.pruned.begin(), plan.pruned.end(), locus.own) != plan.pruned.end())
            --after;
    if (after > static_cast<std::size_t>(freqdb::kMaxLoci))
        throw ImportError("После вноса в папке данных " + data.shown()
                          + " было бы книг локусов: " + std::to_string(after) + " (новых: " + std::to_string(newBooks)
                          + "), а программа загружает не более " + std::to_string(freqdb::kMaxLoci)
                          + " — ни одна популяция этой папки не загрузилась бы. Уберите из таблицы локусы, "
                            "которые не нужны лаборатории");
    if (!(skipped == skippedBefore))
        plan.skippedLociText = skipped.text();

    CarriedSize carried;
    for (auto& update : plan.updates) {
        if (update.original.empty() || update.overInstalled)
            update.sheets.push_back({update.sheet, locusSheet(table.loci[update.locus])});
        else
            prepareExisting(update, table.loci[update.locus], reader, carried);
    }
    plan.folderState = stateBeforeReading;
    return plan;
}

} // namespace popimport
