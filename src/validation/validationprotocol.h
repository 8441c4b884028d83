// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a validation protocol shows, whatever its form (text, JSON, PDF): who and what was
// validated (the identity lines), the run's result, the state of the tables and the warnings.
#include <string>
#include <vector>

#include "validation/settingscheck.h"
#include "validation/sourcecheck.h"
#include "validation/tablecheck.h"
#include "validation/validationrun.h"

namespace validation {

struct IdentityLine {
    std::string key; // the JSON member: "version", "dataFolder", ...
    std::string label; // in Russian, as the text and the PDF show it
    std::string value;
};

struct ValidationProtocol {
    std::vector<IdentityLine> identity;
    std::string madeAt; // "08.12.2026 09:30"
    ValidationResult result;
    TableCheck tables;
    std::vector<std::string> warnings; // the tables' and the populations', in Russian
    SourceCheck source; // the tables read a second way
    SettingsCheck settings; // the settings read a second way

    // Every case agrees, the tables agree with their source (or have none) and the settings with
    // their plain reading.
    bool passed() const { return result.allAgree() && source.agrees() && settings.agrees(); }
};

inline constexpr const char* kProtocolTitle = "Протокол валидации расчёта индекса отцовства";

// The verdict in one sentence: every case agrees, or how many do not.
std::string verdictText(const ValidationResult& result);

// The whole protocol's verdict: the cases' and, when they fail, the tables' and the settings'.
std::string verdictText(const ValidationProtocol& protocol);

// A value as the protocol prints it: ten significant digits with a decimal comma ("0,3125").
std::string numberText(long double value);

// The largest relative difference in the form the protocol prints it ("3,1E-19", "0").
std::string differenceText(long double difference);

// The case's independent value as the protocol prints it: the number, or a word for a verdict.
std::string independentText(const CaseResult& c);

} // namespace validation
