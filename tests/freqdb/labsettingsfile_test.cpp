// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file of the data folder: what it accepts, and what it refuses with its line.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "freqdb/labsettingsfile.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "tempdir.h"

namespace freqdb {
namespace {

struct Accepted {
    const char* name;
    std::string content;
    bool mutation;
    const char* rateText;
    long double rate;
    const char* minimumText; // nullptr: no minimum
    long double minimum;
};

class AcceptedTest : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedTest, Settings)
{
    const Accepted& c = GetParam();
    const SettingsRead read = parseLabSettings(c.content, "data/settings.ini");
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.settings.mutationOn(), c.mutation);
    EXPECT_EQ(read.settings.mutationRateText, c.rateText);
    EXPECT_EQ(read.settings.mutationRate, c.rate);
    if (c.minimumText) {
        ASSERT_TRUE(read.settings.minFrequency);
        EXPECT_EQ(*read.settings.minFrequency, c.minimum);
        EXPECT_EQ(read.settings.minFrequencyText, c.minimumText);
    } else {
        EXPECT_FALSE(read.settings.minFrequency);
    }
}

INSTANTIATE_TEST_SUITE_P(
    File, AcceptedTest,
    ::testing::Values(
        Accepted{"Empty", "", false, "0,002", 0.002L, nullptr, 0},
        Accepted{"CommentsOnly", "; настройки\n# ничего не включено\n\n", false, "0,002", 0.002L, nullptr, 0},
        Accepted{"LongComment", "; " + std::string(300, 'x') + "\nmutation_model = proportional\n", true, "0,002",
                 0.002L, nullptr, 0},
        // As Windows Notepad saves the file: a byte-order mark before a long first comment.
        Accepted{"BomBeforeALongComment",
                 "\xEF\xBB\xBF; " + std::string(300, 'x') + "\nmutation_model = proportional\n", true, "0,002", 0.002L,
                 nullptr, 0},
        Accepted{"LongCommentAtTheEndOfALine", "mutation_model = proportional\t; " + std::string(4000, 'x') + "\n",
                 true, "0,002", 0.002L, nullptr, 0},
        Accepted{"AllOff", "mutation_model = off\nmin_allele_frequency = off\n", false, "0,002", 0.002L, nullptr, 0},
        Accepted{"ModelWithDefaultRate", "mutation_model = proportional\n", true, "0,002", 0.002L, nullptr, 0},
        Accepted{"RateWithPointAndComment", "mutation_model = Proportional ; модель\nmutation_rate = 0.0015 ; μ\n",
                 true, "0.0015", 0.0015L, nullptr, 0},
        Accepted{"IndentedKeysWindowsLinesAndBom",
                 "\xEF\xBB\xBF  mutation_model = proportional\r\n\tmutation_rate=0,003\r\n  min_allele_frequency = "
                 "0,0069\r\n",
                 true, "0,003", 0.003L, "0,0069", 0.0069L},
        // A lone CR ends a line as LF and CRLF do: the keys after it are not part of the comment.
        Accepted{"LoneCrEndsALine", "; настройки лаборатории\rmutation_model = proportional\rmutation_rate = 0,003\n",
                 true, "0,003", 0.003L, nullptr, 0},
        Accepted{"RateKeptWhileModelOff", "mutation_rate = 0,001\nmin_allele_frequency = 5e-3\n", false, "0,001",
                 0.001L, "5e-3", 0.005L}),
    [](const ::testing::TestParamInfo<Accepted>& info) { return info.param.name; });

struct Refused {
    const char* name;
    std::string content;
    int line;
    const char* reasonPart;
};

class RefusedTest : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedTest, NamesTheLineAndTheReason)
{
    const Refused& c = GetParam();
    const SettingsRead read = parseLabSettings(c.content, "/lab/data/settings.ini");
    ASSERT_FALSE(read.ok);
    const std::string expectedStart
        = std::string(kReadFailed) + "\nФайл настроек «settings.ini», строка " + std::to_string(c.line) + ": ";
    EXPECT_EQ(read.message.substr(0, expectedStart.size()), expectedStart) << read.message;
    EXPECT_NE(read.message.find(c.reasonPart), std::string::npos) << read.message;
}

INSTANTIATE_TEST_SUITE_P(
    File, RefusedTest,
    ::testing::Values(Refused{"UnknownKey", "; ok\nmutation_model = off\nmutaton_rate = 0,002\n", 3, "mutaton_rate"},
                      Refused{"UnknownModel", "mutation_model = stepwise\n", 1, "stepwise"},
                      Refused{"RateOutOfRange", "mutation_model = proportional\nmutation_rate = 2\n", 2, "«2»"},
                      Refused{"RateNotANumber", "mutation_rate = 0,00,2\n", 1, "0,00,2"},
                      Refused{"RateInTheModelKey", "mutation_model = proportional:0,002\n", 1, "mutation_rate"},
                      Refused{"MinimumZero", "\n\nmin_allele_frequency = 0\n", 3, "«0»"},
                      Refused{"KeyTwice", "mutation_model = off\nmutation_model = proportional\n", 2, "второй раз"},
                      Refused{"NoEquals", "mutation_model off\n", 1, "параметр = значение"},
                      Refused{"Section", "[расчет]\nmutation_model = off\n", 2, "разделы"},
                      Refused{"LongLine", "\nmutation_model = off" + std::string(300, ' ') + "x\n", 2, "длиннее"},
                      Refused{"FirstOfTwoErrors", "min_allele_frequency = abc\nfoo\n", 1, "abc"},
                      Refused{"ThetaNotAProportion", "theta = 3%\n", 1, "«3%»"},
                      Refused{"ThetaBesideMutation", "theta = 0,01\n; модель\nmutation_model = proportional\n", 3,
                              "θ и модель мутаций вместе не применяются"},
                      Refused{"MutationBesideTheta", "mutation_model = proportional\ntheta = 0.03\n", 2,
                              "вместе не применяются"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return info.param.name; });

// Through the loader: the settings travel in the new table; a bad file fails the whole load.
TEST(SettingsWithTheLoad, GoodFileIsInTheTableBadFileFailsTheLoad)
{
    testsupport::TempDir dir("pi-settings");
    std::filesystem::create_directories(dir / "data");
    std::filesystem::copy_file(std::filesystem::path(PI_SOURCE_DIR) / "data" / "TPOX.xls", dir / "data" / "TPOX.xls");
    const auto reader = automation::makeFileWorkbookReader();
    const text::NumberFormat format(",");

    LoadResult loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_FALSE(loaded.table.settings().any());

    std::ofstream(dir / "data" / "settings.ini") << "mutation_model = proportional\nmin_allele_frequency = 0,01\n";
    loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_TRUE(loaded.table.settings().mutationOn());
    EXPECT_EQ(loaded.table.settings().minFrequency, 0.01L);

    std::ofstream(dir / "data" / "settings.ini") << "mutation_model = off\ntheta = 0,03\n";
    loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded) << loaded.message;
    EXPECT_EQ(loaded.table.settings().theta, 0.03L);
    EXPECT_EQ(loaded.table.settings().thetaText, "0,03");

    std::ofstream(dir / "data" / "settings.ini") << "mutation_model = proportional\nmin_allele_frequency = 1,5\n";
    loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    EXPECT_EQ(loaded.status, LoadStatus::Failed);
    EXPECT_EQ(loaded.table.LocusCount(), 0);
    EXPECT_NE(loaded.message.find("«settings.ini», строка 2"), std::string::npos) << loaded.message;

    std::ofstream(dir / "data" / "settings.ini") << std::string(70000, ';');
    loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    EXPECT_EQ(loaded.status, LoadStatus::Failed);
    EXPECT_NE(loaded.message.find("больше 64 КБ"), std::string::npos) << loaded.message;

    std::filesystem::remove(dir / "data" / "settings.ini");
    std::filesystem::create_directory(dir / "data" / "settings.ini");
    loaded = LoadLocusTable(dir.path(), Population::UsCaucasians, *reader, format);
    EXPECT_EQ(loaded.status, LoadStatus::Failed);
    EXPECT_NE(loaded.message.find("не обычный файл"), std::string::npos) << loaded.message;
}

} // namespace
} // namespace freqdb
