// SPDX-License-Identifier: GPL-3.0-or-later
// The .xlsx writers on a full disk, and after a save that was killed. The oracle, for every amount of free space from
// none to enough: a save either reports success and the file reads back as written, or fails with a message naming the
// file while the earlier workbook stays byte for byte; nothing else is left in the folder. The disk is a small tmpfs of
// a child process (support/smallfolder.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "automation/cellworkbookwriter.h"
#include "automation/readbackcheck.h"
#include "automation/workbookwriter.h"

#include "support/smallfolder.h"
#include "support/tempdir.h"

namespace automation {
namespace {

namespace fs = std::filesystem;

// A sheet about the size of a results workbook of 60 rows, different for each `seed`.
NamedSheet sheetOf(int seed)
{
    NamedSheet sheet{"Лист1", CellArray(60, 11)};
    for (int r = 1; r <= 60; ++r)
        for (int c = 1; c <= 11; ++c)
            sheet.cells.set(r, c, "D" + std::to_string(seed * 1000 + r) + " θ=0,0" + std::to_string(c));
    return sheet;
}

void saveWithWriter(const fs::path& path, const NamedSheet& sheet)
{
    const auto writer = makeXlsxWorkbookWriter();
    writer->addWorksheet(sheet.name);
    std::vector<std::vector<std::string>> values(60, std::vector<std::string>(11));
    for (int r = 1; r <= 60; ++r)
        for (int c = 1; c <= 11; ++c)
            values[r - 1][c - 1] = std::get<std::string>(sheet.cells.at(r, c));
    writer->setTextFormat({1, 1, 60, 11});
    writer->setValues({1, 1, 60, 11}, values);
    writer->save(path);
}

void saveCells(const fs::path& path, const NamedSheet& sheet)
{
    saveCellWorkbook(path, {sheet});
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Save = void (*)(const fs::path&, const NamedSheet&);

// What reaches standard error (descriptor 2) while `run` runs.
std::string standardErrorOf(const std::function<void()>& run)
{
    const int capture = ::memfd_create("stderr", MFD_CLOEXEC);
    const int saved = ::dup(2);
    ::dup2(capture, 2);
    run();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::string text(4096, '\0');
    const ssize_t n = ::pread(capture, text.data(), text.size(), 0);
    ::close(capture);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

// "saved" or "refused" when sheetOf(2) saved over sheetOf(1) at `target` holds to the oracle,
// else what is wrong.
std::string saveOverEarlier(Save save, const fs::path& target, const std::string& earlier)
{
    std::string failure;
    const std::string libraryLines = standardErrorOf([&] {
        try {
            save(target, sheetOf(2));
        } catch (const WorkbookError& e) {
            failure = e.what();
        }
    });
    std::ostringstream wrong;
    if (!libraryLines.empty())
        wrong << "standard error got: " << libraryLines << "; ";
    if (failure.empty()) {
        try {
            checkReadBack(target, target.filename().string(), {sheetOf(2)});
        } catch (const WorkbookError& e) {
            wrong << "reported saved, but " << e.what() << "; ";
        }
    } else {
        if (failure.find(target.filename().string()) == std::string::npos
            || failure.find("не сохранена") == std::string::npos)
            wrong << "the message names neither the file nor the failure: " << failure << "; ";
        if (bytesOf(target) != earlier)
            wrong << "the earlier workbook was changed (" << failure << "); ";
    }
    for (const auto& entry : fs::directory_iterator(target.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name != target.filename().string() && name != ".filler")
            wrong << "left behind: " << name << "; ";
    }
    if (!wrong.str().empty())
        return wrong.str();
    return failure.empty() ? "saved" : "refused";
}

struct Writer {
    const char* name;
    Save save;
};

class FullDisk : public ::testing::TestWithParam<Writer> {};

TEST_P(FullDisk, AFullTargetFolderKeepsTheEarlierWorkbookOrSavesItWhole)
{
    const Save save = GetParam().save;
    std::map<std::string, int> outcomes;
    for (std::size_t freeBytes = 0; freeBytes <= 60 * 1024; freeBytes += 4096) {
        testsupport::TempDir dir;
        const fs::path folder = dir / "disk";
        fs::create_directory(folder);
        const fs::path target = folder / "case.results.xlsx";
        const auto outcome = testsupport::inSmallFolder(
            folder, freeBytes, [&](const fs::path&) { save(target, sheetOf(1)); },
            [&] { return saveOverEarlier(save, target, bytesOf(target)); });
        if (!outcome)
            GTEST_SKIP() << "no mount namespace of a child's own here";
        EXPECT_TRUE(*outcome == "saved" || *outcome == "refused") << freeBytes << " bytes free: " << *outcome;
        ++outcomes[*outcome];
    }
    // The range of free space runs from too little to enough.
    EXPECT_GT(outcomes["refused"], 0);
    EXPECT_GT(outcomes["saved"], 0);
}

// libxlsxwriter kept a workbook's parts in /tmp ($TMPDIR): full, it wrote a hollow workbook and
// reported success. The parts now go beside the target.
TEST_P(FullDisk, AFullTemporaryFolderNeitherHollowsNorBlocksAWorkbook)
{
    const Save save = GetParam().save;
    testsupport::TempDir dir;
    const fs::path tmp = dir / "tmp";
    fs::create_directory(tmp);
    const fs::path target = dir / "case.results.xlsx";
    save(target, sheetOf(1));
    const std::string earlier = bytesOf(target);
    const auto wrong = testsupport::inSmallFolder(tmp, 0, {}, [&] {
        ::setenv("TMPDIR", tmp.c_str(), 1);
        try {
            save(target, sheetOf(2));
        } catch (const WorkbookError& e) {
            return std::string("not saved: ") + e.what();
        }
        return std::string();
    });
    if (!wrong)
        GTEST_SKIP() << "no mount namespace of a child's own here";
    EXPECT_EQ(*wrong, "");
    EXPECT_NO_THROW(checkReadBack(target, "case.results.xlsx", {sheetOf(2)}));
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk,
                         ::testing::Values(Writer{"ResultsWriter", &saveWithWriter},
                                           Writer{"CellWorkbook", &saveCells}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace automation

namespace automation {
namespace {

// A save killed between writing its temporary file and the rename leaves ".<name>.tmp-<pid>-<n>";
// the next save of that workbook removes it, unless a save still holds it (locked) or it was
// made within the last minute.
TEST(WorkbookSave, RemovesTheTemporariesOfAKilledSaveOfTheSameWorkbook)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "case.results.xlsx";
    const auto temporary = [&](const std::string& suffix, int minutesOld) {
        const fs::path file = dir / (".case.results.xlsx.tmp-" + suffix);
        std::ofstream(file) << "partial";
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::minutes(minutesOld));
        return file;
    };
    const fs::path abandoned = temporary("4242-0", 5);
    const fs::path fresh = temporary("4242-1", 0);
    const fs::path held = temporary("4242-2", 5);
    const fs::path otherCase = dir / ".other.results.xlsx.tmp-4242-0";
    std::ofstream(otherCase) << "partial";
    const int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    saveCells(target, sheetOf(1));
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::exists(otherCase));
    ::close(holder);
}

} // namespace
} // namespace automation
