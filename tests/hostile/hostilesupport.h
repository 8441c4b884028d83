// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the hostile-file tests: temporary work folders, file snapshots, the peak memory of
// the test process, and the checks every refused file must pass.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "automation/workbook.h"

namespace hostile {

// The committed small files, the big ones made at test time, and the kept fuzz findings.
std::filesystem::path smallFile(const std::string& name);
std::filesystem::path bigFile(const std::string& name);
std::filesystem::path regressionsFolder();
// A bundled locus workbook that sorts before D3S1358, read before every hostile one.
std::filesystem::path bundledLocusBeforeD3();

class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path dataDir() const { return m_path / "data"; }

private:
    std::filesystem::path m_path;
};

// The whole content of a file ("" when it cannot be read), to show that no read changed it.
std::string fileBytes(const std::filesystem::path& path);

// Peak resident memory of this process in MiB. ctest runs every test in its own process, so the
// growth over a test is what that test cost.
double peakMemoryMiB();
// Memory a test may add for a file under 10 MB; not checked in sanitizer builds, whose shadow
// memory and quarantine make the figure meaningless.
inline constexpr double kMemoryBoundMiB = 200;
bool memoryIsMeasurable();

bool isValidUtf8(std::string_view text);
std::vector<std::string> lines(const std::string& text);

// A reader that removes a file just before opening it, as when a USB stick is pulled between
// the folder search and the read.
class VanishingReader : public automation::WorkbookReader {
public:
    VanishingReader(const automation::WorkbookReader& inner, std::filesystem::path vanishing)
        : m_inner(inner), m_vanishing(std::move(vanishing))
    {
    }
    std::unique_ptr<automation::Workbook> open(const std::filesystem::path& path) const override;

private:
    const automation::WorkbookReader& m_inner;
    std::filesystem::path m_vanishing;
};

} // namespace hostile
