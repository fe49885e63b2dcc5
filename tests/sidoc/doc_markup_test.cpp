#include "sidoc/doc_markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/mem_io_target.h"
#include "base/string_convert.h"
#include "sidoc/doc_compiler.h"
#include "sidoc/doc_loader.h"
#include "tests/sidoc/doc_test_files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace {

std::string stream_bytes(cMemIOTarget* stream)
{
    _typebuf<uint8_t> bytes;
    if (!stream || !stream->CopyTo(bytes))
        return "(none)";
    return std::string(reinterpret_cast<const char*>(bytes.Data()), size_t(bytes.Count()));
}

// Parses source as language 0 with pictures taken from the fixtures' folder.
struct Parsed {
    explicit Parsed(const std::wstring& source)
    {
        doc_compile_ctx_init(ctx);
        ctx.source_folder.Assign(doc_fixture_path("").c_str());
        parsed = doc_parse_markup_source(ctx, source.c_str());
    }
    ~Parsed() { doc_compile_ctx_free(ctx); }
    std::string Message() const { return ctx.error_message ? ctx.error_message : "(none)"; }

    cSiDocCompileCtx ctx;
    bool parsed;
};

std::wstring repeated(const std::wstring& piece, int count)
{
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

}  // namespace

// Box lists and tables against an encoder of the records written apart from
// the program.
TEST(DocMarkup, RecordsMatchAnIndependentEncoder)
{
    std::vector<std::vector<std::string>> cases = read_test_records("markup_cases.txt");
    ASSERT_EQ(cases.size(), 11u);
    for (const std::vector<std::string>& c : cases) {
        SCOPED_TRACE(c[0]);
        Parsed parsed(units_from_hex(c[1]));
        ASSERT_TRUE(parsed.parsed) << parsed.Message();
        auto expected = [](const std::string& hex) { return hex == "-" ? std::string() : bytes_from_hex(hex); };
        EXPECT_EQ(stream_bytes(tree_find_value(parsed.ctx.box_streams, 0)), expected(c[2]));
        EXPECT_EQ(stream_bytes(&parsed.ctx.style_table), expected(c[3]));
        EXPECT_EQ(stream_bytes(&parsed.ctx.string_table), expected(c[4]));
        EXPECT_EQ(stream_bytes(&parsed.ctx.image_table), expected(c[5]));
    }
}

// One source per message, each stopped at its line and column.
TEST(DocMarkup, EveryMessageGivesItsPosition)
{
    const std::wstring deep_text = repeated(L"<text>", 10000);
    const std::wstring deep_mixed = L"<i>" + repeated(L"<link ref=x><b><i>", 22);  // the 65th level: a link
    const std::wstring long_word = L"ok\n" + std::wstring(21846, L'\x20AC');  // 65,538 UTF-8 bytes
    std::wstring many_links;
    for (int i = 0; i < 65536; ++i)
        many_links += L"<link ref=" + std::to_wstring(i) + L"></link>";
    const struct {
        std::wstring source;
        const char* message;
        uint32_t line;
        uint32_t column;
    } cases[] = {
        {L"ab\n  <text", "unexpected termination", 1, 2},
        {L"<text>\nabc", "termination on opened tag", 1, 3},
        {L"<b>x</b y>", "tag is not properly closed", 0, 10},
        {L"x </p>", "invalid tag closed", 0, 6},
        {L"<b>x</i>", "close tag mismatch", 0, 8},
        {L"</text>", "close tag mismatch", 0, 7},
        {L"<BR>", "invalid tag opened", 0, 4},
        {L"<br >", "invalid tag opened", 0, 5},
        {L"<text ml>", "bad tag props", 0, 9},
        {L"<text a=\"j>", "bad tag props", 0, 11},
        {L"<text ml=-1>", "bad left margin", 0, 12},
        {L"<text mr=65536>", "bad right margin", 0, 15},
        {L"<img src=./picture.png mt=0x10000>", "bad top margin", 0, 34},
        {L"<text mb=-0x1>", "bad bottom margin", 0, 14},
        {L"<text w=70000>", "bad width", 0, 14},
        {L"<img src=./picture.png h=65536>", "bad height", 0, 31},
        {L"<text br=2>", "bad break", 0, 11},
        {L"<text fg=0x100000000>", "bad FG color", 0, 21},
        {L"<img src=./picture.png bg=-5>", "bad BG color", 0, 29},
        {L"<text a=>", "empty align", 0, 9},
        {L"<text a=x>", "bad align", 0, 10},
        {L"<img>", "no src prop", 0, 5},
        {L"<img src=./missing.png>", "unable to open IMG", 0, 23},
        {L"<img src=./notapicture.txt>", "unable to recognize IMG", 0, 27},
        {L"<text f=arial>", "bad font face name", 0, 14},
        {L"<text f=verdx>", "bad font face definition", 0, 14},
        {L"<text f=verd,>", "bad font height def", 0, 14},
        {L"<text f=verd,4096>", "bad font height", 0, 18},
        {L"<text f=verd,16x>", "bad font definition", 0, 17},
        {L"<text f=verd,16,,b>", "bad font width def", 0, 19},
        {L"<text f=verd,16,4096>", "bad font width", 0, 21},
        {L"<text f=verd,16,8x>", "bad font width definition", 0, 19},
        {deep_text, "nesting too deep", 0, 65 * 6},
        {deep_mixed, "nesting too deep", 0, 3 + 21 * 18 + 12},
        {long_word, "word too long", 1, 21846},
        {many_links, "too many strings", 0, uint32_t(many_links.size() - 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Parsed parsed(c.source);
        EXPECT_FALSE(parsed.parsed);
        EXPECT_EQ(parsed.Message(), c.message);
        EXPECT_EQ(parsed.ctx.error_line, c.line);
        EXPECT_EQ(parsed.ctx.error_column, c.column);
    }
    EXPECT_TRUE(Parsed(repeated(L"<text>", 64) + L"x" + repeated(L"</text>", 64)).parsed);
}

TEST(DocMarkup, IndexMessagesGiveTheirLine)
{
    const struct {
        const wchar_t* text;
        const char* message;
        uint32_t line;
    } cases[] = {
        {L"XXX = \"a\"", "invalid lang code", 0},
        {L"\n\r\n  INV=\"a\"", "invalid lang code", 2},
        {L"ENG \"a\"", "expected EQ sign after lang code", 0},
        {L"ENG = a", "expected openning QUOTE sign after EQ", 0},
        {L"ENG = \"a\n\"", "expected openning QUOTE sign after end of path", 0},
        {L"eng=\"a\" b", "not expected anything after file path", 0},
        {L"ENG=\"a\"\n\nkor=\"b\"\nEng=\"c\"", "lang already defined", 3},
    };
    cSiDocLangCodeMap codes(512);
    doc_lang_code_map_init(codes);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        cSiDocIndexMap index(512);
        cSiDocCompileError error;
        EXPECT_FALSE(doc_parse_index_line(c.text, index, codes, error));
        EXPECT_STREQ(error.message.Text(), c.message);
        EXPECT_EQ(error.line, c.line);
    }
}

// Files the compiler cannot take, and the file each error names.
TEST(DocMarkup, CompilerNamesTheFileOfEachError)
{
    TempFolder folder(L"docc");
    const std::string invalid_utf8 = "ok \xC3\x28 word";
    const struct {
        std::string index;
        std::string source;
        const char* message;
        const wchar_t* file;  // inside the folder
        uint32_t line;
        uint32_t column;
    } cases[] = {
        {"", "", "Unable to open index", L"none.txt", 0, 0},
        {"E", "", "Unable to read idex", L"index.txt", 0, 0},
        {"ENG=\"./missing.txt\"", "", "Unable to open source file", L"missing.txt", 0, 0},
        {"RUS=\"./eng.txt\"", std::string("a\0b", 3), "Unable to read source as text file", L"eng.txt", 0, 0},
        {"ENG=\"./eng.txt\"", std::string("\xFE\xFF\0a\0b", 6), "Unable to read source as text file", L"eng.txt",
         0, 0},
        // UTF-16 with a NUL in it: not text, however well the rest reads.
        {"ENG=\"./eng.txt\"", std::string("\xFF\xFEo\0k\0\0\0x\0", 10), "Unable to read source as text file",
         L"eng.txt", 0, 0},
        {"ENG=\"./eng.txt\"", invalid_utf8, "Unable to read source as text file", L"eng.txt", 0, 0},
        // A character beyond U+FFFF as two three-byte halves: no UTF-8.
        {"ENG=\"./eng.txt\"", "ok \xED\xA0\xBD\xED\xB8\x80", "Unable to read source as text file", L"eng.txt",
         0, 0},
        {"ENG=\"./eng.txt\"", "\xEF\xBB\xBFok\n <text>", "termination on opened tag", L"eng.txt", 1, 7},
        {"\nENG=\"./eng.txt\" x", "", "not expected anything after file path", L"index.txt", 1, 0},
    };
    cSiDocLangCodeMap codes(512);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        folder.WriteFile(L"index.txt", c.index);
        folder.WriteFile(L"eng.txt", c.source);
        const wchar_t* index = c.index.empty() ? L"none.txt" : L"index.txt";
        cMemIOTarget target;
        cSiDocCompileError error;
        EXPECT_FALSE(compile_doc_index(&target, codes, folder.Path(index).c_str(), error));
        EXPECT_STREQ(error.message.Text(), c.message);
        EXPECT_EQ(std::wstring(error.file.Text() ? error.file.Text() : L""), folder.Path(c.file));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.column, c.column);
    }
    // An index path without any '/' gives "./" no folder to start from.
    folder.WriteFile(L"index.txt", "ENG=\"./eng.txt\"");
    std::wstring backslashed = folder.Path(L"index.txt");
    for (wchar_t& c : backslashed)
        c = c == '/' ? '\\' : c;
    cMemIOTarget target;
    cSiDocCompileError error;
    EXPECT_FALSE(compile_doc_index(&target, codes, backslashed.c_str(), error));
    EXPECT_STREQ(error.message.Text(), "Path is specified as relative with no current folder");
    EXPECT_FALSE(compile_doc_index(nullptr, codes, L"index.txt", error));
    EXPECT_STREQ(error.message.Text(), "bad target");
}

// The smallest blocks: a language whose source is empty (its box list is
// the end byte alone) and a string table of one short link target. The
// blob is kept for the check of its streams with Python's zlib.
TEST(DocMarkup, SmallestBlocksStayComplete)
{
    TempFolder folder(L"docs");
    folder.WriteFile(L"index.txt", "RUS = \"./rus.txt\"\nENG = \"./eng.txt\"\nDEU = \"\"\n");
    folder.WriteFile(L"eng.txt", "<link ref=a>x</link>");
    folder.WriteFile(L"rus.txt", "   ");
    cSiDocLangCodeMap codes(512);
    cMemIOTarget target;
    cSiDocCompileError error;
    ASSERT_TRUE(compile_doc_index(&target, codes, folder.Path(L"index.txt").c_str(), error)) << error.message.Text();
    _typebuf<uint8_t> blob;
    ASSERT_TRUE(target.CopyTo(blob));
    keep_artifact("document_edge.qrvhdocf", blob.Data(), size_t(blob.Count()));

    cSiDocLoader loader;
    ASSERT_TRUE(loader.Load(blob.Data(), blob.Count()));
    EXPECT_EQ(tree_find_value(loader.languages, 1)->children.first, nullptr);
    EXPECT_EQ(tree_find_value(loader.languages, 2), nullptr);
    auto* link = dynamic_cast<cSiDocLink*>(tree_find_value(loader.languages, 0)->children.first->element);
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link->link->Text(), L"a");
}
