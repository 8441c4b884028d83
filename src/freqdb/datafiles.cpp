// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/datafiles.h"

#include <algorithm>
#include <map>

#include "freqdb/filedigest.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusworkbookfiles.h"
#include "freqdb/shippedfiles.h"
#include "freqdb/windows1251order.h"
#include "text/utf8.h"

namespace freqdb {
namespace {

namespace fs = std::filesystem;

std::string fileLabel(const fs::path& path)
{
    return "«" + text::validUtf8(path.filename().string()) + "»";
}

// The workbooks of one folder by locus name; false with `error` set for two of one locus.
bool byLocus(const std::vector<fs::path>& files, std::map<std::string, fs::path>& loci, std::string& error)
{
    for (const fs::path& file : files) {
        const auto [it, inserted] = loci.emplace(locusNameOf(file), file);
        if (!inserted) {
            error = std::string(kReadFailed) + "\nЛокус «" + text::validUtf8(it->first) + "» задан двумя книгами: "
                    + fileLabel(it->second) + " и " + fileLabel(file) + "; оставьте в папке одну из них.";
            return false;
        }
    }
    return true;
}

// Shipped copies of workbooks in the backup-* folders of the lab's folder, by locus name.
std::map<std::string, std::vector<fs::path>> shippedOrigins(const fs::path& folder, const ShippedFiles& shipped)
{
    std::map<std::string, std::vector<fs::path>> origins;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().rfind("backup-", 0) != 0 || !it->is_directory(error))
            continue;
        for (fs::directory_iterator in(it->path(), error); !error && in != end; in.increment(error)) {
            const fs::path& file = in->path();
            if (isLocusWorkbookName(file.filename().string()) && shipped.isCopy(file))
                origins[locusNameOf(file)].push_back(file);
        }
        error.clear();
    }
    return origins;
}

bool sameContent(const fs::path& a, const fs::path& b)
{
    const auto hashA = fileSha256(a);
    return hashA && hashA == fileSha256(b);
}

} // namespace

DataFiles listDataFiles(const DataFolder& data)
{
    DataFiles files;
    std::vector<fs::path> own = findLocusWorkbooks(data.folder);
    std::map<std::string, fs::path> installed;
    std::map<std::string, std::vector<fs::path>> origins;
    if (data.layered()) {
        if (!byLocus(findLocusWorkbooks(data.installed), installed, files.error))
            return files;
        const ShippedFiles shipped = ShippedFiles::read(data.installed);
        std::vector<fs::path> kept;
        for (const fs::path& file : own) {
            if (!shipped.isCopy(file)) {
                kept.push_back(file);
                continue;
            }
            files.passedCopies.push_back(file);
            const fs::path now = data.installed / file.filename();
            if (!fs::exists(now) || !sameContent(file, now))
                files.outdatedCopies.push_back(file);
        }
        own = std::move(kept);
        origins = shippedOrigins(data.folder, shipped);
    }
    std::map<std::string, fs::path> ownByLocus;
    if (!byLocus(own, ownByLocus, files.error))
        return files;
    for (const auto& [locus, path] : ownByLocus) {
        const auto origin = origins.find(locus);
        files.loci.push_back({locus, path, {}, origin == origins.end() ? std::vector<fs::path>() : origin->second});
    }
    for (const auto& [locus, path] : installed) {
        const auto match = std::find_if(files.loci.begin(), files.loci.end(),
                                        [&](const LocusWorkbooks& l) { return l.locus == locus; });
        if (match != files.loci.end())
            match->installed = path;
        else
            files.loci.push_back({locus, {}, path, {}});
    }
    std::sort(files.loci.begin(), files.loci.end(), [](const LocusWorkbooks& a, const LocusWorkbooks& b) {
        const fs::path& pa = a.own.empty() ? a.installed : a.own;
        const fs::path& pb = b.own.empty() ? b.installed : b.own;
        return windows1251Less(pa.filename().string(), pb.filename().string());
    });
    return files;
}

fs::path fileInForce(const DataFolder& data, const std::string& name)
{
    std::error_code error;
    const fs::path own = data.folder / name;
    const bool haveOwn = fs::is_regular_file(own, error);
    if (!data.layered())
        return haveOwn ? own : fs::path();
    if (haveOwn && !ShippedFiles::read(data.installed).isCopy(own))
        return own;
    const fs::path installed = data.installed / name;
    if (fs::is_regular_file(installed, error))
        return installed;
    return haveOwn ? own : fs::path();
}

std::string outdatedCopiesNote(const DataFolder& data, const DataFiles& files)
{
    if (files.outdatedCopies.empty())
        return {};
    std::string names;
    for (const fs::path& file : files.outdatedCopies)
        names += (names.empty() ? "" : ", ") + text::validUtf8(file.filename().string());
    return "Установленные таблицы обновлены: копии прежней версии в " + text::validUtf8(data.folder.string())
           + " не используются (" + names + ").";
}

} // namespace freqdb
