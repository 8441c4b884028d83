// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/datafolder.h"

#include <cstdlib>
#include <stdexcept>

#include "freqdb/loadmessages.h"
#include "freqdb/locusworkbookfiles.h"
#include "text/utf8.h"

namespace freqdb {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderName = "paternity-index";

std::string shownPath(const fs::path& path)
{
    return text::validUtf8(path.string());
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

enum class PlaceState { Absent, NotFolder, Unreadable, NoWorkbooks, HasWorkbooks };

struct Inspection {
    PlaceState state = PlaceState::Absent;
    std::string reason; // for Unreadable
};

Inspection inspect(const fs::path& place)
{
    std::error_code error;
    const fs::file_status status = fs::status(place, error);
    if (status.type() == fs::file_type::not_found)
        return {PlaceState::Absent, {}};
    if (error)
        return {PlaceState::Unreadable, error.message()};
    if (!fs::is_directory(status))
        return {PlaceState::NotFolder, {}};
    try {
        return {hasLocusWorkbooks(place) ? PlaceState::HasWorkbooks : PlaceState::NoWorkbooks, {}};
    } catch (const fs::filesystem_error& e) {
        return {PlaceState::Unreadable, e.code().message()};
    }
}

std::string lookedInLine(const fs::path& place, const Inspection& seen)
{
    std::string line = shownPath(place) + " — ";
    switch (seen.state) {
    case PlaceState::Absent:
        return line + "нет такой папки";
    case PlaceState::NotFolder:
        return line + "это не папка";
    case PlaceState::Unreadable:
        return line + "не читается: " + seen.reason;
    case PlaceState::NoWorkbooks:
        return line + "нет книг локусов (*.xls, *.xlsx, *.ods)";
    case PlaceState::HasWorkbooks:
        break;
    }
    return line + "есть книги локусов";
}

} // namespace

std::string DataFolder::shown() const
{
    return layered() ? shownPath(folder) + " поверх " + shownPath(installed) : shownPath(folder);
}

std::vector<fs::path> DataFolderPlaces::inOrder() const
{
    std::vector<fs::path> places;
    for (const fs::path* place : {&workFolder, &labFolder, &installedFolder})
        if (!place->empty())
            places.push_back(*place);
    return places;
}

DataFolderPlaces dataFolderPlaces(const fs::path& workDir, const std::string& xdgDataHome, const std::string& home,
                                  const fs::path& executable)
{
    DataFolderPlaces places;
    places.workFolder = workDir / "data";
    if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute())
        places.labFolder = fs::path(xdgDataHome) / kFolderName / "data";
    else if (!home.empty())
        places.labFolder = fs::path(home) / ".local" / "share" / kFolderName / "data";
    // <prefix>/bin/paternity-index -> <prefix>/share/paternity-index/data
    if (executable.has_parent_path() && executable.parent_path().has_parent_path())
        places.installedFolder = executable.parent_path().parent_path() / "share" / kFolderName / "data";
    return places;
}

DataFolderPlaces dataFolderPlaces(const fs::path& workDir)
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return dataFolderPlaces(workDir, environment("XDG_DATA_HOME"), environment("HOME"),
                            error ? fs::path() : executable);
}

DataFolderLookup findDataFolder(const DataFolderPlaces& places)
{
    DataFolderLookup lookup;
    Inspection lab;
    for (const fs::path* place : {&places.workFolder, &places.labFolder, &places.installedFolder}) {
        if (place->empty())
            continue;
        const Inspection seen = inspect(*place);
        lookup.lookedIn.push_back(lookedInLine(*place, seen));
        if (seen.state == PlaceState::Unreadable)
            lookup.notes.push_back("Папка " + shownPath(*place) + " не читается (" + seen.reason
                                   + "); данные ищутся дальше.");
        if (place == &places.labFolder) {
            lab = seen;
            continue; // the lab's folder is laid over the installed one when that is there
        }
        if (seen.state != PlaceState::HasWorkbooks)
            continue;
        if (place == &places.workFolder)
            lookup.data = DataFolder{*place, {}};
        else if (lab.state == PlaceState::HasWorkbooks || lab.state == PlaceState::NoWorkbooks)
            lookup.data = DataFolder{places.labFolder, *place};
        else
            lookup.data = DataFolder{*place, {}};
        return lookup;
    }
    if (lab.state == PlaceState::HasWorkbooks)
        lookup.data = DataFolder{places.labFolder, {}};
    return lookup;
}

std::string dataFolderMissingMessage(const std::vector<std::string>& lookedIn)
{
    std::string message = std::string(kFilesNotFound) + "\nПапка данных не найдена. Искали:";
    for (const std::string& place : lookedIn)
        message += "\n  " + place;
    return message;
}

DataFolder importDataFolder(const DataFolderPlaces& places, const std::optional<fs::path>& explicitFolder)
{
    if (explicitFolder) {
        std::error_code error;
        if (!places.installedFolder.empty() && fs::equivalent(*explicitFolder, places.installedFolder, error))
            throw std::runtime_error("Папка " + shownPath(*explicitFolder)
                                     + " установлена с программой и только для чтения; свои таблицы "
                                       "лаборатория вносит в свою папку (без --data: в "
                                     + shownPath(places.labFolder) + ").");
        return DataFolder{*explicitFolder, {}};
    }
    const DataFolderLookup found = findDataFolder(places);
    if (found.data && found.data->layered())
        return *found.data;
    if (found.data && found.data->folder != places.installedFolder)
        return *found.data;
    if (places.labFolder.empty())
        throw std::runtime_error("Некуда записать таблицы лаборатории: не заданы ни XDG_DATA_HOME, ни HOME.");
    // Only the installed copy, or nothing at all: the lab's folder, over the installed copy if any.
    return DataFolder{places.labFolder, found.data ? found.data->folder : fs::path()};
}

} // namespace freqdb
