// SPDX-License-Identifier: GPL-3.0-or-later
#include "batchoptions.h"

#include <string_view>

#include "freqdb/labsettings.h"

namespace cli {
namespace {

ParsedOptions usageError(std::string message)
{
    return {std::nullopt, std::move(message)};
}

bool hasXlsxExtension(const std::string& name)
{
    std::string ext = std::filesystem::path(name).extension().string();
    for (char& c : ext)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return ext == ".xlsx";
}

} // namespace

std::string usageText()
{
    return "Использование:\n"
           "  paternity-index batch GENOTYPES --population rus|white|black [--data DIR] [--prior P]\n"
           "                  [--output RESULTS.xlsx] [--format text|csv|json]\n"
           "                  [--mutation off|proportional:RATE] [--min-frequency off|P]\n"
           "  paternity-index --help | --version\n"
           "  paternity-index            (без аргументов: окно программы)\n"
           "\n"
           "batch: рассчитывает LR каждой строки книги генотипов (.xlsx, .xls, .ods; столбцы A-E:\n"
           "номер, локус, генотипы отца, ребенка и матери \"a/b\"; последние три строки не читаются),\n"
           "отмечает все строки с LR и перемножает их.\n"
           "  --population  референтная популяция: rus (русские), white (европеоиды США),\n"
           "                black (негры США)\n"
           "  --data DIR    папка с книгами локусов (по умолчанию ./data)\n"
           "  --prior P     априорная вероятность отцовства (по умолчанию 0,5)\n"
           "  --output F    записать и книгу результатов (.xlsx)\n"
           "  --format      text (таблица, по умолчанию), csv (строка на локус; итоги в stderr),\n"
           "                json (один объект)\n"
           "  --mutation off|proportional:RATE\n"
           "                модель мутаций вместо файла настроек DIR/settings.ini: off или\n"
           "                пропорциональная с частотой мутаций RATE (например proportional:0,002)\n"
           "  --min-frequency off|P\n"
           "                минимальная частота аллеля вместо файла настроек (например 0,0069)\n"
           "\n"
           "Код выхода: 0 успех, 1 книга не читается или не записывается, 2 неверные аргументы.\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    if (args.empty())
        return usageError("Не указана команда");
    BatchOptions options;
    if (args[0] == "--help" || args[0] == "-h") {
        options.command = Command::Help;
        return {options, {}};
    }
    if (args[0] == "--version") {
        options.command = Command::Version;
        return {options, {}};
    }
    if (args[0] != "batch")
        return usageError("Неизвестная команда «" + args[0] + "»");

    bool haveGenotypes = false;
    bool havePopulation = false;
    bool optionsEnded = false; // after "--" every argument is a file name, even one starting with "--"
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            options.command = Command::Help;
            return {options, {}};
        }
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (haveGenotypes)
                return usageError("Лишний аргумент «" + arg + "»: книга генотипов уже указана");
            options.genotypes = arg;
            haveGenotypes = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name != "--population" && name != "--data" && name != "--prior" && name != "--output" && name != "--format"
            && name != "--mutation" && name != "--min-frequency")
            return usageError("Неизвестный параметр «" + name + "»");
        if (!value) {
            if (i + 1 >= args.size())
                return usageError("Параметру " + name + " нужно значение");
            value = args[++i];
        }
        if (name == "--population") {
            const auto population = freqdb::populationFromCode(*value);
            if (!population)
                return usageError("Популяция должна быть rus, white или black, а не «" + *value + "»");
            options.population = *population;
            havePopulation = true;
        } else if (name == "--data") {
            if (value->empty())
                return usageError("Пустое имя папки в --data");
            options.dataDir = *value;
        } else if (name == "--mutation") {
            freqdb::LabSettings check;
            if (const auto reason = freqdb::applyMutationSetting(check, *value))
                return usageError("--mutation: " + *reason);
            options.mutation = *value;
        } else if (name == "--min-frequency") {
            freqdb::LabSettings check;
            if (const auto reason = freqdb::applyMinFrequencySetting(check, *value))
                return usageError("--min-frequency: " + *reason);
            options.minFrequency = *value;
        } else if (name == "--prior") {
            options.prior = *value;
        } else if (name == "--output") {
            if (value->empty())
                return usageError("Пустое имя файла в --output");
            // The results workbook is always .xlsx: another extension would put it under a name
            // that promises another format, and could replace an .xls or .ods book (the case's
            // own genotype workbook among them) with a file of a different kind.
            if (!hasXlsxExtension(*value))
                return usageError("Книга результатов записывается в формате .xlsx: имя в --output должно "
                                  "оканчиваться на .xlsx, а не «"
                                  + *value + "»");
            options.output = *value;
        } else {
            if (*value == "text")
                options.format = OutputFormat::Text;
            else if (*value == "csv")
                options.format = OutputFormat::Csv;
            else if (*value == "json")
                options.format = OutputFormat::Json;
            else
                return usageError("Формат должен быть text, csv или json, а не «" + *value + "»");
        }
    }
    if (!haveGenotypes)
        return usageError("Не указана книга генотипов");
    if (!havePopulation)
        return usageError("Не указана популяция (--population rus|white|black)");
    return {options, {}};
}

} // namespace cli
