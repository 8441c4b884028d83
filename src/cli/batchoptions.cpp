// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchoptions.h"

#include <iostream>
#include <memory>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "cli/batchrun.h"
#include "cli/commonoptions.h"
#include "freqdb/labsettings.h"
#include "text/numberformat.h"

namespace cli {
namespace {

constexpr const char* kSynopsis
    = "  paternity-index batch GENOTYPES... --population rus|white|black [--data DIR] [--prior P]\n"
      "                  [--output RESULTS.xlsx | --output-dir DIR] [--report REPORT.pdf | --report-dir DIR]\n"
      "                  [--format text|csv|json] [--mutation off|proportional:RATE] [--min-frequency off|P]\n"
      "                  [--theta off|θ]\n"
      "  paternity-index batch EXPORT --father NAME --child NAME [--mother NAME] --population rus|white|black\n"
      "                  [--output RESULTS.xlsx] [--report REPORT.pdf] [другие параметры batch]\n";

constexpr const char* kDescription
    = "batch: рассчитывает LR каждой строки книги генотипов (.xlsx, .xls, .ods; столбцы A-E:\n"
      "номер, локус, генотипы отца, ребенка и матери \"a/b\"; таблица кончается итоговыми\n"
      "строками книги результатов, в листе без них последние три строки не читаются),\n"
      "отмечает все строки с LR (повторенный локус - только первую) и перемножает их.\n"
      "GENOTYPES - книга или папка книг (не вложенные папки); с несколькими делами или с\n"
      "--output-dir база загружается один раз, а вывод - строка итогов на дело: файл, локусов,\n"
      "отмечено, исключений, CPI, вероятность, итог (ok, \"неполный расчет: ...\" или причина,\n"
      "по которой дело не прочитано), строк без LR, строк сверх 99, CPE (cpe); затем, на каждой\n"
      "строке CSV, популяция, отпечаток таблиц, априорная вероятность и настройки (в тексте - в\n"
      "заголовке, в JSON - identity). Код выхода: 1 - дело не прочитано или не записано,\n"
      "3 - неполный расчет (строка без LR, в том числе \"Материнство исключается\").\n"
      "  --population  референтная популяция: rus (русские), white (европеоиды США),\n"
      "                black (негры США)\n"
      "  --data DIR    папка с книгами локусов (по умолчанию ./data, если в ней есть книги локусов,\n"
      "                иначе ~/.local/share/paternity-index/data поверх установленной с программой)\n"
      "  --prior P     априорная вероятность отцовства (по умолчанию 0,5; запятая или точка)\n"
      "  --output F    записать и книгу результатов (.xlsx) одного дела\n"
      "  --output-dir DIR  записать книгу результатов каждого дела: DIR/<дело>.results.xlsx\n"

      "  --report F    записать и отчёт по делу (PDF: таблица, итоги, источник данных)\n"
      "  --report-dir DIR  записать отчёт каждого дела: DIR/<дело>.report.pdf\n"
      "  --format      text (таблица, по умолчанию), csv (строка на локус; итоги в stderr),\n"
      "                json (один объект)\n"
      "  --mutation off|proportional:RATE\n"
      "                модель мутаций вместо файла настроек DIR/settings.ini: off или\n"
      "                пропорциональная с частотой мутаций RATE (например proportional:0,002)\n"
      "  --min-frequency off|P\n"
      "                минимальная частота аллеля вместо файла настроек (например 0,0069)\n"
      "  --theta off|θ поправка на субпопуляцию (Balding–Nichols) вместо файла настроек\n"
      "                (например 0,01); не вместе с моделью мутаций\n"
      "  --father NAME --child NAME [--mother NAME]\n"
      "                дело - экспорт генотипов EXPORT (см. profiles), а это образцы отца, ребенка\n"
      "                и матери; без --mother - дуэт. Строки - локусы папки данных, что есть в\n"
      "                экспорте, в порядке книг; OL, три аллеля и нетипированный локус - в строке\n";

// The texts as given; check() turns them into BatchOptions.
struct BatchArguments {
    std::vector<std::string> cases;
    std::string population, data, prior, output, outputDir, report, reportDir, format, mutation, minFrequency, theta;
    std::string father, child, mother;
};

// A sample's name without blanks around it, as the export reader keeps the export's names.
std::string sampleName(std::string name)
{
    name.erase(0, name.find_first_not_of(" \t\r\n"));
    name.erase(name.find_last_not_of(" \t\r\n") + 1);
    return name;
}

// --father, --child, --mother: the samples of a case read from a genotyping export.
std::string checkSamples(const CLI::App& app, const BatchArguments& given, BatchOptions& options)
{
    BatchArguments args;
    args.father = sampleName(given.father);
    args.child = sampleName(given.child);
    args.mother = sampleName(given.mother);
    const bool father = app.count("--father") > 0, child = app.count("--child") > 0, mother = app.count("--mother") > 0;
    if (!father && !child && !mother)
        return {};
    if (!father || !child)
        return "Дело из экспорта генотипов требует и --father, и --child";
    if (args.father.empty() || args.child.empty() || (mother && args.mother.empty()))
        return "Пустое имя образца в --father, --child или --mother";
    if (args.father == args.child || (mother && (args.mother == args.father || args.mother == args.child)))
        return "Один образец указан для двух лиц: «" + (args.father == args.child ? args.father : args.mother) + "»";
    if (std::error_code ec; options.cases.size() > 1 || std::filesystem::is_directory(options.cases.front(), ec))
        return "--father и --child называют образцы одного экспорта генотипов, а не нескольких дел";
    if (options.outputDir || options.reportDir)
        return "С экспортом генотипов - --output и --report, а не --output-dir и --report-dir";
    options.father = args.father;
    options.child = args.child;
    if (mother)
        options.mother = args.mother;
    return {};
}

std::string check(const CLI::App& app, const BatchArguments& args, BatchOptions& options)
{
    if (args.cases.empty())
        return "Не указана книга генотипов";
    options.cases.assign(args.cases.begin(), args.cases.end());

    if (auto error = checkPopulation(app, args.population, options.population); !error.empty())
        return error;
    if (auto error = checkDataFolder(app, args.data, options.dataDir); !error.empty())
        return error;
    if (auto error = checkPrior(app, args.prior, options.prior); !error.empty())
        return error;
    if (app.count("--output") > 0) {
        if (args.output.empty())
            return "Пустое имя файла в --output";
        if (auto error = resultsWorkbookNameError(args.output); !error.empty())
            return error;
        options.output = args.output;
    }
    if (auto error = checkSettingOptions(app, args.mutation, args.minFrequency, options.mutation, options.minFrequency);
        !error.empty())
        return error;
    if (auto error = checkThetaOption(app, args.theta, options.mutation, options.theta); !error.empty())
        return error;
    if (app.count("--output-dir") > 0) {
        if (args.outputDir.empty())
            return "Пустое имя папки в --output-dir";
        if (options.output)
            return "--output и --output-dir вместе не указываются: --output - книга одного дела";
        options.outputDir = args.outputDir;
    }
    if (options.output && options.cases.size() > 1)
        return "--output записывает книгу одного дела; для нескольких дел - --output-dir DIR";
    if (app.count("--report-dir") > 0) {
        if (args.reportDir.empty())
            return "Пустое имя папки в --report-dir";
        options.reportDir = args.reportDir;
    }
    if (app.count("--report") > 0) {
        if (auto error = reportNameError(args.report); !error.empty())
            return error;
        options.report = args.report;
        if (options.reportDir)
            return "--report и --report-dir вместе не указываются: --report - отчёт одного дела";
        if (options.cases.size() > 1)
            return "--report записывает отчёт одного дела; для нескольких дел - --report-dir DIR";
    }
    // A single file's option beside a folder's would be passed over by the run over many cases:
    // the file the operator asked for would not be written while the run ends in success.
    if (options.output && options.reportDir)
        return "--output и --report-dir вместе не указываются: с --report-dir книги результатов записываются в "
               "--output-dir DIR";
    if (options.report && options.outputDir)
        return "--report и --output-dir вместе не указываются: с --output-dir отчёты записываются в --report-dir DIR";
    if (std::error_code ec; (options.output || options.report) && options.cases.size() == 1
                            && std::filesystem::is_directory(options.cases.front(), ec))
        return std::string(options.output ? "--output" : "--report") + " записывает файл одного дела, а «"
               + options.cases.front().string() + "» - папка; для папки - "
               + (options.output ? "--output-dir DIR" : "--report-dir DIR");
    if (auto error = checkSamples(app, args, options); !error.empty())
        return error;
    if (auto error = checkOutputFormat(app, args.format, options.format); !error.empty())
        return error;
    return {};
}

} // namespace

std::optional<std::string> priorText(std::string_view typed, const std::string& separator)
{
    const auto comma = typed.find(',');
    const auto point = typed.find('.');
    if (comma != std::string_view::npos && point != std::string_view::npos)
        return std::nullopt;
    std::string text(typed);
    if (const auto at = comma != std::string_view::npos ? comma : point; at != std::string_view::npos)
        text.replace(at, 1, separator);
    const auto value = text::NumberFormat(separator).parse(text);
    if (!value || !(*value >= 0 && *value <= 1))
        return std::nullopt;
    return text;
}

Command addBatchCommand(CLI::App& program)
{
    CLI::App* app = program.add_subcommand("batch");
    auto args = std::make_shared<BatchArguments>();
    auto options = std::make_shared<BatchOptions>();
    app->add_option("GENOTYPES", args->cases);
    app->add_option("--population", args->population);
    app->add_option("--data", args->data);
    app->add_option("--prior", args->prior);
    app->add_option("--output", args->output);
    app->add_option("--output-dir", args->outputDir);
    app->add_option("--report-dir", args->reportDir);
    app->add_option("--report", args->report);
    app->add_option("--format", args->format);
    app->add_option("--mutation", args->mutation);
    app->add_option("--min-frequency", args->minFrequency);
    app->add_option("--theta", args->theta);
    app->add_option("--father", args->father);
    app->add_option("--child", args->child);
    app->add_option("--mother", args->mother);
    return {app,
            kSynopsis,
            kDescription,
            &args->cases,
            [app, args, options] { return check(*app, *args, *options); },
            [options](std::ostream& out, std::ostream& err) {
                // Progress only for a person watching: never into a log, a pipe or a test's stream.
                options->progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
                return runBatch(*options, out, err);
            }};
}

} // namespace cli
