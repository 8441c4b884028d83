// SPDX-License-Identifier: GPL-3.0-or-later
#include "genotypeexport.h"

#include <fstream>

#include "automation/readmessages.h"
#include "profiles/exportlayouts.h"
#include "tabletext/delimitedtext.h"
#include "tabletext/filebytes.h"
#include "tabletext/textdecoding.h"

namespace profiles {
namespace {

bool startsLikeWorkbook(std::string_view bytes)
{
    return bytes.rfind("PK\x03\x04", 0) == 0 || bytes.rfind("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 0) == 0;
}

GenotypeExport readContent(std::string bytes)
{
    if (startsLikeWorkbook(bytes))
        throw ExportError("это книга электронной таблицы, а не текстовый экспорт генотипов");
    auto decoded = tabletext::decodeText(bytes);
    if (!decoded)
        throw ExportError("текст в UTF-16 повреждён");
    std::string().swap(bytes); // the decoded text is all that is read from here on (clear() keeps the memory)
    // The header is looked for in the first rows before the whole text is held as cells: a text
    // that is no export is refused without that.
    tabletext::DelimitedText delimited
        = tabletext::splitDelimited(decoded->utf8, kMaxExportCells, 0, kHeaderRowsLooked);
    // The separator the first lines hold most often may be the cells' own: a ";" file whose cells
    // read "15, 16" holds more commas. The one that gives a header is the file's.
    for (char other : {'\t', ';', ','}) {
        if (hasExportHeader(delimited.grid) || !delimited.complete)
            break;
        if (other == delimited.separator)
            continue;
        tabletext::DelimitedText retried
            = tabletext::splitDelimited(decoded->utf8, kMaxExportCells, other, kHeaderRowsLooked);
        if (hasExportHeader(retried.grid))
            delimited = std::move(retried);
    }
    if (!delimited.complete)
        throw ExportError("в файле больше " + std::to_string(kMaxExportCells) + " ячеек — это не экспорт генотипов");
    if (delimited.unclosedQuoteLine > 0)
        throw ExportError("строка " + std::to_string(delimited.unclosedQuoteLine)
                          + ": кавычка в начале поля не закрыта до конца файла — файл обрезан или в поле "
                            "одна кавычка");
    if (hasExportHeader(delimited.grid))
        delimited = tabletext::splitDelimited(decoded->utf8, kMaxExportCells, delimited.separator);
    std::string().swap(decoded->utf8); // the grid holds its own copy of the texts
    GenotypeExport result = readExportGrid(delimited.grid, delimited.lastLineEnded);
    const std::string separator = delimited.separator == '\t'  ? "табуляция"
                                  : delimited.separator == ';' ? "точка с запятой"
                                                               : "запятая";
    result.layout = "текст " + decoded->encoding + ", разделитель — " + separator + ", " + result.layout;
    return result;
}

ExportError placed(const std::string& fileLabel, const std::string& reason)
{
    const bool atLine = reason.rfind("строка", 0) == 0;
    return ExportError("Экспорт генотипов " + fileLabel + (atLine ? ", " : ": ") + reason);
}

GenotypeExport readPlaced(std::string bytes, const std::string& fileLabel)
{
    try {
        return readContent(std::move(bytes));
    } catch (const ExportError& e) {
        throw placed(fileLabel, e.what());
    }
}

} // namespace

const ExportedSample* GenotypeExport::sample(const std::string& name) const
{
    for (const auto& s : samples) {
        if (s.name == name)
            return &s;
    }
    return nullptr;
}

std::optional<MarkerCall> GenotypeExport::findCall(const ExportedSample& sample, const std::string& markerKey) const
{
    const auto it = markerPlaces.find(markerKey);
    return it == markerPlaces.end() ? std::nullopt : sample.calls.find(it->second);
}

std::vector<std::string> GenotypeExport::sampleNames() const
{
    std::vector<std::string> names;
    for (const auto& s : samples)
        names.push_back(s.name);
    return names;
}

GenotypeExport readGenotypeExportText(const std::string& bytes, const std::string& fileLabel)
{
    return readPlaced(bytes, fileLabel);
}

GenotypeExport readGenotypeExport(const std::filesystem::path& path)
{
    std::string bytes;
    try {
        bytes = tabletext::readFileBytes(path, kMaxExportBytes,
                                         "файл слишком велик для экспорта генотипов (более 16 МБ)");
    } catch (const tabletext::FileReadError& e) {
        throw placed(automation::fileLabel(path), e.what());
    }
    return readPlaced(std::move(bytes), automation::fileLabel(path));
}

bool isGenotypeExportFile(const std::filesystem::path& path)
{
    // Only a regular file is opened: opening a FIFO to read waits for a writer that may never come,
    // and a device (/dev/zero) never ends. Anything else is left to the workbook reader's refusal.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    char head[8] = {};
    in.read(head, sizeof head);
    // An empty file is left to the workbook reader, which has always said why it is no case.
    return in.gcount() > 0 && !startsLikeWorkbook(std::string_view(head, static_cast<std::size_t>(in.gcount())));
}

} // namespace profiles
