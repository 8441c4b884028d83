// SPDX-License-Identifier: GPL-3.0-or-later
// The loader over real workbook files: the bundled database of data/ against the published
// figures it was made from, and fixtures in .xls, .xlsx and .ods (scripts/make-loader-fixtures.py).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "freqdb/locusworkbookfiles.h"
#include "tempdir.h"

namespace freqdb {
namespace {

const std::filesystem::path kSourceDir = PI_SOURCE_DIR;
const std::filesystem::path kFixtures = kSourceDir / "tests" / "freqdb" / "fixtures";

class LocusFilesTest : public ::testing::Test {
protected:
    LoadResult load(const std::filesystem::path& workDir, Population population)
    {
        return LoadLocusTable(workDir, population, *reader, format);
    }
    LocusRecord read(const std::filesystem::path& path)
    {
        return ReadLocusWorkbook(path, Population::UsCaucasians, *reader, format);
    }
    std::string readError(const std::filesystem::path& path)
    {
        try {
            read(path);
        } catch (const LocusReadError& e) {
            return e.what();
        }
        return "no error";
    }

    std::unique_ptr<automation::WorkbookReader> reader = automation::makeFileWorkbookReader();
    text::NumberFormat format{","};
};

struct Published {
    std::vector<std::string> loci; // in file order
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> alleles; // allele, frequency
};

// The published figures, as data/source/*.csv hold them ("locus,allele,frequency").
Published readPublished(const std::filesystem::path& csv)
{
    Published published;
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string locus, allele, frequency;
        std::getline(fields, locus, ',');
        std::getline(fields, allele, ',');
        std::getline(fields, frequency, ',');
        if (!published.alleles.count(locus))
            published.loci.push_back(locus);
        published.alleles[locus].emplace_back(allele, frequency);
    }
    return published;
}

const std::vector<std::string> kBundledOrder
    = {"CSF1PO",  "D10S1248", "D12S391", "D13S317", "D16S539", "D18S51", "D19S433", "D1S1656", "D21S11", "D22S1045",
       "D2S1338", "D2S441",   "D3S1358", "D5S818",  "D6S1043", "D7S820", "D8S1179", "F13A01",  "F13B",   "FESFPS",
       "FGA",     "LPL",      "Penta C", "Penta D", "Penta E", "SE33",   "TH01",    "TPOX",    "vWA"};

struct BundledCase {
    Population population;
    const char* csv;
    std::map<std::pair<std::string, std::string>, double> spotChecks; // (locus, label) -> frequency
    int se33Alleles;
};

TEST_F(LocusFilesTest, BundledDatabaseHoldsThePublishedFigures)
{
    const std::vector<BundledCase> cases = {
        {Population::UsCaucasians,
         "us_caucasians.csv",
         {{{"CSF1PO", "10"}, 0.2202}, {{"TH01", "9,3"}, 0.3449}, {{"Penta D", "2,2"}, 0.0042}, {{"vWA", "17"}, 0.2839}},
         39},
        {Population::UsBlacks,
         "us_african_americans.csv",
         {{{"CSF1PO", "10"}, 0.2500}, {{"TH01", "9,3"}, 0.0965}, {{"D21S11", "30,2"}, 0.0175}, {{"TPOX", "8"}, 0.3680}},
         41},
    };
    for (const BundledCase& c : cases) {
        SCOPED_TRACE(c.csv);
        const LoadResult result = load(kSourceDir, c.population);
        ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
        const LocusTable& table = result.table;
        ASSERT_EQ(table.LocusCount(), 29);
        for (int k = 1; k <= 29; ++k)
            EXPECT_EQ(table.record(k).Name, kBundledOrder[k - 1]);

        for (const auto& [key, frequency] : c.spotChecks) {
            const std::uint8_t locus = table.LocusIndexOf(key.first);
            const std::uint8_t allele = table.AlleleIndexOf(locus, key.second);
            ASSERT_TRUE(table.record(locus).hasAllele(allele)) << key.first << " " << key.second;
            EXPECT_DOUBLE_EQ(static_cast<double>(table.record(locus).Frequencies[allele]), frequency);
        }
        EXPECT_EQ(table.record(table.LocusIndexOf("SE33")).AlleleCount, c.se33Alleles);

        // Every locus, allele and figure as published, nothing more.
        const Published published = readPublished(kSourceDir / "data" / "source" / c.csv);
        ASSERT_EQ(published.loci.size(), 29u);
        for (const auto& [name, alleles] : published.alleles) {
            const LocusRecord& record = table.record(table.LocusIndexOf(name));
            ASSERT_EQ(record.AlleleCount, alleles.size()) << name;
            for (std::size_t i = 0; i < alleles.size(); ++i) {
                std::string label = alleles[i].first;
                std::replace(label.begin(), label.end(), '.', ',');
                EXPECT_EQ(record.Labels[i + 1], label) << name;
                EXPECT_EQ(static_cast<double>(record.Frequencies[i + 1]), std::stod(alleles[i].second))
                    << name << " " << label;
            }
        }
    }
}

// Ten-thousandths of a published figure ("0.2202" -> 2202); the sources give four decimals.
long long tenThousandths(const std::string& figure)
{
    const auto point = figure.find('.');
    EXPECT_TRUE(point != std::string::npos && figure.size() - point - 1 == 4) << figure;
    return std::stoll(figure.substr(0, point)) * 10000 + std::stoll(figure.substr(point + 1));
}

// The decimal text of a number of ten-thousandths (10001 -> "1.0001"), read like the script's float().
double fromTenThousandths(long long units)
{
    std::string fraction = std::to_string(units % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    return std::stod(std::to_string(units / 10000) + "." + fraction);
}

std::string describe(const automation::CellValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return "text \"" + *s + "\"";
    if (const auto* d = std::get_if<double>(&value))
        return "number " + std::to_string(*d);
    return std::holds_alternative<automation::CellError>(value) ? "error" : "empty";
}

// Cell by cell, not through the loader: every bundled workbook holds exactly the published table
// of each population (labels as text with the decimal comma, figures as numbers), then the
// closing row "Сумма" with the column's total, nothing else on the sheet, and no other
// worksheet (above all no "-rus" one); and data/ holds exactly one workbook per published locus.
TEST_F(LocusFilesTest, BundledWorkbooksHoldExactlyThePublishedTables)
{
    const Published white = readPublished(kSourceDir / "data" / "source" / "us_caucasians.csv");
    const Published black = readPublished(kSourceDir / "data" / "source" / "us_african_americans.csv");
    ASSERT_EQ(white.loci, black.loci);

    std::vector<std::string> files;
    for (const auto& path : findLocusWorkbooks(kSourceDir / "data"))
        files.push_back(path.filename().string());
    std::vector<std::string> expectedFiles;
    for (const auto& locus : white.loci)
        expectedFiles.push_back(locus + ".xls");
    std::sort(files.begin(), files.end());
    std::sort(expectedFiles.begin(), expectedFiles.end());
    ASSERT_EQ(files, expectedFiles);

    for (const auto& locus : white.loci) {
        SCOPED_TRACE(locus);
        const auto book = reader->open(kSourceDir / "data" / (locus + ".xls"));
        ASSERT_EQ(book->sheetCount(), 2);
        const std::pair<std::string, const Published*> sheets[]
            = {{locus + "-white", &white}, {locus + "-black", &black}};
        for (int s = 0; s < 2; ++s) {
            const auto& [sheetName, published] = sheets[s];
            SCOPED_TRACE(sheetName);
            ASSERT_EQ(book->sheetName(s + 1), sheetName);
            const automation::CellArray cells = book->usedRange(s + 1);
            const auto& alleles = published->alleles.at(locus);
            const int n = static_cast<int>(alleles.size());
            ASSERT_EQ(cells.firstRow(), 1);
            ASSERT_EQ(cells.firstColumn(), 1);
            ASSERT_EQ(cells.columns(), 2);
            ASSERT_EQ(cells.rows(), n + 1);
            long long total = 0;
            for (int i = 1; i <= n; ++i) {
                std::string label = alleles[i - 1].first;
                std::replace(label.begin(), label.end(), '.', ',');
                EXPECT_EQ(describe(cells.at(i, 1)), describe(label)) << "row " << i;
                const auto* frequency = std::get_if<double>(&cells.at(i, 2));
                ASSERT_NE(frequency, nullptr) << "row " << i << ": " << describe(cells.at(i, 2));
                EXPECT_EQ(*frequency, std::stod(alleles[i - 1].second)) << "row " << i;
                total += tenThousandths(alleles[i - 1].second);
            }
            EXPECT_EQ(describe(cells.at(n + 1, 1)), describe(std::string("Сумма")));
            const auto* closing = std::get_if<double>(&cells.at(n + 1, 2));
            ASSERT_NE(closing, nullptr) << describe(cells.at(n + 1, 2));
            EXPECT_EQ(*closing, fromTenThousandths(total));
        }
    }
}

TEST_F(LocusFilesTest, RussiansWithTheBundledDatabaseGetTheReadErrorAndAdvice)
{
    const LoadResult result = load(kSourceDir, Population::Russians);
    ASSERT_EQ(result.status, LoadStatus::Failed);
    EXPECT_EQ(result.table.LocusCount(), 0);
    EXPECT_EQ(result.message.substr(0, result.message.find('\n')), kReadFailed);
    EXPECT_NE(result.message.find("Книга «CSF1PO.xls»: нет листа «CSF1PO-rus»"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("В папке данных нет листа «CSF1PO-rus»"), std::string::npos) << result.message;
}

TEST_F(LocusFilesTest, MixedFormatFolderLoadsInNameOrderWithTheTableRules)
{
    const LoadResult result = load(kFixtures / "order", Population::UsCaucasians);
    ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
    const LocusTable& t = result.table;
    const std::vector<std::string> names = {"AB-1", "AB", "D3S1358", "FGA", "TPOX", "vWA"};
    ASSERT_EQ(t.LocusCount(), names.size());
    for (std::size_t k = 0; k < names.size(); ++k)
        EXPECT_EQ(t.record(k + 1).Name, names[k]);

    struct Expected {
        std::string locus;
        std::vector<std::string> labels;
        std::vector<long double> frequencies;
    };
    const std::vector<Expected> expected = {
        {"D3S1358", {"12", "9,3", "9,3", "14"}, {0.25, 0.125, 0.125, 0.5}},
        {"FGA", {"20", "21", "22"}, {0.5, 0.25, 0.25}},
        {"TPOX", {"12345", "8"}, {0.5, 0.5}},
        {"vWA", {"16", "", "18"}, {0.5, 0, 0.5}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.locus);
        const LocusRecord& record = t.record(t.LocusIndexOf(e.locus));
        ASSERT_EQ(record.AlleleCount, e.labels.size());
        for (std::size_t i = 0; i < e.labels.size(); ++i) {
            EXPECT_EQ(record.Labels[i + 1], e.labels[i]) << "allele " << i + 1;
            EXPECT_EQ(record.Frequencies[i + 1], e.frequencies[i]) << "allele " << i + 1;
        }
    }
}

TEST_F(LocusFilesTest, EachFormatReadsAnOffsetTableAlike)
{
    for (const char* file : {"Offset.xls", "Offset.xlsx", "Offset.ods"}) {
        SCOPED_TRACE(file);
        const LocusRecord record = read(kFixtures / "books" / file);
        EXPECT_EQ(record.Name, "Offset");
        ASSERT_EQ(record.AlleleCount, 4);
        const std::vector<std::string> labels = {"10", "", "9,3", "11"};
        const std::vector<long double> frequencies = {0.25, 0, 0.125, 0.625};
        for (int i = 1; i <= 4; ++i) {
            EXPECT_EQ(record.Labels[i], labels[i - 1]) << "allele " << i;
            EXPECT_EQ(record.Frequencies[i], frequencies[i - 1]) << "allele " << i;
        }
    }
}

TEST_F(LocusFilesTest, UnreadableWorksheetsNameFileAndReason)
{
    const std::string kDateLabelReason = "ячейка A2 листа «DateLabel-white»: «2026-03-09» — дата, а не метка аллели: "
                                         "метку вроде 9.3 таблица превратила в дату; задайте ячейкам меток текстовый "
                                         "формат и впишите метки заново (например, 9,3).";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"OneCell.xls", "на листе «OneCell-white» занятая область B2:B2 имеет один столбец"},
        {"OneCell.xlsx", "на листе «OneCell-white» занятая область B2:B2 имеет один столбец"},
        {"OneCell.ods", "на листе «OneCell-white» занятая область B2:B2 имеет один столбец"},
        {"BadText.xls", "частота «abc» в ячейке B7 листа «BadText-white» — не число"},
        {"NoSheet.xls", "нет листа «NoSheet-white»; листы книги: «NoSheet-black»"},
        // An allele 9.3 that LibreOffice made the date 09.03.26 (DateLabel.fods, converted by
        // scripts/convert-fods-fixtures.sh); once it loaded as the label "2026-".
        {"DateLabel.ods", kDateLabelReason},
        {"DateLabel.xlsx", kDateLabelReason},
        {"DateLabel.xls", kDateLabelReason},
    };
    for (const auto& [file, reason] : cases) {
        const std::string message = readError(kFixtures / "books" / file);
        EXPECT_EQ(message.substr(0, message.find('\n')), kReadFailed) << file;
        EXPECT_NE(message.find("Книга «" + file + "»: " + reason), std::string::npos) << message;
    }
}

// Bytes and modification time of every entry below a folder.
std::map<std::filesystem::path, std::pair<std::string, std::filesystem::file_time_type>> snapshot(
    const std::filesystem::path& folder)
{
    std::map<std::filesystem::path, std::pair<std::string, std::filesystem::file_time_type>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string bytes;
        if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        files[entry.path()] = {bytes, entry.last_write_time()};
    }
    return files;
}

TEST_F(LocusFilesTest, LoadingChangesNoFile)
{
    testing::TempDir work;
    std::filesystem::copy(kSourceDir / "data", work.path() / "data", std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(work.path() / "mixed");
    std::filesystem::copy(kFixtures / "order" / "data", work.path() / "mixed" / "data",
                          std::filesystem::copy_options::recursive);
    const auto before = snapshot(work.path());

    EXPECT_EQ(load(work.path(), Population::UsCaucasians).status, LoadStatus::Loaded);
    EXPECT_EQ(load(work.path(), Population::UsBlacks).status, LoadStatus::Loaded);
    EXPECT_EQ(load(work.path(), Population::Russians).status, LoadStatus::Failed);
    EXPECT_EQ(load(work.path() / "mixed", Population::UsCaucasians).status, LoadStatus::Loaded);

    EXPECT_TRUE(snapshot(work.path()) == before) << "a file was changed, added or removed by a load";
}

} // namespace
} // namespace freqdb
