// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command of the program run in process, as the executable runs it, once per benchmark round;
// a round that ends with another status than `expectedStatus` stops the benchmark with its message.
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "cli/commandline.h"

inline void runCommandRounds(benchmark::State& state, std::vector<std::string> args, int expectedStatus = 0)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    for (auto _ : state) {
        std::ostringstream out, err;
        if (cli::runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err) != expectedStatus)
            state.SkipWithError(err.str().c_str());
        benchmark::DoNotOptimize(out);
    }
}
