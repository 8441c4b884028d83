// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One command of paternity-index (`batch`, ...). A command adds itself as a subcommand of the
// program's CLI::App, keeps the values the parse fills in, and is asked, once the arguments have
// been read, whether they hold and then to run. Adding a command is one add function like
// addBatchCommand and one line in the list in commandline.cpp.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

struct Command {
    CLI::App* app = nullptr; // the subcommand; app->parsed() tells whether it was given
    std::string synopsis; // its lines under "Использование:"
    std::string description; // its paragraph of the usage text: what it does, its options
    // Where its words (positional arguments) go, those after "--" among them; null: it takes none.
    std::vector<std::string>* words = nullptr;
    // After the parse: the usage error in Russian, or empty when the arguments hold.
    std::function<std::string()> check;
    // Runs the command; returns the exit status. Results go to out, messages to err.
    std::function<int(std::ostream& out, std::ostream& err)> run;
};

} // namespace cli
