// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and broken files: each must end in a WorkbookError that names the file and the
// reason, never in a crash, a hang, unbounded memory or another exception type. Large files are
// generated here, not committed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "automation/readmessages.h"
#include "automation/workbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

// Opens the file and reads every sheet; returns the error message, or "" when all was read.
std::string readEverything(const fs::path& path)
{
    try {
        const auto book = makeFileWorkbookReader()->open(path);
        for (int i = 1; i <= book->sheetCount(); ++i)
            (void)book->usedRange(i);
        return "";
    } catch (const WorkbookError& e) {
        return e.what();
    }
}

void expectError(const fs::path& path, const std::string& reasonPart)
{
    const std::string message = readEverything(path);
    ASSERT_FALSE(message.empty()) << path.filename() << " was read without an error";
    EXPECT_NE(message.find(fileLabel(path)), std::string::npos) << message;
    EXPECT_NE(message.find(reasonPart), std::string::npos) << message;
    EXPECT_EQ(validUtf8(message), message);
}

TEST(HostileFiles, TruncatedFixturesFailCleanly)
{
    TempDir dir;
    for (const char* name :
         {"xlwt.xls", "libreoffice.xls", "openpyxl.xlsx", "xlsxwriter-constmem.xlsx", "libreoffice.ods"}) {
        const std::string bytes = readBytes(fixture(name));
        for (std::size_t length : {std::size_t{1}, std::size_t{8}, std::size_t{100}, std::size_t{600}, bytes.size() / 3,
                                   bytes.size() / 2, bytes.size() - 600, bytes.size() - 1}) {
            const fs::path path = dir / ("cut-" + std::to_string(length) + "-" + name);
            writeBytes(path, bytes.substr(0, length));
            // A cut through padding may still leave a readable workbook; anything else is an error.
            (void)readEverything(path);
        }
        const fs::path half = dir / (std::string("half-") + name);
        writeBytes(half, bytes.substr(0, bytes.size() / 2));
        EXPECT_FALSE(readEverything(half).empty()) << name;
    }
}

TEST(HostileFiles, NotAWorkbook)
{
    TempDir dir;
    writeBytes(dir / "empty.xls", "");
    expectError(dir / "empty.xls", "пуст");
    writeBytes(dir / "text.xlsx", "Allele;Frequency\n10;0,1\n");
    expectError(dir / "text.xlsx", "неизвестный формат");
    writeZip(dir / "photos.xlsx", {{"photo.jpg", "\xFF\xD8\xFF"}});
    expectError(dir / "photos.xlsx", "архив не является книгой");
    writeZip(dir / "letter.ods", {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}});
    expectError(dir / "letter.ods", "не является электронной таблицей");
    writeZip(dir / "nosheets.xlsx", {{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.xml", "<workbook>"}});
    expectError(dir / "nosheets.xlsx", "ошибка XML");
}

TEST(HostileFiles, FoldersMissingAndUnreadableFiles)
{
    TempDir dir;
    fs::create_directory(dir / "folder.xls");
    expectError(dir / "folder.xls", "папка");
    expectError(dir / "vanished.xlsx", "не найден");
    writeBytes(dir / "locked.xls", readBytes(fixture("xlwt.xls")));
    fs::permissions(dir / "locked.xls", fs::perms::none);
    if (access((dir / "locked.xls").c_str(), R_OK) == 0)
        GTEST_SKIP() << "running with privileges that read any file";
    expectError(dir / "locked.xls", "нет прав");
}

TEST(HostileFiles, NonUtf8FileNamesAreReadAndShownValidly)
{
    TempDir dir;
    const fs::path odd = dir / "\xC4\xE0\xED\xED\xFB\xE5.xlsx"; // "Данные" in Windows-1251
    fs::copy_file(fixture("openpyxl.xlsx"), odd);
    EXPECT_EQ(readEverything(odd), "");
    const std::string message = readEverything(dir / "\xFF\xFE missing.xls");
    EXPECT_EQ(validUtf8(message), message);
    EXPECT_NE(message.find("\xEF\xBF\xBD"), std::string::npos) << message;
}

TEST(HostileFiles, ZipBombsStopAtTheSizeLimit)
{
    // 110 MB of blanks inside a well-formed start of a part, packed into a few hundred KB.
    TempDir dir;
    const std::string blanks(1 << 20, ' ');
    ZipEntries xlsx = xlsxEntries({{"S", ""}});
    std::erase_if(xlsx, [](const auto& e) { return e.first == "xl/worksheets/sheet1.xml"; });
    writeZip(dir / "bomb.xlsx", xlsx,
             {"xl/worksheets/sheet1.xml", std::string("<worksheet xmlns=\"") + kMainNs + "\">", blanks, 110});
    expectError(dir / "bomb.xlsx", "слишком велики");

    writeZip(dir / "bomb.ods", {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}},
             {"content.xml", "<office:document-content>", blanks, 110});
    expectError(dir / "bomb.ods", "слишком велики");
}

TEST(HostileFiles, XmlEntityBombsAreRefused)
{
    const std::string doctype
        = "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
          "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>";
    TempDir dir;
    ZipEntries xlsx = xlsxEntries({{"S", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&d;</t></is></c></row>"}});
    for (auto& [name, content] : xlsx) {
        if (name == "xl/worksheets/sheet1.xml")
            content = doctype + content;
    }
    writeZip(dir / "entities.xlsx", xlsx);
    expectError(dir / "entities.xlsx", "DOCTYPE");

    writeZip(dir / "entities.ods", {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                    {"content.xml", doctype + "<office:document-content/>"}});
    expectError(dir / "entities.ods", "DOCTYPE");
}

TEST(HostileFiles, HugeDeclaredOrUsedRanges)
{
    TempDir dir;
    // The declared dimension is ignored; two real cells a sheet apart make the used range.
    writeZip(
        dir / "declared.xlsx",
        xlsxEntries({{"S", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"2\"><c r=\"B2\"><v>2</v></c></row>"}}));
    EXPECT_EQ(readEverything(dir / "declared.xlsx"), "");
    writeZip(
        dir / "tall.xlsx",
        xlsxEntries(
            {{"S",
              "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"1048576\"><c r=\"A1048576\"><v>2</v></c></row>"}}));
    expectError(dir / "tall.xlsx", "A1:A1048576");
    writeZip(dir / "wide.xlsx",
             xlsxEntries({{"S", "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1\"><v>2</v></c></row>"}}));
    expectError(dir / "wide.xlsx", "слишком велика");
}

TEST(HostileFiles, ThousandsOfSheets)
{
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 1; i <= 5000; ++i)
        many.emplace_back("S" + std::to_string(i), "");
    writeZip(dir / "many.xlsx", xlsxEntries(many));
    expectError(dir / "many.xlsx", "слишком много листов");
    many.resize(1000);
    writeZip(dir / "thousand.xlsx", xlsxEntries(many));
    const auto book = makeFileWorkbookReader()->open(dir / "thousand.xlsx");
    EXPECT_EQ(book->sheetCount(), 1000);
    EXPECT_EQ(book->sheetIndex("S1000"), 1000);
}

TEST(HostileFiles, OversizedCellText)
{
    TempDir dir;
    writeZip(dir / "bigcell.xlsx", xlsxEntries({{"S", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"}},
                                               "<si><t>" + std::string(2 << 20, 'x') + "</t></si>"));
    expectError(dir / "bigcell.xlsx", "слишком длинный текст");
}

// Patches a copy of the xlwt fixture; its records and sectors lie where xlwt puts them.
class BrokenXls : public ::testing::Test {
protected:
    std::string bytes = readBytes(fixture("xlwt.xls"));
    TempDir dir;

    static std::uint32_t get32(const std::string& b, std::size_t at)
    {
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k)
            v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(k)]);
        return v;
    }
    static void put32(std::string& b, std::size_t at, std::uint32_t v)
    {
        for (int k = 0; k < 4; ++k)
            b[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k) & 0xFF);
    }
};

TEST_F(BrokenXls, CyclicSectorChainIsAnError)
{
    const std::uint32_t fatSector = get32(bytes, 0x4C);
    const std::uint32_t directory = get32(bytes, 0x30);
    put32(bytes, (fatSector + 1) * 512 + directory * 4, directory); // the directory chain points at itself
    writeBytes(dir / "cycle.xls", bytes);
    expectError(dir / "cycle.xls", "зациклена");
}

TEST_F(BrokenXls, SectorBeyondTheFileIsAnError)
{
    put32(bytes, 0x30, 0x00FFFFF0); // first directory sector far beyond the end
    writeBytes(dir / "beyond.xls", bytes);
    expectError(dir / "beyond.xls", "поврежден");
}

// Found by mutating the fixture: a directory name length beyond the entry's name field.
TEST_F(BrokenXls, OversizedDirectoryNameLengthIsAnError)
{
    const std::uint32_t directory = get32(bytes, 0x30);
    bytes[(directory + 1) * 512 + 0x41] = 0x6E; // root entry name length 0x6E16
    writeBytes(dir / "name.xls", bytes);
    expectError(dir / "name.xls", "неверная длина имени");
}

TEST_F(BrokenXls, DimensionsBeyondTheFormatAreRefused)
{
    const std::string dimensions("\x00\x02\x0E\x00", 4);
    const std::size_t at = bytes.find(dimensions);
    ASSERT_NE(at, std::string::npos);
    put32(bytes, at + 4 + 4, 65537); // last row + 1
    bytes[at + 4 + 10] = 0x00;
    bytes[at + 4 + 11] = 0x01; // last column + 1 = 256
    writeBytes(dir / "huge.xls", bytes);
    expectError(dir / "huge.xls", "заявленный размер листа слишком велик");
}

TEST_F(BrokenXls, AnOleFileWithoutAWorkbookStream)
{
    // Rename the "Workbook" directory entry: the container stays valid, the book is gone.
    const std::string name("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    const std::size_t at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    writeBytes(dir / "document.xls", bytes);
    expectError(dir / "document.xls", "не содержит книги Excel");
}

} // namespace
