// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcecopy.h"

#include <ctime>
#include <fstream>

#include "freqdb/filedigest.h"
#include "freqdb/tablesource.h"

namespace popimport {
namespace {

namespace fs = std::filesystem;

std::string today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// Written under a temporary name and renamed into place, so a note never names a half copy.
void writeWhole(const fs::path& target, const std::string& bytes)
{
    const fs::path temporary = target.parent_path() / (target.filename().string() + ".tmp");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.close();
        if (!out)
            throw ImportError("Не записан файл " + temporary.string());
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error)
        throw ImportError("Не записан файл " + target.string() + ": " + error.message());
}

} // namespace

SourceKept keepTableSource(const PreparedImport& prepared, const ImportChoice& choice, const fs::path& backupDir)
{
    const fs::path folder = prepared.data.folder / freqdb::kSourceFolder;
    const std::string failed = "Книги частот записаны, но копия исходной таблицы не сохранена: ";
    try {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            throw ImportError("папка " + folder.string() + " не создана: " + error.message());
        std::ifstream in(choice.table, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.good() && !in.eof())
            throw ImportError("файл " + choice.table.string() + " не прочитан");

        const std::optional<freqdb::TableSource> earlier = [&]() -> std::optional<freqdb::TableSource> {
            try {
                return freqdb::readTableSource(prepared.data.folder, choice.population);
            } catch (const std::runtime_error&) {
                return std::nullopt;
            }
        }();
        freqdb::TableSource source;
        source.file
            = folder
              / (std::string(freqdb::populationCode(choice.population)) + "-" + choice.table.filename().string());
        source.original = fs::absolute(choice.table).lexically_normal().string();
        source.origin = choice.origin.value_or("");
        source.date = today();
        source.sha256 = freqdb::textSha256(bytes);
        writeWhole(source.file, bytes);
        writeWhole(freqdb::tableSourceNote(prepared.data.folder, choice.population), freqdb::tableSourceText(source));
        if (earlier && earlier->file != source.file && !backupDir.empty() && fs::exists(earlier->file, error))
            fs::rename(earlier->file, backupDir / earlier->file.filename(), error);
        return {true, "Копия исходной таблицы для сверки (validate): " + source.file.string()};
    } catch (const ImportError& e) {
        return {false, failed + e.what()};
    }
}

} // namespace popimport
