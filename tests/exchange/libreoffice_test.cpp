// SPDX-License-Identifier: GPL-3.0-or-later
// The results workbook as LibreOffice Calc shows and prints it: a 20-row case converted to PDF by
// `soffice --headless --convert-to pdf` fits one landscape page, and every wrapped text, the
// three closing lines among them, is there whole (pdftotext of the printed page).
#include <cmath>
#include <cstdio>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "automation/xlsxworkbookwriter.h"
#include "engine/combinedindex.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookwriter.h"
#include "exchange/workbooklayout.h"
#include "exchange/wrappedtext.h"
#include "freqdb/locusloader.h"
#include "results/genotyperow.h"

#include "support/pdftext.h"
#include "support/tempdir.h"

namespace exchange {
namespace {

const std::string kSource = PI_SOURCE_DIR;
const text::NumberFormat kFormat(",");

using testsupport::pdfPages;
using testsupport::shellOutput;
using testsupport::squeezed;

// Converts `file` to PDF with LibreOffice Calc in `dir` and returns the PDF's path.
std::filesystem::path printed(const testsupport::TempDir& dir, const std::string& file)
{
    shellOutput("cd '" + dir.path().string() + "' && HOME='" + dir.path().string()
                + "' soffice --headless --norestore -env:UserInstallation=file://" + dir.path().string()
                + "/profile --convert-to pdf '" + file + "' 2>&1");
    return dir.path() / (std::filesystem::path(file).stem().string() + ".pdf");
}

// 20 rows as a lab would have them: the trio example's 15 loci, three duo rows with the longest
// formula, two rows that exclude paternity; the rows with an LR other than 0 marked and combined.
struct Case {
    results::ResultsGrid grid;
    engine::CombinedIndexResult combined;
};

Case twentyRows()
{
    const auto reader = automation::makeFileWorkbookReader();
    const auto loaded
        = freqdb::LoadLocusTableFromFolder(kSource + "/data", freqdb::Population::UsCaucasians, *reader, kFormat);
    if (loaded.status != freqdb::LoadStatus::Loaded)
        throw std::runtime_error(loaded.message);
    Case c;
    const std::pair<const char*, int> parts[] = {{"trio.xlsx", 15}, {"duo.xlsx", 3}, {"exclusion.xlsx", 2}};
    for (const auto& [name, count] : parts) {
        const auto evaluated = evaluateGenotypeWorkbook(kSource + "/examples/" + name, *reader, loaded.table, kFormat);
        if (!evaluated.ok)
            throw std::runtime_error(evaluated.error);
        for (int r = 1; r <= count; ++r) {
            const std::string& locus = evaluated.grid.cell(r, results::kColumnLocus);
            const auto& genotype = evaluated.grid.RowGenotypes(r);
            const int row = c.grid.AppendRow(locus, genotype);
            c.grid.applyOutcome(row, results::evaluateGenotypeRow(loaded.table, locus, genotype, kFormat));
        }
    }
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= c.grid.ResultCount(); ++r) {
        const std::string& lr = c.grid.cell(r, results::kColumnLr);
        if (!lr.empty() && lr != "0")
            c.grid.ToggleMark(r);
        rows.push_back({c.grid.cell(r, 0), lr, c.grid.cell(r, results::kColumnMark)});
    }
    c.combined = engine::CombineIndex(rows, "0,5", kFormat);
    return c;
}

TEST(ResultsWorkbookInLibreOffice, TwentyRowsPrintOnOnePageWithEveryTextWhole)
{
    const Case c = twentyRows();
    ASSERT_EQ(c.grid.ResultCount(), 20);
    testsupport::TempDir dir;
    const auto file = dir.path() / "results.xlsx";
    const auto writer = automation::makeXlsxWorkbookWriter();
    saveResultsWorkbook(file, c.grid, c.combined.cpiText, c.combined.probabilityText, freqdb::Population::UsCaucasians,
                        *writer);

    const auto pdf = printed(dir, "results.xlsx");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(pdfPages(pdf), 1);

    const std::string text = squeezed(shellOutput("pdftotext -raw -enc UTF-8 '" + pdf.string() + "' -"));
    const std::vector<std::string> whole = {std::string(kPopulationLinePrefix) + "европеоидов США",
                                            c.combined.cpiText,
                                            c.combined.probabilityText,
                                            "Отцовство исключается",
                                            "(p(15)+p(16))/4p(15)p(16)",
                                            "Генотип ребенка"};
    for (const std::string& line : whole)
        EXPECT_NE(text.find(squeezed(line)), std::string::npos) << line << "\n" << text;
}

// The words of a printed page in reading order, each with the top of its line.
struct PrintedWord {
    double top;
    std::string text;
};

std::vector<PrintedWord> printedWords(const std::filesystem::path& pdf)
{
    std::vector<PrintedWord> words;
    const std::string xml = shellOutput("pdftotext -bbox-layout '" + pdf.string() + "' -");
    static const std::regex word("<word xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>");
    for (std::sregex_iterator it(xml.begin(), xml.end(), word), end; it != end; ++it)
        words.push_back({std::stod((*it)[1]), (*it)[2]});
    return words;
}

// Every text the formula column can hold, at its longest: the row heights the writer gives must
// show each whole (at least the lines LibreOffice needs with the wide DejaVu Sans in place of the
// workbook's font) and waste at most one line, so a printed case stays short.
TEST(ResultsWorkbookInLibreOffice, RowHeightsFitTheLongestFormulaColumnTexts)
{
    const std::vector<std::string> texts = {
        "Отцовство исключается",
        "Материнство исключается",
        "(p(31,2)+p(32,2))/4p(31,2)p(32,2)",
        "1/(2p(16)+2p(15))",
        "1/(2p(30)+2p(31,2))",
        "1/(2p(31,2)+2p(32,2))",
        "1/(p(31,2)+p(32,2))",
        "1/(p(15)+p(16))",
        "1/2p(31,2)",
        "θ=0,01 1/(2p(15)+2p(16))",
        "θ=0,03 (p(31,2)+p(32,2))/4p(31,2)p(32,2)",
        "θ=0,01 1/(p(31,2)+p(32,2))",
        "θ=0,025 1/2p(31,2)",
        "θ=0,01 1/p(13)",
        "мутация μ=0,002",
        "Локус D19S433 не загружен",
        "Генотип ребенка записан не как «аллель/аллель»",
        "Генотип матери записан не как «аллель/аллель»",
        "Аллеля 31,2 (ребенка) нет в локусе D21S11",
        "Расчет невозможен: аллель не принадлежит локусу (ребенок)",
        "LR не вычисляется: частота аллеля 9,3 равна 0",
        "LR не вычисляется: значение вне допустимого диапазона",
        "LR с мутацией не вычисляется: частоты локуса не дают изменчивости (одна аллель)",
        "LR с мутацией не вычисляется: частота мутаций слишком велика для частот этого локуса",
        "Расчет невозможен: сочетание генотипов не распознано",
    };
    results::ResultsGrid grid;
    for (const std::string& text : texts)
        grid.setCell(grid.AppendRow("D3S1358", {}), results::kColumnFormula, text);
    testsupport::TempDir dir;
    const auto writer = automation::makeXlsxWorkbookWriter();
    saveResultsWorkbook(dir.path() / "texts.xlsx", grid, "", "", freqdb::Population::UsCaucasians, *writer);
    const auto words = printedWords(printed(dir, "texts.xlsx"));

    // The words of a cell come together, a word too long for a line split in pieces; a text's
    // lines are the distinct tops of its words.
    for (const std::string& text : texts) {
        const std::string whole = squeezed(text);
        std::set<long> tops;
        for (std::size_t first = 0; first < words.size() && tops.empty(); ++first) {
            std::string joined;
            std::set<long> seen;
            for (std::size_t at = first; at < words.size() && whole.starts_with(joined + words[at].text); ++at) {
                joined += words[at].text;
                seen.insert(std::lround(words[at].top));
                if (joined == whole) {
                    tops = seen;
                    break;
                }
            }
        }
        ASSERT_FALSE(tops.empty()) << "not printed whole: " << text;
        const int estimated = wrappedLineCount(text, 14);
        const int shown = static_cast<int>(tops.size());
        EXPECT_GE(estimated, shown) << text;
        EXPECT_LE(estimated, shown + 1) << text;
    }
}

} // namespace
} // namespace exchange
