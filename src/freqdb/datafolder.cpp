// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/datafolder.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "freqdb/loadmessages.h"
#include "text/utf8.h"

namespace freqdb {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolderName = "paternity-index";

std::string shown(const fs::path& path)
{
    return text::validUtf8(path.string());
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool present(const fs::path& path)
{
    std::error_code error;
    return fs::status(path, error).type() != fs::file_type::not_found;
}

bool sameFolder(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    return !a.empty() && !b.empty() && fs::equivalent(a, b, error);
}

// The installed tables are read-only for everyone; the lab's copy must be writable by its owner.
void makeOwnerWritable(const fs::path& folder)
{
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_symlink())
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
}

WritableDataFolder copyInstalledToLab(const DataFolderPlaces& places)
{
    if (places.labFolder.empty())
        throw std::runtime_error("Некуда записать папку данных: не заданы ни XDG_DATA_HOME, ни HOME.");
    const fs::path& lab = places.labFolder;
    const bool haveInstalled = !places.installedFolder.empty() && fs::is_directory(places.installedFolder);
    if (present(lab))
        return {lab, "Папка данных " + shown(places.installedFolder) + " только для чтения; книги записываются в "
                         + shown(lab) + "."};
    const fs::path partial = lab.parent_path() / (lab.filename().string() + ".partial-" + std::to_string(getpid()));
    try {
        fs::create_directories(lab.parent_path());
        if (!haveInstalled) {
            fs::create_directory(lab);
            return {lab, "Создана папка данных " + shown(lab) + "."};
        }
        fs::remove_all(partial);
        fs::copy(places.installedFolder, partial, fs::copy_options::recursive);
        makeOwnerWritable(partial);
        fs::rename(partial, lab);
    } catch (const fs::filesystem_error& e) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        throw std::runtime_error("Не удалось скопировать папку данных " + shown(places.installedFolder) + " в "
                                 + shown(lab) + ": " + e.code().message() + ".");
    }
    return {lab, "Папка данных " + shown(places.installedFolder) + " только для чтения; она скопирована в " + shown(lab)
                     + ", и программа теперь берёт данные оттуда."};
}

} // namespace

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
    for (const fs::path& place : places.inOrder()) {
        lookup.lookedIn.push_back(place);
        if (present(place)) {
            lookup.folder = place;
            break;
        }
    }
    return lookup;
}

std::string dataFolderMissingMessage(const std::vector<fs::path>& lookedIn)
{
    std::string message = std::string(kFilesNotFound) + "\nПапка данных не найдена. Искали:";
    for (const fs::path& place : lookedIn)
        message += "\n  " + shown(place);
    return message;
}

WritableDataFolder writableDataFolder(const DataFolderPlaces& places, const std::optional<fs::path>& explicitFolder)
{
    const std::optional<fs::path> folder = explicitFolder ? explicitFolder : findDataFolder(places).folder;
    if (folder && !sameFolder(*folder, places.installedFolder))
        return {*folder, {}};
    return copyInstalledToLab(places);
}

} // namespace freqdb
