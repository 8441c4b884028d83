// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the settings file keeps the lab's text: each value is replaced where its key stands,
// with a comment after it, indentation and CRLF endings kept; a missing key is added at the end.
#include <gtest/gtest.h>

#include "freqdb/labsettingswriter.h"

namespace freqdb {
namespace {

SettingsChoice proportional(std::string rate, std::string minimum)
{
    return {MutationModel::Proportional, std::move(rate), std::move(minimum)};
}

TEST(LabSettingsWriter, RewritesValuesInPlaceAndKeepsTheRest)
{
    struct Case {
        const char* name;
        std::string before;
        SettingsChoice choice;
        std::string after;
    } cases[] = {
        {"trailing comment and indentation",
         "; лаборатория\n  mutation_model = off ; до 2025\nmutation_rate=0,002\nmin_allele_frequency = off\n",
         proportional("0,001", "0,0069"),
         "; лаборатория\n  mutation_model = proportional ; до 2025\nmutation_rate= 0,001\nmin_allele_frequency = "
         "0,0069\n"},
        {"CRLF and a comment with a semicolon inside a value line",
         "mutation_model = off\r\nmin_allele_frequency = off\t; 5/2N\r\n", proportional("0,002", "off"),
         "mutation_model = proportional\r\nmin_allele_frequency = off\t; 5/2N\r\nmutation_rate = 0,002\n"},
        {"empty file, model off: no rate line",
         "",
         {MutationModel::Off, "0,002", "off"},
         "mutation_model = off\nmin_allele_frequency = off\n"},
        {"commented-out key is not a key", "; mutation_model = off\nmutation_model = off", proportional("0,002", "off"),
         "; mutation_model = off\nmutation_model = proportional\nmutation_rate = 0,002\nmin_allele_frequency = off\n"},
        {"θ replaced where it stands, added only when on",
         "theta = 0,01\nmutation_model = off\n",
         {MutationModel::Off, "0,002", "off", "off"},
         "theta = off\nmutation_model = off\nmin_allele_frequency = off\n"},
        {"θ on is added at the end",
         "mutation_model = off\n",
         {MutationModel::Off, "0,002", "off", "0,03"},
         "mutation_model = off\nmin_allele_frequency = off\ntheta = 0,03\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rewriteSettingsText(c.before, c.choice), c.after) << c.name;
        EXPECT_TRUE(parseLabSettings(c.after, "settings.ini").ok) << c.name;
    }
}

// θ beside the mutation model is refused by the reader's check before anything is written.
TEST(LabSettingsWriter, ThetaBesideTheMutationModelIsRefused)
{
    const SettingsChoice both{MutationModel::Proportional, "0,002", "off", "0,01"};
    const SettingsRead read = parseLabSettings(rewriteSettingsText("", both), "settings.ini");
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.message.find("θ"), std::string::npos) << read.message;
}

// Every file the reader accepts with θ on is rewritten so that the reader then gives the choice:
// the writer finds each key line wherever the reader does (after a byte-order mark, with ":",
// after a lone CR), and a file saved by the window says what the operator chose.
TEST(LabSettingsWriter, EveryKeyLineTheReaderTakesIsRewritten)
{
    const std::string accepted[] = {
        "theta = 0,01\n",
        "\xEF\xBB\xBFtheta = 0,01\n",
        "\xEF\xBB\xBF  theta: 0,01\r\n",
        "theta: 0,01\nmutation_model = off\n",
        "theta:0,01 ; θ лаборатории\n",
        "; настройки лаборатории\rtheta = 0,01\rmin_allele_frequency: off",
    };
    const SettingsChoice choices[] = {
        {MutationModel::Off, "0,002", "off", "off"},
        {MutationModel::Off, "0,002", "0,0069", "0,02"},
        {MutationModel::Proportional, "0,001", "off", "off"},
    };
    for (const std::string& before : accepted) {
        const SettingsRead original = parseLabSettings(before, "settings.ini");
        ASSERT_TRUE(original.ok && original.settings.theta) << before << original.message;
        for (const SettingsChoice& choice : choices) {
            const std::string after = rewriteSettingsText(before, choice);
            const SettingsRead read = parseLabSettings(after, "settings.ini");
            ASSERT_TRUE(read.ok) << after << read.message;
            EXPECT_EQ(read.settings.theta.has_value(), choice.theta != "off") << after;
            EXPECT_EQ(read.settings.mutationOn(), choice.mutationModel == MutationModel::Proportional) << after;
            EXPECT_EQ(read.settings.minFrequency.has_value(), choice.minFrequency != "off") << after;
            if (read.settings.theta) {
                EXPECT_EQ(read.settings.thetaText, choice.theta) << after;
            }
        }
    }
}

} // namespace
} // namespace freqdb
