#include "tools/package/scenario_reader.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

std::string replace_all(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::wstring text_of(const wchar_t* text)
{
    return text ? text : L"<null>";
}

// A folder with the documents and files that the scenarios name ($DIR).
class ScenarioReader : public ::testing::Test {
protected:
    ScenarioReader() : folder(L"scenario")
    {
        folder.WriteFile(L"eula_en.txt", "<text>Licence</text>");
        folder.WriteFile(L"eula_de.txt", "<text>Lizenz</text>");
        folder.WriteFile(L"eula.idx", "ENG = \"./eula_en.txt\"\nDEU = \"./eula_de.txt\"\n");
        folder.WriteFile(L"english.idx", "ENG = \"./eula_en.txt\"\n");
        folder.WriteFile(L"broken.idx", "XYZ = \"./eula_en.txt\"\n");
        folder.WriteFile(L"a.txt", "file a");
        folder.WriteFile(L"empty.txt", "");
        CreateDirectoryW(folder.Native(L"tree").c_str(), nullptr);
        CreateDirectoryW(folder.Native(L"tree/sub").c_str(), nullptr);
        folder.WriteFile(L"tree/one", "1");
        folder.WriteFile(L"tree/two", "22");
        folder.WriteFile(L"tree/sub/three", "333");
        for (wchar_t unit : folder.Path())
            dir += char(unit);
    }

    // The scenario with $DIR replaced, in bytes as written to the file.
    int32_t Read(const std::string& bytes, int32_t& line)
    {
        folder.WriteFile(L"s.scn", replace_all(bytes, "$DIR", dir));
        line = 0;
        return read_scenario(folder.Path(L"s.scn").c_str(), package, line, &encoding);
    }

    TempFolder folder;
    std::string dir;
    cPackage package;
    cScenarioEncoding encoding = {-1, -1};
};

// The text as UTF-16 without a byte-order mark, as some editors save it.
std::string unmarked_utf16(const std::string& text, bool big_endian)
{
    std::string bytes;
    for (char c : text)
        bytes += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

const char general[] = "[General]\nlangs = ENG DEU\n";
const char complete[] = "[Software]\ncodename = \"demo\"\neula = \"$DIR/eula.idx\"\n";

struct Case {
    std::string text;
    int32_t code;
    int32_t line;
};

TEST_F(ScenarioReader, EachFaultGivesItsCodeAndLine)
{
    const std::string g = general;
    const std::string a = "\"$DIR/a.txt\" = $pgm ";
    // One byte more than a package holds in a text.
    const std::string too_long = std::string(65534, 'x') + "\xC3\xA9";
    const Case cases[] = {
        {"", SCENARIO_NO_LANGUAGE, -1},
        {"x = 1", SCENARIO_NO_SECTION, 0},
        {"[General] # note\nlangs=ENG\n", SCENARIO_NO_CODENAME, -1},
        {"\n[General] x", SCENARIO_AFTER_HEADER, 1},
        {"[ General]", SCENARIO_UNKNOWN_SECTION, 0},
        {"[general]", SCENARIO_UNKNOWN_SECTION, 0},
        {"[General]\nlanguages = ENG", SCENARIO_UNKNOWN_KEY, 1},
        {"[General]\nlangs ENG", SCENARIO_SYNTAX, 1},
        {"[General]\nlangs =  ", SCENARIO_NO_LANGUAGE, 1},
        {"[General]\nlangs = ENG, DEU", SCENARIO_BAD_LANGUAGE, 1},
        {"[General]\nlangs = # none", SCENARIO_BAD_LANGUAGE, 1},
        {g + "[Software]\nnames = \"x\"", SCENARIO_SYNTAX, 3},
        {g + "[Software]\nfoo = \"x\"", SCENARIO_UNKNOWN_KEY, 3},
        {g + "[Software]\nname = x", SCENARIO_BAD_TEXT, 3},
        {g + "[Software]\nname = \"x\" y", SCENARIO_BAD_TEXT, 3},
        {g + "[Software]\nname = \"a\\\\b", SCENARIO_BAD_TEXT, 3},
        {g + "[Software]\nversion = \"5\"", SCENARIO_BAD_VERSION, 3},
        {g + "[Software]\nversion = \"1.70000\"", SCENARIO_BAD_VERSION, 3},
        {g + "[Software]\nversion = \"1.-1\"", SCENARIO_BAD_VERSION, 3},
        {g + "[Software]\nreadme = \"$DIR/eula.idx\", maybe", SCENARIO_BAD_TEXT, 3},
        {g + "[Software]\nwelcome = \"$DIR/missing.idx\"", SCENARIO_BAD_WELCOME, 3},
        {g + "[Software]\nreadme = \"$DIR/broken.idx\", yes", SCENARIO_BAD_README, 3},
        {g + "[Software]\neula = \"$DIR/broken.idx\"", SCENARIO_BAD_LICENCE, 3},
        {g + "[Software]\nicon = $pgm", SCENARIO_BAD_ITEM, 3},
        {g + "[Software]\nsupport_URL = \"" + too_long + "\"", SCENARIO_BAD_TEXT, 3},
        {g + "[Software]\nicon = $pgm \"a.ico\" x", SCENARIO_SYNTAX, 3},
        {g + "[Strings]\nRUS.x = \"1\"", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Strings]\nENG.a.b = \"1\"", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Strings]\nEN.x = \"1\"", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Strings]\n.x = \"1\"", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Strings]\nENG. = \"1\"", SCENARIO_BAD_KEY, 3},
        {g + "[Strings]\nx \"1\"", SCENARIO_BAD_TEXT, 3},
        {g + "[Strings]\npgm = \"C:/Product\"", SCENARIO_BAD_KEY, 3},
        {g + "[Strings]\nDEU.pgm = \"C:/Produkt\"", SCENARIO_BAD_KEY, 3},
        {g + "[Install]\n" + a + "\"a\", 75", SCENARIO_BAD_ACCESS, 3},
        {g + "[Install]\n" + a + "\"a\", 755 ENG", SCENARIO_BAD_ACCESS, 3},
        {g + "[Install]\n" + a + "\"a\", *", SCENARIO_BAD_ACCESS, 3},
        {g + "[Install]\n" + a + "\"a\", 755, * x", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Install]\n" + a + "\"a\", 755, FRA", SCENARIO_BAD_LANGUAGE, 3},
        {g + "[Install]\n" + a + "\"a\" 755", SCENARIO_SYNTAX, 3},
        {g + "[Install]\nx86.\"$DIR/a.txt\" = $pgm \"a\"", SCENARIO_BAD_PLATFORM, 3},
        {g + "[Install]\nall = $pgm \"a\"", SCENARIO_BAD_INSTALL_LINE, 3},
        {g + "[Install]\n\"$DIR/nothing\" = $pgm \"a\"", SCENARIO_BAD_SOURCE, 3},
        {g + "[Install]\n\"$DIR/empty.txt\" = $pgm \"a\"", SCENARIO_BAD_SOURCE, 3},
        {g + "[Install]\n\"$DIR/tree\" = $pgm \"\"\n\"$DIR/empty.txt\" = $pgm \"e\"", SCENARIO_BAD_SOURCE, 4},
        {g + "[Install]\n" + a + "\"../a\"", SCENARIO_BAD_ITEM, 3},
        {g + "[Install]\n" + a + "\"a:b\"", SCENARIO_BAD_ITEM, 3},
        {g + "[Install]\n\"$DIR/tree\" = $pgm \"x//y\"", SCENARIO_BAD_ITEM, 3},
        {g + "[Install]\n\"$DIR/a.txt\" = $undefined \"a\"", SCENARIO_BAD_ITEM, 3},
        {g + "[Menu]\n$undefined = $pgm \"a\", $pgm \"i\"", SCENARIO_BAD_TEXT, 3},
        {g + "[Menu]\n\"N\" $pgm \"a\", $pgm \"i\"", SCENARIO_SYNTAX, 3},
        {g + "[Menu]\n\"N\" = $pgm", SCENARIO_BAD_ITEM, 3},
        {g + "[Menu]\n\"N\" = $pgm \"a\" $pgm \"i\"", SCENARIO_SYNTAX, 3},
        {g + "[Menu]\n\"N\" = $pgm \"a\", $pgm \"i\", 9", SCENARIO_SYNTAX, 3},
        {g + "[Menu]\n\"N\" = $pgm \"a\", $pgm \"i\", 1, \"d\", \"x\" y", SCENARIO_SYNTAX, 3},
        {g + "[Settings]\n\"n\" = x, \"1\"", SCENARIO_SYNTAX, 3},
        {g + "[Settings]\n\"n\" = w, \"-1\"", SCENARIO_BAD_NUMBER, 3},
        {g + "[Settings]\n\"n\" = t, \"\"", SCENARIO_BAD_TEXT, 3},
        {g + "[Settings]\n\"\" = t, \"a\"", SCENARIO_SYNTAX, 3},
        {g + "[Settings]\n\"" + too_long + "\" = t, \"a\"", SCENARIO_SYNTAX, 3},
        {g + "[Menu]\n\"" + too_long + "\" = $pgm \"a\", $pgm \"i\"", SCENARIO_BAD_TEXT, 3},
        {g + "[Run]\n\"N\" = $pgm \"a\", maybe", SCENARIO_SYNTAX, 3},
        {g + "[Deprecates]\n\"old\" = \"65536\"", SCENARIO_BAD_NUMBER, 3},
        {g + "[Deprecates]\n\"old\" = 5", SCENARIO_BAD_TEXT, 3},
        {g + "[Deprecates]\n\"\" = *", SCENARIO_SYNTAX, 3},
        {g + "[Deprecates]\n\"old\" = * x", SCENARIO_SYNTAX, 3},
        {g + "[Software]\ncodename = \"demo\"", SCENARIO_NO_LICENCE, -1},
        {g + "[Software]\ncodename = \"demo\"\neula = \"$DIR/english.idx\"", SCENARIO_LICENCE_LANGUAGE, -1},
        {g + complete + "welcome = \"$DIR/english.idx\"", SCENARIO_WELCOME_LANGUAGE, -1},
        {g + complete + "readme = \"$DIR/english.idx\"", SCENARIO_README_LANGUAGE, -1},
        {g + complete + "[Strings]\nENG.only = \"x\"", SCENARIO_STRING_LANGUAGE, -1},
        // Without a byte-order mark, a NUL byte is not 8-bit text.
        {unmarked_utf16(g + complete, false), SCENARIO_BAD_TEXT, 0},
        {unmarked_utf16(g + complete, true), SCENARIO_BAD_TEXT, 0},
        {"# UTF-16 below\n\n" + unmarked_utf16(g, false), SCENARIO_BAD_TEXT, 2},
    };
    // A CR LF pair ends one line, as LF and CR alone do.
    for (const char* line_end : {"\n", "\r\n", "\r"})
        for (const Case& c : cases) {
            int32_t line;
            std::string text = replace_all(c.text, "\n", line_end);
            EXPECT_EQ(Read(text, line), c.code) << text;
            EXPECT_EQ(line, c.line) << text;
        }
    int32_t line = 0;
    EXPECT_EQ(read_scenario(folder.Path(L"none.scn").c_str(), package, line, &encoding), SCENARIO_NO_SOURCE);
    EXPECT_EQ(encoding.kind, SCENARIO_TEXT_UNREAD);
}

const char full[] =
    "# a product\n"
    "[General]\n"
    "langs = DEU ENG\n"
    "[Software]\n"
    "codename = \"demo\"\n"
    "name = \"Demo \\\"quoted\\\" \\\\ name\"\n"
    "version = \"1.2\"\n"
    "eula = \"$DIR/eula.idx\"\n"
    "readme = \"$DIR/eula.idx\", yes\n"
    "icon = \"C:/Fixed\" \"i.ico\"\n"
    "[Strings]\n"
    "ENG.hello = \"Hello\"\n"
    "DEU.hello = \"Hallo\"\n"
    "[Install]\n"
    "\"$DIR/a.txt\" = $pgm \"bin/a.txt\", 750, ENG DEU\n"
    "\"$DIR/a.txt\" = $pgm \"bin/b.txt\" , , DEU\n"
    "x32. \"$DIR/tree\" = \"C:/Fixed\" \"t\"\n"
    "[Menu]\n"
    "$hello = $pgm \"bin/a.txt\", $pgm \"bin/a.txt\", 1, \"Desc\", \"-x\"\n"
    "[Settings]\n"
    "\"size\" = w, \"70000\"\n"
    "\"label\" = t, \"abc\"\n"
    "[Run]\n"
    "$hello = $pgm \"bin/a.txt\", yes, \"-r\" # ticked\n"
    "[Deprecates]\n"
    "\"old\" = *\n"
    "\"older\" = \"0x10\"\n";

std::wstring key_value(const cPackage& package, const wchar_t* key)
{
    return text_of(package.GetString(key));
}

// The model in a few lines: product, then each file (sorted), shortcut,
// setting, finish-page entry and replaced product.
std::wstring describe(const cPackage& p)
{
    std::wostringstream out;
    out << p.current_language << L" " << p.version[0] << L"." << p.version[1] << L"." << p.version[2] << L" "
        << p.readme_accept << L" " << key_value(p, L"name") << L" " << key_value(p, L"hello") << L" "
        << key_value(p, p.icon_folder_key.Text()) << L" " << package_member_count(p) << L"\n";
    std::vector<std::wstring> files;
    for (auto* node = p.files.first; node; node = node->next) {
        const cPackageFileEntry& file = node->element;
        std::wostringstream line;
        line << key_value(p, file.folder_key.Text()) << L" " << text_of(file.path.Text()) << L" " << file.for_32bit
             << file.for_64bit << L" " << file.access[0] << file.access[1] << file.access[2];
        for (auto* language = file.languages.first; language; language = language->next)
            line << L" " << language->element;
        files.push_back(line.str() + L"\n");
    }
    std::sort(files.begin(), files.end());
    for (const std::wstring& file : files)
        out << file;
    const cPackageMenuEntry& menu = p.menu.first->element;
    out << text_of(menu.name_key.Text()) << L" " << int(menu.flag) << L" " << key_value(p, menu.description_key.Text())
        << L" " << key_value(p, menu.arguments_key.Text()) << L"\n";
    for (auto* node = p.settings.first; node; node = node->next)
        out << node->element.value.Count() << L":" << node->element.value[0] << L" ";
    const cPackageRunEntry& run = p.runs.first->element;
    out << run.ticked << L" " << key_value(p, run.arguments_key.Text());
    for (auto* node = p.replaced.first; node; node = node->next)
        out << L" " << node->element.major;
    return out.str();
}

// One scenario in every encoding and line end reads to the same model.
TEST_F(ScenarioReader, EveryEncodingAndLineEndReadsTheSameModel)
{
    std::string lf = replace_all(full, "$DIR", dir);  // before it is encoded
    std::string crlf = replace_all(lf, "\n", "\r\n"), cr = replace_all(lf, "\n", "\r");
    std::wstring wide(lf.begin(), lf.end());
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t unit : wide) {
        le += {char(unit & 0xFF), char(unit >> 8)};
        be += {char(unit >> 8), char(unit & 0xFF)};
    }
    const wchar_t* expected =
        L"0 1.2.0 1 Demo \"quoted\" \\ name Hello C:/Fixed 5\n"
        L"<null> bin/a.txt 11 750 0 2\n<null> bin/b.txt 11 888 2\n"
        L"C:/Fixed t/one 10 888\nC:/Fixed t/sub/three 10 888\nC:/Fixed t/two 10 888\n"
        L"hello 1 Desc -x\n"
        L"2:112 3:97 1 -r 65535 16";
    const std::pair<std::string, int32_t> encodings[] = {
        {lf, SCENARIO_TEXT_UTF8},     {crlf, SCENARIO_TEXT_UTF8},     {cr, SCENARIO_TEXT_UTF8},
        {"\xEF\xBB\xBF" + lf, SCENARIO_TEXT_UTF8_MARKED}, {le, SCENARIO_TEXT_UTF16_LE}, {be, SCENARIO_TEXT_UTF16_BE},
    };
    for (const auto& [bytes, kind] : encodings) {
        int32_t line;
        ASSERT_EQ(Read(bytes, line), SCENARIO_OK) << bytes.substr(0, 4);
        EXPECT_EQ(encoding.kind, kind) << bytes.substr(0, 4);
        EXPECT_EQ(line, -1);
        EXPECT_EQ(describe(package), expected) << bytes.substr(0, 4);
        EXPECT_EQ(text_of(package.icon_folder_key.Text()), L".0000");
        EXPECT_EQ(package_first_undefined_key(package), nullptr);
    }
}

// Without a byte-order mark, text that is not UTF-8 is the ANSI code page,
// and the line of its first byte that is not UTF-8 is known.
TEST_F(ScenarioReader, UnmarkedTextThatIsNotUtf8IsAnsi)
{
    int32_t line;
    ASSERT_EQ(Read(std::string(general) + complete + "name = \"caf\xE9\"\n", line), SCENARIO_OK);
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "caf\xE9", 4, expected, 8);
    EXPECT_EQ(key_value(package, L"name"), expected);
    EXPECT_EQ(encoding.kind, SCENARIO_TEXT_ANSI);
    EXPECT_EQ(encoding.ansi_line, 5);
    ASSERT_EQ(Read(std::string(general) + complete + "name = \"caf\xC3\xA9\"\n", line), SCENARIO_OK);
    EXPECT_EQ(key_value(package, L"name"), L"caf\u00E9");
    EXPECT_EQ(encoding.kind, SCENARIO_TEXT_UTF8);

    // A four-byte form is UTF-8 too.
    ASSERT_EQ(Read(std::string(general) + complete + "name = \"\xF0\x9F\x98\x80\"\n", line), SCENARIO_OK);
    EXPECT_EQ(key_value(package, L"name"), L"\xD83D\xDE00");
    EXPECT_EQ(encoding.kind, SCENARIO_TEXT_UTF8);

    // Sequences that only begin like UTF-8, overlong forms and encoded
    // surrogates, after UTF-8 text on earlier lines, under every line end.
    const char* const bad_bytes[] = {"\xC3(",         "\xEF\xBF" "A",      "\xE2\x82", "\xC0\xAF",
                                     "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"};
    for (const char* line_end : {"\n", "\r\n", "\r"})
        for (size_t i = 0; i < sizeof bad_bytes / sizeof bad_bytes[0]; ++i) {
            SCOPED_TRACE("bytes " + std::to_string(i) + ", line end of " + std::to_string(strlen(line_end)));
            std::string head = std::string(general) + complete + "[Strings]\nok = \"\xC3\xA9\"\n\n# note\n";
            std::string text =
                replace_all(head, "\n", line_end) + "x = \"" + bad_bytes[i] + "\"" + line_end + "y = \"1\"";
            ASSERT_EQ(Read(text, line), SCENARIO_OK);
            EXPECT_EQ(encoding.kind, SCENARIO_TEXT_ANSI);
            EXPECT_EQ(encoding.ansi_line, std::count(head.begin(), head.end(), '\n'));
        }
}

// A key used before any language is declared passes the reader; the
// package's own check then names it.
TEST_F(ScenarioReader, KeysUsedBeforeTheLanguagesAreLeftForThePackageCheck)
{
    int32_t line;
    ASSERT_EQ(Read("[Install]\n\"$DIR/a.txt\" = $undefined \"a\"\n" + std::string(general) + complete, line),
              SCENARIO_OK);
    EXPECT_EQ(text_of(package_first_undefined_key(package)), L"undefined");
}

}  // namespace
