// SPDX-License-Identifier: GPL-3.0-or-later
#include "validateoptions.h"

#include <iostream>
#include <memory>

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "cli/commonoptions.h"
#include "cli/validaterun.h"

namespace cli {
namespace {

constexpr const char* kSynopsis
    = "  paternity-index validate --population rus|white|black [--data DIR] [--cases N] [--seed S]\n"
      "                  [--report PROTOCOL.pdf] [--format text|json] [--mutation off|proportional:RATE]\n"
      "                  [--min-frequency off|P] [--theta off|θ]\n";

constexpr const char* kDescription
    = "validate: валидация расчёта на таблицах лаборатории: составляет N случаев (трио и дуо,\n"
      "гомо- и гетерозиготы, общие аллели, микроварианты, несовпадения с матерью и отцом, редкие\n"
      "аллели), считает каждый так же, как окно и batch, и независимо (отношение правдоподобий\n"
      "родословной с перебором переданных аллелей) и сравнивает; печатает согласие, охват формул,\n"
      "предупреждения о таблицах и данные о программе, таблицах и настройках. Кроме того сверяет\n"
      "частоты каждого локуса с файлом-источником таблицы (data/source, копия, сохраненная import),\n"
      "настройки со вторым чтением settings.ini, PE каждого случая с суммой по генотипам случайного\n"
      "мужчины, CPI, вероятность отцовства и CPE сложенных случаев; каждое правило таблицы формул\n"
      "достигается при любом --cases. Дела с родственниками (предполагаемый отец не типирован; каждое\n"
      "сочетание родственников, трио и дуо; N/25 дел, не меньше 16 и не больше 200) считает так же,\n"
      "как kinship, и сверяет LR каждого локуса с суммой по генотипам всех нетипированных лиц по\n"
      "всей таблице (по трем локусам с наименьшим числом аллелей; с θ не проверяются). Код выхода 0,\n"
      "если все совпало, 1, если есть расхождения (они перечислены).\n"
      "  --population  референтная популяция: rus, white или black\n"
      "  --data DIR    папка с книгами локусов (по умолчанию та же, что у batch)\n"
      "  --cases N     число случаев (по умолчанию 1000)\n"
      "  --seed S      зерно генератора: те же S и таблицы дают те же случаи (по умолчанию новое,\n"
      "                оно печатается)\n"
      "  --report F    записать и протокол валидации (PDF) для подписи\n"
      "  --format      text (по умолчанию) или json (один объект со всеми случаями)\n"
      "  --mutation, --min-frequency  настройки вместо файла настроек, как у batch\n"
      "  --theta off|θ поправка на субпопуляцию (Balding–Nichols) вместо файла настроек, как у batch;\n"
      "                независимый расчёт тоже применяет θ\n";

struct ValidateArguments {
    std::string population, data, cases, seed, report, format, mutation, minFrequency, theta;
};

// A whole number in 0..max written in decimal digits only.
std::optional<std::uint64_t> wholeNumber(const std::string& text, std::uint64_t max)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    try {
        const unsigned long long value = std::stoull(text);
        if (value > max)
            return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string check(const CLI::App& app, const ValidateArguments& args, ValidateOptions& options)
{
    if (auto error = checkPopulation(app, args.population, options.population); !error.empty())
        return error;
    if (auto error = checkDataFolder(app, args.data, options.dataDir); !error.empty())
        return error;
    if (app.count("--cases") > 0) {
        const auto n = wholeNumber(args.cases, kMaxValidationCases);
        if (!n || *n == 0)
            return "Число случаев (--cases) должно быть целым от 1 до " + std::to_string(kMaxValidationCases)
                   + ", а не «" + args.cases + "»";
        options.cases = static_cast<std::size_t>(*n);
    }
    if (app.count("--seed") > 0) {
        const auto s = wholeNumber(args.seed, UINT64_MAX);
        if (!s)
            return "Зерно (--seed) должно быть целым неотрицательным числом, а не «" + args.seed + "»";
        options.seed = *s;
    }
    if (app.count("--report") > 0) {
        if (!hasExtension(args.report, ".pdf"))
            return "Протокол записывается в формате PDF: имя в --report должно оканчиваться на .pdf, а не «"
                   + args.report + "»";
        options.report = args.report;
    }
    if (app.count("--format") > 0) {
        if (args.format == "text")
            options.format = OutputFormat::Text;
        else if (args.format == "json")
            options.format = OutputFormat::Json;
        else
            return "Формат должен быть text или json, а не «" + args.format + "»";
    }
    if (auto error = checkSettingOptions(app, args.mutation, args.minFrequency, options.mutation, options.minFrequency);
        !error.empty())
        return error;
    if (auto error = checkThetaOption(app, args.theta, options.mutation, options.theta); !error.empty())
        return error;
    return {};
}

} // namespace

Command addValidateCommand(CLI::App& program)
{
    CLI::App* app = program.add_subcommand("validate");
    auto args = std::make_shared<ValidateArguments>();
    auto options = std::make_shared<ValidateOptions>();
    app->add_option("--population", args->population);
    app->add_option("--data", args->data);
    app->add_option("--cases", args->cases);
    app->add_option("--seed", args->seed);
    app->add_option("--report", args->report);
    app->add_option("--format", args->format);
    app->add_option("--mutation", args->mutation);
    app->add_option("--min-frequency", args->minFrequency);
    app->add_option("--theta", args->theta);
    return {app,
            kSynopsis,
            kDescription,
            nullptr,
            [app, args, options] { return check(*app, *args, *options); },
            [options](std::ostream& out, std::ostream& err) {
                // Progress only for a person watching: never into a log, a pipe or a test's stream.
                options->progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
                return runValidate(*options, out, err);
            }};
}

} // namespace cli
