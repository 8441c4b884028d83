// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lab's calculation settings, kept beside its frequency tables (data/settings.ini) and
// loaded with them. Both are off unless the lab turns them on; with both off every result is
// the one the plain formulas give.
//
// - The mutation model: a row that would read "Отцовство исключается" gets the likelihood ratio
//   of the case with mutation instead (the proportional model, one rate for both parents).
// - The minimum allele frequency: a frequency below it is raised to it wherever an index uses
//   it, and an allele that the locus's table lacks is given it.
// - θ (F_ST), the subpopulation correction: each index is the likelihood ratio under the
//   Balding-Nichols sampling formula, conditioned on the alleles of the typed persons. It is not
//   applied together with the mutation model (settingsConflict).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace freqdb {

enum class MutationModel { Off, Proportional };

inline constexpr long double kDefaultMutationRate = 0.002L;

struct LabSettings {
    MutationModel mutationModel = MutationModel::Off;
    long double mutationRate = kDefaultMutationRate; // per transmission, used when the model is on
    std::string mutationRateText = "0,002"; // as the lab wrote it: the formula cell shows it
    std::optional<long double> minFrequency; // nullopt: no minimum
    std::string minFrequencyText; // as the lab wrote it
    std::optional<long double> theta; // nullopt: no subpopulation correction
    std::string thetaText; // as the lab wrote it: the formula cell shows it
    std::string source; // where the settings came from: the file, the command line, or empty

    bool mutationOn() const { return mutationModel == MutationModel::Proportional; }
    // True when a setting changes any result; off settings leave every output as it was.
    bool any() const { return mutationOn() || minFrequency.has_value() || theta.has_value(); }
};

// The settings as label/value lines for the operator (the window, the batch output, the case
// report), e.g. {"Модель мутаций", "пропорциональная, μ=0,002"}.
std::vector<std::pair<std::string, std::string>> settingsLines(const LabSettings& settings);

// The note under a results table computed with θ: what p in its formulas stands for. The
// frequency columns show the table's frequencies; the LR was computed from the conditional
// probabilities, which the note names so that a reader does not recompute 1/2p from them.
inline constexpr std::string_view kThetaNote
    = "При θ частоты в формуле — условные вероятности (Balding–Nichols) с учетом аллелей обследованных; "
      "LR рассчитан по ним. В столбцах «Частота аллеля» — частоты таблицы.";

// One line: "Настройки лаборатории: модель мутаций пропорциональная, μ=0,002; минимальная
// частота аллели 0,0069", with "; θ=0,01" after it when θ is on (and only then, so that the line
// of a lab without θ stays as it was).
std::string settingsSummary(const LabSettings& settings);

// A rate or a proportion as the lab writes it, with a comma or a point: a number strictly
// between 0 and 1. Blanks around it are skipped. nullopt for anything else.
std::optional<long double> parseProportion(std::string_view text);

// Applies a mutation setting written "off", "proportional" or "proportional:RATE" (the key's
// value in the settings file, the command line's --mutation). Without a rate the one already
// in `settings` stays. Returns the reason in Russian when the text is not one of these.
std::optional<std::string> applyMutationSetting(LabSettings& settings, std::string_view text);

// Applies a minimum frequency written "off" or as a proportion. Returns the reason when not.
std::optional<std::string> applyMinFrequencySetting(LabSettings& settings, std::string_view text);

// Applies θ written "off" or as a proportion (0,01 to 0,03 in practice). Returns the reason when not.
std::optional<std::string> applyThetaSetting(LabSettings& settings, std::string_view text);

// The reason the settings cannot be used together, or nullopt: θ and the mutation model are not
// combined in one likelihood here, so a lab must choose one.
std::optional<std::string> settingsConflict(const LabSettings& settings);

} // namespace freqdb
