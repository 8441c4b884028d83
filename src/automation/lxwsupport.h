// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every .xlsx writer of this library shares: the "C" number locale for libxlsxwriter's
// printf, ownership of a libxlsxwriter workbook, and the safe save: a temporary file beside the
// target, read back and compared with what was meant, flushed to disk, then renamed over it.
#include <locale.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <xlsxwriter.h>

#include "automation/cellworkbookwriter.h"

namespace automation::lxw {

// Switches the calling thread to the "C" locale for numbers while it lives: libxlsxwriter prints
// numbers with printf and would write "8,71" under a comma locale.
class CNumericLocale {
public:
    CNumericLocale();
    ~CNumericLocale();
    bool active() const { return m_locale != nullptr; }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_locale = nullptr;
    locale_t m_previous = nullptr;
};

// Owns the libxlsxwriter workbook until it is closed. libxlsxwriter assembles a workbook's parts
// in temporary files before it zips them; they are made in the folder of `file`, not in /tmp
// ($TMPDIR), which may be small or full while the target's disk has room.
class Workbook {
public:
    explicit Workbook(const std::filesystem::path& file);
    ~Workbook();
    lxw_workbook* get() const { return m_workbook; }
    lxw_error close();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

private:
    std::string m_partsFolder; // libxlsxwriter keeps a pointer to it until the workbook is closed
    lxw_workbook* m_workbook;
};

// A free name ".<target name>.tmp-<pid>-<n>" in the target's folder.
std::filesystem::path temporaryName(const std::filesystem::path& target);

// Runs `write` on a temporary file beside `path` under the "C" number locale, reads the written
// file back and compares it with `expected` (every sheet's name and cell values), flushes it to
// disk and renames it over `path`. A failure of any step removes the temporary file and leaves
// `path` as it was; the messages name `shown` and the reason. libxlsxwriter's own messages (it
// prints them in English on standard error) are kept from the user. Temporary files of this
// target left by a save that was killed are removed. Throws WorkbookError.
void saveThroughTemporary(const std::filesystem::path& path, const std::string& shown,
                          const std::vector<NamedSheet>& expected,
                          const std::function<void(const std::filesystem::path&)>& write);

// The WorkbookError for a failed workbook_close().
[[noreturn]] void throwCloseError(lxw_error error, const std::string& shown);

} // namespace automation::lxw
