// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the workbook reader tests: a scratch folder, zip archives written with minizip, and
// small .xlsx packages assembled from sheet XML.
#include <minizip/zip.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/tempdir.h"

namespace automationtest {

namespace fs = std::filesystem;

inline fs::path fixture(const std::string& name)
{
    return fs::path(AUTOMATION_FIXTURES) / name;
}

using TempDir = testsupport::TempDir;

inline std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// One large entry: `head` followed by `filler` written `times` times (a few hundred KB packed).
struct LargeEntry {
    std::string name;
    std::string head;
    std::string filler;
    std::size_t times = 0;
};

inline void writeZip(const fs::path& path, const ZipEntries& entries, const LargeEntry& large = {})
{
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("zipOpen failed");
    auto add = [&](const std::string& name, const std::string& head, const std::string& filler, std::size_t times) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 1);
        zipWriteInFileInZip(zip, head.data(), static_cast<unsigned>(head.size()));
        for (std::size_t k = 0; k < times; ++k)
            zipWriteInFileInZip(zip, filler.data(), static_cast<unsigned>(filler.size()));
        zipCloseFileInZip(zip);
    };
    for (const auto& [name, content] : entries)
        add(name, content, "", 0);
    if (!large.name.empty())
        add(large.name, large.head, large.filler, large.times);
    zipClose(zip, nullptr);
}

inline const char* const kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// An .xlsx package with the given worksheets (name, sheet XML body inside <sheetData>) and
// shared strings (XML inside <sst>, empty for none). `workbookExtra` goes into <workbook>.
inline ZipEntries xlsxEntries(const std::vector<std::pair<std::string, std::string>>& sheets,
                              const std::string& sharedStrings = "", const std::string& workbookExtra = "")
{
    ZipEntries entries;
    entries.emplace_back("[Content_Types].xml",
                         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    entries.emplace_back(
        "_rels/.rels",
        std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" Type=\"")
            + kRelNs + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    std::string workbook = std::string("<workbook xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\"><sheets>";
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        workbook += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRelNs + "/worksheet\" Target=\"worksheets/sheet" + n
                + ".xml\"/>";
        entries.emplace_back("xl/worksheets/sheet" + n + ".xml", std::string("<worksheet xmlns=\"") + kMainNs
                                                                     + "\"><sheetData>" + sheets[i].second
                                                                     + "</sheetData></worksheet>");
    }
    if (!sharedStrings.empty()) {
        rels += std::string("<Relationship Id=\"rSst\" Type=\"") + kRelNs
                + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        entries.emplace_back("xl/sharedStrings.xml",
                             std::string("<sst xmlns=\"") + kMainNs + "\">" + sharedStrings + "</sst>");
    }
    entries.emplace_back("xl/workbook.xml", workbook + "</sheets>" + workbookExtra + "</workbook>");
    entries.emplace_back("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    return entries;
}

} // namespace automationtest
