#include "base/path.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/heap_probe.h"
#include "tests/support/temp_folder.h"

namespace {

struct NativeCase {
    const wchar_t* path;
    const wchar_t* native;
};

std::wstring native_of(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return L"<false>";
    return native.Data();
}

}  // namespace

TEST(PathToNative, ConvertsAsTheTableSays)
{
    const NativeCase cases[] = {
        // Absolute drive paths get the long-path prefix; runs collapse.
        {L"C:/a//b", L"\\\\?\\C:\\a\\b"},
        {L"C:\\Program Files\\Tool\\file.txt", L"\\\\?\\C:\\Program Files\\Tool\\file.txt"},
        {L"C:/a/\\/b/", L"\\\\?\\C:\\a\\b\\"},
        // A bare drive names its root.
        {L"C:", L"\\\\?\\C:\\"},
        {L"C:/", L"\\\\?\\C:\\"},
        {L"D:x:", L"\\\\?\\D:x:\\"},
        // A leading pair stays (UNC), a longer leading run keeps two.
        {L"//srv//share", L"\\\\srv\\share"},
        {L"//server/share/x", L"\\\\server\\share\\x"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"////srv/x", L"\\\\srv\\x"},
        // One leading separator: rooted on the current drive, no prefix.
        {L"/x", L"\\x"},
        {L"/", L"\\"},
        // A leading dot stays relative, without prefix.
        {L".//a", L".\\a"},
        {L"./sub/f", L".\\sub\\f"},
        {L"../up", L"..\\up"},
        {L".", L"."},
        // A relative path starting with a letter gets the prefix all the same.
        {L"sub/f", L"\\\\?\\sub\\f"},
        {L"f", L"\\\\?\\f"},
        {L"", L"<false>"},
        {nullptr, L"<false>"},
    };
    for (const NativeCase& c : cases)
        EXPECT_EQ(native_of(c.path), c.native) << (c.path ? c.path : L"(null)");
}

TEST(PathToNative, BufferIsSizedFromTheInput)
{
    _typebuf<wchar_t> native;
    ASSERT_TRUE(path_to_native(L"C:/abc", native));
    EXPECT_EQ(native.Count(), 6 + 6);  // prefix, text, root room, terminator
    ASSERT_TRUE(path_to_native(L"/abc", native));
    EXPECT_EQ(native.Count(), 4 + 2);

    std::wstring deep = L"C:";
    while (deep.size() < 5000)
        deep += L"/segment";
    ASSERT_TRUE(path_to_native(deep.c_str(), native));
    std::wstring expected = L"\\\\?\\" + deep;
    for (wchar_t& c : expected)
        if (c == L'/')
            c = L'\\';
    EXPECT_EQ(std::wstring(native.Data()), expected);
}

TEST(PathToNative, FailureLeavesTheBufferAlone)
{
    _typebuf<wchar_t> native;
    ASSERT_TRUE(path_to_native(L"/kept", native));
    EXPECT_FALSE(path_to_native(L"", native));
    EXPECT_STREQ(native.Data(), L"\\kept");
}

TEST(PathFromNative, StripsQuotesAndTurnsBackslashes)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* internal;
    };
    const Case cases[] = {
        {L"\"C:\\Temp\\ \"", L"C:/Temp/"},
        {L"C:\\a\\\\b", L"C:/a//b"},  // runs are not collapsed
        {L"\\\\srv\\share", L"//srv/share"},
        {L"C:/x  ", L"C:/x"},
        {L"\"\"", L""},
        {L"\"", L""},
        {L"a\"b", L"a\"b"},  // only a leading quote goes
        {L"  lead", L"  lead"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        std::wstring text = c.text;
        path_from_native(&text[0]);
        EXPECT_STREQ(text.c_str(), c.internal) << c.text;
    }
    path_from_native(nullptr);
}

TEST(Path, DrivesAndAbsolutePaths)
{
    struct Case {
        const wchar_t* path;
        bool drive;
        bool absolute;
    };
    const Case cases[] = {
        {L"C:", true, true},          {L"z:", true, true},          {L"C:/", false, true},
        {L"C:/Users/me", false, true}, {L"//server/share", false, true}, {L"C:name", false, false},
        {L"/root", false, false},     {L"name.txt", false, false},  {L"sub/name", false, false},
        {L"1:", false, false},        {L"", false, false},          {nullptr, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(path_is_drive(c.path), c.drive) << (c.path ? c.path : L"(null)");
        EXPECT_EQ(path_is_absolute(c.path), c.absolute) << (c.path ? c.path : L"(null)");
    }
}

TEST(PathJoin, InsertsASeparatorOnlyWhenNeeded)
{
    _guardchar<wchar_t> out;
    ASSERT_TRUE(path_join(L"C:/dir", L"name", out));
    EXPECT_STREQ(out.Text(), L"C:/dir/name");
    ASSERT_TRUE(path_join(L"C:/dir/", L"name", out));
    EXPECT_STREQ(out.Text(), L"C:/dir/name");
    ASSERT_TRUE(path_join(L"C:\\dir\\", L"name", out));
    EXPECT_STREQ(out.Text(), L"C:\\dir\\name");
    ASSERT_TRUE(path_join(L"", L"name", out));
    EXPECT_STREQ(out.Text(), L"/name");
    EXPECT_FALSE(path_join(nullptr, L"name", out));
    EXPECT_FALSE(path_join(L"C:", nullptr, out));
}

TEST(PathJoin, TooLongForTheBufferFailsAndKeepsTheOutput)
{
    _guardchar<wchar_t> out(L"before");
    std::wstring folder(4091, L'f');
    EXPECT_FALSE(path_join(folder.c_str(), L"name", out));
    EXPECT_STREQ(out.Text(), L"before");
    // 4095 characters and the terminator still fit.
    EXPECT_TRUE(path_join(folder.c_str(), L"abc", out));
    EXPECT_EQ(out.Length(), 4095);
}

TEST(MakeSafeFileName, MapsSkipsAndTrims)
{
    struct Case {
        const wchar_t* source;
        int32_t capacity;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"  a:b?..", 32, L"a_b~"},
        {L"abcdefghijklmnopqrstuvwxyzabcdefghijklmn", 10, L"abcdefghi"},
        {L"\"q\" \x201Cr\x201D", 32, L"'q' 'r'"},
        {L"a*b/c<d>e|f\\g", 32, L"a@b=c=d=e_f-g"},
        {L"\t\r\n x\ty", 32, L"x y"},
        {L"name. . ", 32, L"name. ."},  // dots followed by other characters stay
        {L"v1.0...", 32, L"v1.0"},
        {L"...", 32, L""},
        {L"a.b", 32, L"a.b"},
        {L"end \x01", 32, L"end"},  // a control character becomes a blank, then trimmed
        {L"x", 1, L""},
    };
    for (const Case& c : cases) {
        wchar_t out[64];
        wmemset(out, L'#', 64);
        int32_t written = make_safe_file_name(c.source, out, c.capacity);
        EXPECT_STREQ(out, c.name) << c.source;
        EXPECT_EQ(written, int32_t(wcslen(c.name))) << c.source;
    }
}

TEST(MakeSafeFileName, WorksInPlace)
{
    wchar_t text[] = L"  Tools: \"new\"?..";
    EXPECT_EQ(make_safe_file_name(text, text, 64), 13);
    EXPECT_STREQ(text, L"Tools_ 'new'~");
}

TEST(MakeSafeFileName, BadArgumentsWriteNothing)
{
    wchar_t out[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(make_safe_file_name(nullptr, out, 4), 0);
    EXPECT_EQ(make_safe_file_name(L"x", nullptr, 4), 0);
    EXPECT_EQ(make_safe_file_name(L"x", out, 0), 0);
    EXPECT_EQ(out[0], L'#');
}

TEST(PathIdentityKey, PathsOfOneFileShareTheKey)
{
    struct IdentityCase {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const IdentityCase cases[] = {
        {L"C:/App/bin/x.dll", L"c:/app/BIN/X.DLL", true},
        {L"C:/App/bin//x.dll", L"C:/App/bin/x.dll", true},
        {L"C:/App/./bin/x.dll", L"C:/App/bin/x.dll", true},
        {L"C:\\App\\bin\\x.dll", L"C:/App/bin/x.dll", true},
        {L"C:/App/bin/", L"C:/App/bin", true},
        {L"./x", L"x", true},
        // Non-ASCII letters fold as Windows folds file names, over the
        // whole of Unicode as it knows it, one-way mappings left out.
        {L"C:/\u00C4pp/\u0416", L"C:/\u00E4pp/\u0436", true},
        {L"C:/\u2C5F\uA7C1\u13F8", L"C:/\u2C2F\uA7C0\u13F0", true},
        {L"C:/\u017F", L"C:/S", false},
        {L"C:/\u0131", L"C:/I", false},
        {L"/x", L"x", false},
        {L"C:/App/bin/x.dll", L"C:/App/bin/y.dll", false},
        {L"C:/App/bin/..x", L"C:/App/bin/x", false},
        {L"C:/App/b in/x", L"C:/App/bin/x", false},
        // Windows drops a name's trailing dots and blanks, in every segment.
        {L"C:/App/notes.txt", L"C:/App/notes.txt.", true},
        {L"C:/App/notes.txt", L"C:/App/notes.txt .. ", true},
        {L"C:/App./bin /x", L"C:/App/bin/x", true},
        {L"C:/App/../x", L"C:/App/x", false},
        {L"C:/App/.../x", L"C:/App/x", false},
        {L"C:/App/ notes.txt", L"C:/App/notes.txt", false},
        {L"C:/App/no.tes", L"C:/App/notes", false},
    };
    for (const IdentityCase& c : cases) {
        cPackedKey a, b;
        path_identity_key(c.a, a);
        path_identity_key(c.b, b);
        EXPECT_EQ(packedkey_equal(a, b), c.same) << c.a << L" | " << c.b;
    }
}

// One table of resolved targets and the folders they must lie in.
TEST(PathIsInside, TargetsInsideAndOutsideTheirFolders)
{
    struct InsideCase {
        const wchar_t* path;
        const wchar_t* folder;
        bool inside;
    };
    const InsideCase cases[] = {
        {L"C:/Program Files/Demo/notes.txt", L"C:/Program Files/Demo", true},
        {L"C:/Program Files/Demo/data/a/b.bin", L"C:/Program Files/Demo/", true},
        {L"c:/PROGRAM FILES\\demo\\Notes.txt", L"C:/Program Files/Demo", true},
        {L"C:/Program Files/Demo./notes.txt", L"C:/Program Files/Demo", true},
        {L"C:/Program Files/Demo/./notes.txt", L"C:/Program Files/Demo", true},
        {L"C:/\u00C4pps/x", L"C:/\u00E4pps", true},
        {L"C:/x.txt", L"C:/", true},
        {L"//server/share/app/x", L"//server/share/app", true},
        // The folder itself, its neighbours and what lies above.
        {L"C:/Program Files/Demo", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/Demo/", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/Demo2/x", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/x", L"C:/Program Files/Demo", false},
        {L"C:/Users/Public/Documents/important.doc", L"C:/Program Files/Demo", false},
        {L"D:/Program Files/Demo/x", L"C:/Program Files/Demo", false},
        // Steps up, by any spelling Windows may take for one.
        {L"C:/Program Files/Demo/../evil.txt", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/Demo/.. /evil.txt", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/Demo/.../evil.txt", L"C:/Program Files/Demo", false},
        {L"C:/Program Files/Demo/x", L"C:/Program Files/Demo/sub/..", false},
        // Relative paths lie nowhere.
        {L"../evil.txt", L"..", false},
        {L"evil.txt", L"", false},
        {L"Demo/x", L"Demo", false},
        {L"C:", L"C:/", false},
        {nullptr, L"C:/", false},
        {L"C:/x", nullptr, false},
    };
    for (const InsideCase& c : cases)
        EXPECT_EQ(path_is_inside(c.path, c.folder), c.inside)
            << (c.path ? c.path : L"null") << L" in " << (c.folder ? c.folder : L"null");
}

TEST(PathIsFolderBelowRoot, FullFoldersBelowADriveOrShareRoot)
{
    struct FolderCase {
        const wchar_t* path;
        bool below_root;
    };
    const FolderCase cases[] = {
        {L"C:/Program Files/Demo", true}, {L"C:/Apps\\Tools", true}, {L"//server/share/app", true},
        {L"C:/Apps/", true},              {L"C:", false},        {L"C:/", false},
        {L"C://", false},                 {L"C:/.", false},      {L"//server/share", false},
        {L"//server/share/", false},      {L"Apps", false},      {L"..", false},
        {L"C:/Apps/..", false},           {L"C:/Apps/../Other", false},
        {L"", false},                     {nullptr, false},
    };
    for (const FolderCase& c : cases)
        EXPECT_EQ(path_is_folder_below_root(c.path), c.below_root) << (c.path ? c.path : L"null");
}

TEST(PathIsPlainFileName, NamesWindowsKeepsAsGiven)
{
    const std::wstring longest(255, L'n');
    struct NameCase {
        std::wstring name;
        bool plain;
    };
    const NameCase cases[] = {
        {L"a", true},
        {longest, true},
        {longest + L"n", false},
        {std::wstring(251, L'x') + L".txt", true},
        {std::wstring(252, L'x') + L".txt", false},
        {L"", false},
        {L"notes.", false},
        {L"notes ", false},
        {L". notes", true},
        {L"a<b", false},
        {L"a:b", false},
        {L"tab\there", false},
        {L"bell\x07", false},
        {L"del\x7F", false},
        {L"con", false},
        {L"Com1.log", false},
        {L"lpt9 .txt", false},
        {L"COM0", true},
        {L"CONSOLE", true},
        {L"\u00FCber.txt", true},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(path_is_plain_file_name(c.name.c_str(), int32_t(c.name.size())), c.plain)
            << c.name.size() << " characters: " << c.name;
    EXPECT_FALSE(path_is_plain_file_name(nullptr, 3));
}

// The length limit is the file system's own: it makes a file of the longest
// name accepted and refuses one a character longer.
TEST(PathIsPlainFileName, TheLengthLimitIsTheFileSystems)
{
    TempFolder folder(L"namelength");
    for (size_t length : {255u, 256u}) {
        std::wstring name(length, L'n');
        HANDLE file = CreateFileW(folder.Native(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        bool made = file != INVALID_HANDLE_VALUE;
        if (made)
            CloseHandle(file);
        EXPECT_EQ(path_is_plain_file_name(name.c_str(), int32_t(length)), made) << length;
    }
}

TEST(Path, ConversionsGiveBackTheirMemory)
{
    cHeapBalance balance;
    _typebuf<wchar_t> native;
    _guardchar<wchar_t> joined;
    for (int i = 0; i < 10; ++i) {
        path_to_native(L"C:/a/b", native);
        path_join(L"C:/a", L"b", joined);
    }
}
