// SPDX-License-Identifier: GPL-3.0-or-later
// The import command over copies of the bundled data folder. The oracle: the bundled US Caucasian
// table, brought in under "rus" from every layout a lab gets it in, must load exactly as the
// bundled "-white" worksheets do and give the same LRs in the batch evaluation; the other
// worksheets must load as before. Refusals must leave the folder byte for byte as it was.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "automation/cellworkbookwriter.h"
#include "cli/commandline.h"
#include "cli/importcommand.h"
#include "freqdb/locusloader.h"

#include "support/programrun.h"
#include "support/smallfolder.h"
#include "support/tempdir.h"

namespace cli {
namespace {

const std::string kSource = PI_SOURCE_DIR;
const std::string kData = kSource + "/data";
const text::NumberFormat kComma(",");
using TempDir = testsupport::TempDir;

Run import(ImportOptions options)
{
    std::ostringstream out, err;
    const int status = runImport(options, out, err);
    return {status, out.str(), err.str()};
}

Run batchCsv(const std::filesystem::path& data, const char* population)
{
    return runProgram({"batch", kSource + "/examples/trio.xlsx", "--population", population, "--data", data.string(),
                       "--format", "csv"});
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every entry below the folder with its bytes (folders as "<dir>").
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = std::filesystem::relative(entry.path(), folder).string();
        files[name] = entry.is_directory() ? "<dir>" : readFile(entry.path());
    }
    return files;
}

std::filesystem::path copyData(const TempDir& dir, std::initializer_list<const char*> only = {})
{
    const auto data = dir / "data";
    std::filesystem::create_directory(data);
    for (const auto& entry : std::filesystem::directory_iterator(kData)) {
        const std::string name = entry.path().filename().string();
        bool wanted = only.size() == 0;
        for (const char* o : only)
            wanted = wanted || name == std::string(o) + ".xls";
        if (wanted && entry.path().extension() == ".xls")
            std::filesystem::copy_file(entry.path(), data / name);
    }
    return data;
}

freqdb::LocusTable load(const std::filesystem::path& data, freqdb::Population population)
{
    const auto reader = automation::makeFileWorkbookReader();
    auto loaded = freqdb::LoadLocusTableFromFolder(data, population, *reader, kComma);
    EXPECT_EQ(loaded.status, freqdb::LoadStatus::Loaded) << loaded.message;
    return std::move(loaded.table);
}

// The loci as the program uses them: names, labels and frequencies of alleles 1..n.
std::string dump(const freqdb::LocusTable& table)
{
    std::ostringstream out;
    out.precision(17);
    for (int k = 1; k <= table.LocusCount(); ++k) {
        const auto& r = table.record(static_cast<std::uint8_t>(k));
        out << r.Name << ":";
        for (int i = 1; i <= r.AlleleCount; ++i)
            out << " " << r.Labels[i] << "=" << static_cast<double>(r.Frequencies[i]);
        out << "\n";
    }
    return out.str();
}

struct SourceRow {
    std::string locus, allele, frequency;
};

std::vector<SourceRow> sourceRows(const char* file)
{
    std::vector<SourceRow> rows;
    std::istringstream in(readFile(kData + "/source/" + file));
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        const auto a = line.find(','), b = line.rfind(',');
        rows.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return rows;
}

std::string withComma(std::string s)
{
    for (auto& c : s)
        c = c == '.' ? ',' : c;
    return s;
}

// The bundled Caucasian table written the ways labs get tables; each file's name says its layout.
void writeSemicolonWindows1251(const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "\xcb\xee\xea\xf3\xf1;\xc0\xeb\xeb\xe5\xeb\xfc;\xd7\xe0\xf1\xf2\xee\xf2\xe0\r\n"; // Локус;Аллель;Частота
    for (const auto& r : sourceRows("us_caucasians.csv"))
        out << r.locus << ";" << r.allele << ";" << withComma(r.frequency) << "\r\n";
}

void writeXmlTwoOrigins(const std::filesystem::path& path)
{
    std::map<std::string, std::map<std::string, std::vector<SourceRow>>> markers; // locus -> origin -> rows
    for (const auto& [origin, file] : {std::pair{"US Caucasian", "us_caucasians.csv"},
                                       std::pair{"US African American", "us_african_americans.csv"}}) {
        for (const auto& r : sourceRows(file))
            markers[r.locus][origin].push_back(r);
    }
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<frequencies>";
    for (const auto& [locus, origins] : markers) {
        out << "<marker><name>" << locus << "</name><alleles/>";
        for (const auto& [origin, rows] : origins) {
            out << "<origin name=\"" << origin << "\" n=\"361\">";
            for (auto it = rows.rbegin(); it != rows.rend(); ++it) // any order
                out << "<frequency allele=\"" << it->allele << "\">" << it->frequency << "</frequency>";
            out << "</origin>";
        }
        out << "</marker>\n";
    }
    out << "</frequencies>\n";
}

void writeTransposed(const std::filesystem::path& path)
{
    std::map<std::string, std::map<std::string, std::string>> loci;
    std::map<double, std::string> alleles;
    for (const auto& r : sourceRows("us_caucasians.csv")) {
        loci[r.locus][r.allele] = r.frequency;
        alleles[std::stod(r.allele)] = r.allele;
    }
    std::ofstream out(path, std::ios::binary);
    out << "STR,population,N";
    for (const auto& [value, allele] : alleles)
        out << ",freq_" << allele;
    out << ",Hobs\n";
    for (const auto& [locus, frequencies] : loci) {
        out << locus << ",US,361";
        for (const auto& [value, allele] : alleles)
            out << "," << (frequencies.count(allele) ? frequencies.at(allele) : "0.000");
        out << ",0.8\n";
    }
}

void writeWorkbook(const std::filesystem::path& path)
{
    const auto rows = sourceRows("us_caucasians.csv");
    automation::CellArray cells(static_cast<int>(rows.size()) + 1, 3);
    cells.set(1, 1, std::string("Marker"));
    cells.set(1, 2, std::string("Allele"));
    cells.set(1, 3, std::string("Frequency"));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        cells.set(i + 2, 1, rows[i].locus);
        cells.set(i + 2, 2, std::stod(rows[i].allele));
        cells.set(i + 2, 3, std::stod(rows[i].frequency));
    }
    automation::saveCellWorkbook(path, {{"Frequencies", cells}});
}

struct RoundTripCase {
    const char* name;
    const char* file;
    void (*write)(const std::filesystem::path&); // nullptr: a file of the repository
    std::optional<std::string> origin;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ImportedCaucasianTableLoadsAndEvaluatesAsTheBundledOne)
{
    TempDir dir;
    const auto data = copyData(dir);
    const auto& c = GetParam();
    std::filesystem::path table = c.file;
    if (c.write) {
        table = dir / c.file;
        c.write(table);
    }
    const auto r = import({table, freqdb::Population::Russians, data, c.origin, false, false, false});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("vWA → vWA.xlsx (вместо vWA.xls), лист «vWA-rus» добавлен: аллелей 10, сумма 1,0000\n"),
              std::string::npos)
        << r.out;

    // Russian frequencies now load as the bundled Caucasian ones; the other worksheets as before.
    EXPECT_EQ(dump(load(data, freqdb::Population::Russians)), dump(load(kData, freqdb::Population::UsCaucasians)));
    for (auto p : {freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks})
        EXPECT_EQ(dump(load(data, p)), dump(load(kData, p)));
    const auto rus = batchCsv(data, "rus");
    const auto white = batchCsv(kData, "white");
    ASSERT_EQ(rus.status, kExitOk) << rus.err;
    EXPECT_EQ(rus.out, white.out);
    EXPECT_EQ(rus.err, white.err); // the CPI and probability lines

    // Every .xls was rewritten as .xlsx; the originals are kept unchanged in the backup folder.
    std::size_t xlsx = 0, backedUp = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        if (entry.path().filename() == "source")
            continue; // the table imported, kept for validate (tested with it)
        if (entry.is_directory()) {
            for (const auto& old : std::filesystem::directory_iterator(entry.path())) {
                EXPECT_EQ(readFile(old.path()), readFile(kData + "/" + old.path().filename().string()));
                ++backedUp;
            }
        } else {
            EXPECT_EQ(entry.path().extension(), ".xlsx") << entry.path();
            ++xlsx;
        }
    }
    EXPECT_EQ(xlsx, 29u);
    EXPECT_EQ(backedUp, 29u);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RoundTrip,
    ::testing::Values(
        RoundTripCase{"BundledSourceCsv", PI_SOURCE_DIR "/data/source/us_caucasians.csv", nullptr, {}},
        RoundTripCase{"SemicolonsDecimalCommasWindows1251", "rus.csv", writeSemicolonWindows1251, {}},
        RoundTripCase{"WideExport", PI_SOURCE_DIR "/tests/popimport/fixtures/nist-caucasian-export.csv", nullptr, {}},
        RoundTripCase{"TransposedCsv", "popstr.csv", writeTransposed, {}},
        RoundTripCase{"Workbook", "table.xlsx", writeWorkbook, {}},
        RoundTripCase{"XmlOfTwoOrigins", "export.xml", writeXmlTwoOrigins, "us caucasian"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    std::string table; // the file's text
    bool prune;
    std::string message; // part of the message
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, LeaveTheFolderByteForByte)
{
    TempDir dir;
    const auto data = copyData(dir, {"CSF1PO", "TPOX"});
    const auto before = snapshot(data);
    const auto& c = GetParam();
    std::ofstream(dir / "table.csv") << c.table;
    for (bool dryRun : {false, true}) {
        const auto r = import({dir / "table.csv", freqdb::Population::Russians, data, {}, false, c.prune, dryRun});
        EXPECT_EQ(r.status, kExitFailure);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Ничего не записано."), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(data), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, Refusals,
                         ::testing::Values(RefusalCase{"BadFrequency",
                                                       "locus;allele;frequency\nCSF1PO;10;0,5\nTPOX;8;x\n", false,
                                                       "Таблица «table.csv», строка 3, поле 3: частота «x» — не число"},
                                           RefusalCase{"UncoveredWorkbook", "locus;allele;frequency\nCSF1PO;10;1\n",
                                                       false, "Таблица не покрывает книги папки данных: TPOX.xls."},
                                           RefusalCase{"NothingMatches", "locus;allele;frequency\nD99S1;10;1\n", true,
                                                       "Ни один локус таблицы"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Import, PruneNewLociDryRunAndSumWarning)
{
    TempDir dir;
    const auto data = copyData(dir, {"CSF1PO", "TPOX", "TH01"});
    std::ofstream(dir / "t.csv") << "Locus,Allele,Frequency\nCSF1PO,10,0.5\nCSF1PO,11,0.4\nth-01,9.3,1\nD99S1,7,1\n";
    ImportOptions options{dir / "t.csv", freqdb::Population::Russians, data, {}, true, true, true};

    const auto before = snapshot(data);
    const auto dry = import(options);
    ASSERT_EQ(dry.status, kExitOk) << dry.err;
    EXPECT_EQ(snapshot(data), before);
    const std::string summary
        = "CSF1PO → CSF1PO.xlsx (вместо CSF1PO.xls), лист «CSF1PO-rus» добавлен: аллелей 2, сумма 0,9000\n"
          "  Внимание: сумма частот 0,9000 отличается от 1 больше чем на 0,01; частоты записаны как есть\n"
          "th-01 → TH01.xlsx (вместо TH01.xls), лист «TH01-rus» добавлен: аллелей 1, сумма 1,0000\n"
          "D99S1 → новая книга D99S1.xlsx, лист «D99S1-rus»: аллелей 1, сумма 1,0000\n"
          "Новые локусы есть только у популяции rus; для других популяций программа их пропустит "
          "(skipped-loci.txt): D99S1\n"
          "Нет в таблице, убираются в резервную папку (--prune): TPOX.xls\n";
    EXPECT_NE(dry.out.find(summary), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("Проверка (--dry-run): ничего не записано."), std::string::npos);

    options.dryRun = false;
    const auto done = import(options);
    ASSERT_EQ(done.status, kExitOk) << done.err;
    EXPECT_NE(done.out.find(summary), std::string::npos) << done.out;
    EXPECT_EQ(dump(load(data, freqdb::Population::Russians)),
              "CSF1PO: 10=0.5 11=0.40000000000000002\nD99S1: 7=1\nTH01: 9,3=1\n");
    // The locus added for rus leaves the other populations loadable, and their loads say so.
    const auto reader = automation::makeFileWorkbookReader();
    const auto white = freqdb::LoadLocusTableFromFolder(data, freqdb::Population::UsCaucasians, *reader, kComma);
    ASSERT_EQ(white.status, freqdb::LoadStatus::Loaded) << white.message;
    EXPECT_EQ(white.table.LocusCount(), 2);
    ASSERT_EQ(white.notes.size(), 1u);
    EXPECT_EQ(white.notes[0], "Для популяции «white» пропущены локусы D99S1 (skipped-loci.txt: у них нет листа "
                              "«<локус>-white»).");

    // A second import replaces the worksheet in the .xlsx and keeps the one it replaces.
    std::ofstream(dir / "t.csv") << "Locus,Allele,Frequency\nCSF1PO,12,1\nTH01,6,1\nD99S1,8,1\n";
    options.newLoci = options.prune = false;
    const auto again = import(options);
    ASSERT_EQ(again.status, kExitOk) << again.err;
    EXPECT_NE(again.out.find("CSF1PO → CSF1PO.xlsx, лист «CSF1PO-rus» заменён: аллелей 1"), std::string::npos)
        << again.out;
    EXPECT_EQ(dump(load(data, freqdb::Population::Russians)), "CSF1PO: 12=1\nD99S1: 8=1\nTH01: 6=1\n");
    int backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data))
        backups += entry.is_directory() && entry.path().filename() != "source" ? 1 : 0;
    EXPECT_EQ(backups, 2);
}

// Without --data the import writes where the window will load from: not into a ./data that does
// not exist, but into the lab's own folder, made only when something is written: a dry run and a
// refused table make nothing.
TEST(Import, WithoutDataGoesToTheLabFolder)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "work");
    std::ofstream(dir / "t.csv") << "Locus,Allele,Frequency\nD99S1,7,1\n";
    std::ofstream(dir / "bad.csv") << "Locus,Allele,Frequency\nD99S1,7,x\n";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir / "work");
    ::setenv("XDG_DATA_HOME", (dir / "xdg").c_str(), 1);
    ImportOptions options{dir / "t.csv", freqdb::Population::Russians, {}, {}, true, false, true};
    const auto dry = import(options);
    options.dryRun = false;
    options.table = dir / "bad.csv";
    const auto refused = import(options);
    const bool madeBeforeWriting = std::filesystem::exists(dir / "xdg");
    options.table = dir / "t.csv";
    const auto done = import(options);
    std::filesystem::current_path(previous);

    const auto lab = dir / "xdg/paternity-index/data";
    EXPECT_EQ(dry.status, kExitOk) << dry.err;
    EXPECT_EQ(refused.status, kExitFailure);
    EXPECT_FALSE(madeBeforeWriting);
    ASSERT_EQ(done.status, kExitOk) << done.err;
    EXPECT_TRUE(std::filesystem::exists(lab / "D99S1.xlsx"));
    EXPECT_FALSE(std::filesystem::exists(dir / "work/data"));
}

// The command line reaches runImport with the options as typed; wrong arguments are status 2.
TEST(Import, CommandLine)
{
    TempDir dir;
    const auto data = copyData(dir, {"CSF1PO", "TPOX"});
    const std::string table = (dir / "t.csv").string();
    std::ofstream(table) << "locus;allele;frequency\nCSF1PO;10;1\n";
    const auto before = snapshot(data);

    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"import"}, kExitUsage, "Не указана таблица частот"},
        {{"import", table}, kExitUsage, "Не указана популяция"},
        {{"import", table, "--population", "russian"}, kExitUsage, "rus, white или black"},
        {{"import", table, table, "--population", "rus"}, kExitUsage, "Лишний аргумент"},
        {{"import", table, "--population", "rus", "--data", data.string(), "--origin", "X"},
         kExitFailure,
         "в таблице нет столбца популяции, а указан --origin X"},
        {{"import", table, "--population", "rus", "--data", data.string(), "--dry-run"},
         kExitFailure,
         "Таблица не покрывает книги папки данных: TPOX.xls."},
        {{"import", table, "--population", "rus", "--data", data.string(), "--dry-run", "--prune"},
         kExitOk,
         "Проверка (--dry-run): ничего не записано."},
        {{"import", "--undo", table, "--data", data.string()}, kExitUsage, "--undo берёт только --data"},
        {{"import", "--undo", "--data", data.string()}, kExitOk, "нет незавершённого вноса; ничего не сделано."},
    };
    for (const auto& c : cases) {
        const auto r = runProgram(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.size() << r.err;
        EXPECT_NE((r.out + r.err).find(c.message), std::string::npos) << r.out << r.err;
        if (c.status == kExitUsage) {
            EXPECT_NE(r.err.find("paternity-index import TABLE --population"), std::string::npos);
        }
    }
    EXPECT_EQ(snapshot(data), before);

    const auto r = runProgram({"import", table, "--population", "rus", "--data", data.string(), "--prune"});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(dump(load(data, freqdb::Population::Russians)), "CSF1PO: 10=1\n");
}

} // namespace
} // namespace cli

namespace cli {
namespace {

// A standard output that takes nothing (a full disk under `> file`, a closed pipe): the import
// must not change the folder it could not report on.
TEST(Import, AStandardOutputThatTakesNothingStopsTheImportBeforeAnyChange)
{
    TempDir dir;
    const auto data = copyData(dir, {"CSF1PO", "TPOX"});
    const auto before = snapshot(data);
    std::ofstream(dir / "table.csv") << "locus;allele;frequency\nCSF1PO;10;0,5\nCSF1PO;11;0,5\nTPOX;8;1\n";
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    const int status
        = runImport({dir / "table.csv", freqdb::Population::Russians, data, {}, false, false, false}, out, err);
    EXPECT_EQ(status, kExitFailure);
    EXPECT_NE(err.str().find("Ничего не записано."), std::string::npos) << err.str();
    EXPECT_EQ(snapshot(data), before);
}

// The data folder on a full disk, for every amount of free space from none to enough: the import
// either ends with status 0 and the folder loads the new table, or with status 1 and the folder
// byte for byte as before (no hollow workbook, no empty skipped-loci.txt, no journal).
TEST(Import, OnAFullDiskTheFolderIsTheOldOneOrTheNewOne)
{
    std::map<int, int> outcomes;
    for (std::size_t freeBytes = 0; freeBytes <= 40 * 1024; freeBytes += 4096) {
        TempDir dir;
        const auto data = dir / "data";
        std::filesystem::create_directory(data);
        std::ofstream(dir / "t.csv") << "Locus,Allele,Frequency\nCSF1PO,10,0.5\nCSF1PO,11,0.5\nth-01,9.3,1\n";
        const auto outcome = testsupport::inSmallFolder(
            data, freeBytes,
            [&](const std::filesystem::path&) {
                for (const char* locus : {"CSF1PO.xls", "TPOX.xls", "TH01.xls"})
                    std::filesystem::copy_file(kData + "/" + locus, data / locus);
            },
            [&]() -> std::string {
                const auto before = snapshot(data);
                const auto r = import({dir / "t.csv", freqdb::Population::Russians, data, {}, false, true, false});
                if (r.status == kExitFailure)
                    return snapshot(data) == before ? "1" : "status 1, but the folder changed: " + r.err;
                if (r.status != kExitOk)
                    return "status " + std::to_string(r.status) + ": " + r.err;
                const auto reader = automation::makeFileWorkbookReader();
                const auto loaded
                    = freqdb::LoadLocusTableFromFolder(data, freqdb::Population::Russians, *reader, kComma);
                if (loaded.status != freqdb::LoadStatus::Loaded)
                    return "status 0, but the folder does not load: " + loaded.message;
                return "0";
            });
        if (!outcome)
            GTEST_SKIP() << "no mount namespace of a child's own here";
        EXPECT_TRUE(*outcome == "0" || *outcome == "1") << freeBytes << " bytes free: " << *outcome;
        ++outcomes[*outcome == "0" ? 0 : 1];
    }
    EXPECT_GT(outcomes[0], 0);
    EXPECT_GT(outcomes[1], 0);
}

// This process writes through the writer module, as the executable does: a save that fails there
// reaches the caller as the WorkbookError the import catches, not as an error it cannot name.
TEST(Import, ASaveThatFailsInTheWriterModuleIsAWorkbookError)
{
    TempDir dir;
    EXPECT_THROW(automation::saveCellWorkbook(dir / "x.xlsx", {{"a/b", automation::CellArray(1, 1)}}),
                 automation::WorkbookError);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
} // namespace cli
