// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/batchoptions.h"
#include "cli/command.h"
#include "cli/importoptions.h"
#include "cli/kinshipoptions.h"
#include "cli/profilescommand.h"
#include "cli/validateoptions.h"
#include "version/projectversion.h"

namespace cli {
namespace {

// Every command of the program, in the order of the usage text.
constexpr std::array kCommands
    = {&addBatchCommand, &addKinshipCommand, &addImportCommand, &addValidateCommand, &addProfilesCommand};

constexpr const char* kOutputLost = "Не удалось вывести результаты: стандартный вывод не принимает данные";

std::string usageText(const std::vector<Command>& commands)
{
    std::string usage = "Использование:\n";
    for (const auto& command : commands)
        usage += command.synopsis;
    usage += "  paternity-index --help | --version\n"
             "  paternity-index            (без аргументов: окно программы)\n"
             "\n";
    for (const auto& command : commands)
        usage += command.description + "\n";
    usage += "Код выхода: 0 успех, 1 книга или таблица не читается, не записывается или отвергнута, 2 неверные\n"
             "аргументы, 3 (batch) дела рассчитаны, но не полностью (\"неполный расчет\").\n";
    return usage;
}

// The option's name in "--name=value".
std::string optionName(const std::string& arg)
{
    return arg.substr(0, arg.find('='));
}

// An argument CLI11 left over: an option no command knows, or a word where none is expected.
std::string leftOverMessage(const std::string& arg, const char* wordMessage)
{
    if (arg.size() > 1 && arg[0] == '-')
        return "Неизвестный параметр «" + optionName(arg) + "»";
    return wordMessage + ("«" + arg + "»");
}

// A report that never reached its reader (a full disk, a closed descriptor) must not end with
// the status of success: scripts and automated checks rely on it.
int checkedOutput(int status, std::ostream& out, std::ostream& err)
{
    out.flush();
    if ((status == kExitOk || status == kExitIncomplete) && !out) {
        err << kOutputLost << '\n';
        return kExitFailure;
    }
    return status;
}

} // namespace

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    CLI::App program("", "paternity-index");
    program.set_help_flag("-h,--help");
    bool version = false;
    program.add_flag("--version", version);
    // Unknown arguments are collected rather than thrown, to be named in a Russian message; both
    // settings pass on to the commands added below. An option given twice takes its last value.
    program.allow_extras();
    program.require_subcommand(0, 1);
    program.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    std::vector<Command> commands;
    for (const auto add : kCommands)
        commands.push_back(add(program));

    const std::string usage = usageText(commands);
    const auto usageError = [&](const std::string& message) {
        err << "paternity-index: " << message << "\n\n" << usage;
        return kExitUsage;
    };
    // "--" ends the options: the arguments after it are words of the command, whatever they look
    // like. CLI11 keeps that only at the top level, so they are set aside here and given to the
    // command after the parse.
    std::vector<char*> head(argv, argv + argc);
    std::vector<std::string> tail;
    if (const auto mark = std::find(head.begin() + (argc > 0 ? 1 : 0), head.end(), std::string_view("--"));
        mark != head.end()) {
        tail.assign(mark + 1, head.end());
        head.erase(mark, head.end());
    }
    try {
        program.parse(static_cast<int>(head.size()), head.data());
    } catch (const CLI::CallForHelp&) {
        out << usage;
        return checkedOutput(kExitOk, out, err);
    } catch (const CLI::ArgumentMismatch&) {
        // Options take one value, so CLI11 runs short of one only at the end of the arguments.
        return usageError("Параметру " + optionName(head.back()) + " нужно значение");
    } catch (const CLI::ParseError&) {
        return usageError("Неверные аргументы");
    }

    const Command* chosen = nullptr;
    for (const auto& command : commands) {
        if (command.app->parsed())
            chosen = &command;
    }
    if (version) {
        out << "paternity-index " << ::version::kVersion << '\n';
        return checkedOutput(kExitOk, out, err);
    }
    if (const auto extra = program.remaining(); !extra.empty())
        return usageError(leftOverMessage(extra.front(), "Неизвестная команда "));
    if (!chosen)
        return usageError(tail.empty() ? "Не указана команда" : "Неизвестная команда «" + tail.front() + "»");
    if (const auto extra = chosen->app->remaining(); !extra.empty())
        return usageError(leftOverMessage(extra.front(), "Лишний аргумент "));
    if (!tail.empty() && !chosen->words)
        return usageError("Лишний аргумент «" + tail.front() + "»");
    if (!tail.empty())
        chosen->words->insert(chosen->words->end(), tail.begin(), tail.end());
    if (const std::string problem = chosen->check(); !problem.empty())
        return usageError(problem);
    try {
        return checkedOutput(chosen->run(out, err), out, err);
    } catch (const std::exception& e) {
        // Nothing below is expected to throw; a failure still ends with a message, not an abort.
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
