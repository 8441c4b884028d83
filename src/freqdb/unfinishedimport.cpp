// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/unfinishedimport.h"

#include "freqdb/loadmessages.h"
#include "text/utf8.h"

namespace freqdb {

bool isImportTemporaryName(const std::string& fileName)
{
    return !fileName.empty() && fileName.front() == '.' && fileName.find(".import-") != std::string::npos;
}

std::optional<std::string> unfinishedImport(const std::filesystem::path& folder)
{
    std::error_code error;
    std::string found;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / kImportJournalName, error)))
        found = kImportJournalName;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (found.empty() && isImportTemporaryName(name))
            found = name;
    }
    if (found.empty())
        return std::nullopt;
    const std::string shown = text::validUtf8(folder.string());
    return std::string(kReadFailed) + "\nВ папке " + shown + " не завершён внос таблицы частот (import): там «"
           + text::validUtf8(found)
           + "», и части книг локусов может не быть на месте. Верните папку к прежнему виду командой "
             "«paternity-index import --undo --data "
           + shown + "» и повторите внос.";
}

} // namespace freqdb
