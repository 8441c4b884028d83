// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablesource.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace freqdb {
namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::filesystem::path tableSourceNote(const std::filesystem::path& folder, Population population)
{
    return folder / kSourceFolder / (std::string(populationCode(population)) + ".ini");
}

std::optional<TableSource> readTableSource(const std::filesystem::path& folder, Population population)
{
    const std::filesystem::path note = tableSourceNote(folder, population);
    std::error_code error;
    if (!std::filesystem::is_regular_file(note, error))
        return std::nullopt;
    std::ifstream in(note, std::ios::binary);
    if (!in.is_open())
        throw std::runtime_error("Файл источника таблицы " + note.string() + " не открывается");
    TableSource source;
    std::string line;
    std::string file;
    while (std::getline(in, line)) {
        line = trimmed(line);
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '#' || equals == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (key == "file")
            file = value;
        else if (key == "original")
            source.original = value;
        else if (key == "origin")
            source.origin = value;
        else if (key == "date")
            source.date = value;
        else if (key == "sha256")
            source.sha256 = value;
    }
    // The copy lies in source/ itself: a note never points elsewhere.
    if (file.empty() || std::filesystem::path(file).filename() != std::filesystem::path(file))
        throw std::runtime_error("Файл источника таблицы " + note.string() + " не называет файл в папке source");
    source.file = note.parent_path() / file;
    return source;
}

std::optional<TableSource> findTableSource(const DataFolder& data, Population population)
{
    if (auto own = readTableSource(data.folder, population))
        return own;
    if (data.layered())
        return readTableSource(data.installed, population);
    return std::nullopt;
}

std::string tableSourceText(const TableSource& source)
{
    std::ostringstream out;
    out << "; Источник таблицы частот: файл, из которого она записана (paternity-index validate сверяет с ним).\n"
        << "file = " << source.file.filename().string() << '\n'
        << "original = " << source.original << '\n'
        << "origin = " << source.origin << '\n'
        << "date = " << source.date << '\n'
        << "sha256 = " << source.sha256 << '\n';
    return out.str();
}

} // namespace freqdb
