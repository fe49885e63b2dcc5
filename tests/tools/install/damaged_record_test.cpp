// Installation records edited as a stranger may edit them (the per-user
// store is the user's own file, while an update or an uninstall may run with
// more rights), each run through the real update (the test build of the
// installer over v2) and the real uninstall (pelmarodesk.exe, its forms
// answered by key presses): what lies outside the product stays as it was,
// and each ends with the outcome the damage calls for.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ci_app_config.h"
#include "base/sha256.h"
#include "tests/support/file_access.h"
#include "tests/support/short_path.h"
#include "tests/support/wine_drives.h"
#include "tests/tools/install/uninstall_fixture.h"

using namespace road;

namespace {

const char users_content[] = "the user's";

// The digest a record keeps for a file of that content.
std::string users_digest()
{
    uint8_t digest[32];
    sha256_digest(digest, users_content, int32_t(sizeof users_content - 1));
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

// The record of the world's product in the common store (or the per-user
// one), edited and saved; or what else of the product that store keeps
// under another root (a journal).
class RecordEdit {
public:
    explicit RecordEdit(const World& world, bool common = true, const char* root = "install")
        : prefix(std::string(root) + "/" + utf8_of(installers().code_name) + "/")
    {
        // The store's folders, as a run that saves makes them.
        std::wstring folder = common ? world.CommonStore() : world.UserStore();
        for (size_t at = folder.find(L'/', world.Path(L"").size() + 1); at != std::wstring::npos;
             at = folder.find(L'/', at + 1))
            CreateDirectoryW(windows_path(folder.substr(0, at)).c_str(), nullptr);
        CreateDirectoryW(windows_path(folder).c_str(), nullptr);
        opened = store.OpenStore(folder.c_str());
    }

    void Text(const std::string& name, const std::wstring& text)
    {
        store.WriteString((prefix + name).c_str(), text.c_str(), -1);
    }
    // A count as the record writes counts: 4 bytes.
    void Count(const std::string& name, int32_t value) { store.WriteInt32((prefix + name).c_str(), value); }
    void Bytes(const std::string& name, const std::string& bytes)
    {
        store.WriteBytes((prefix + name).c_str(), bytes.data(), uint32_t(bytes.size()));
    }
    // path as one more item of a list; its index.
    std::string Append(const std::string& count_name, const std::string& item, const std::wstring& path)
    {
        int64_t count = 0;
        store.ReadInt64((prefix + count_name).c_str(), count);
        Text(item + std::to_string(count), path);
        Count(count_name, int32_t(count + 1));
        return std::to_string(count);
    }
    bool Save() { return opened && store.Save(); }

private:
    cCIAppConfig store;
    std::string prefix;
    bool opened;
};

// A file of the user's, with its folders.
void put_users_file(const World& world, const std::wstring& inside)
{
    std::wstring path = world.Path(inside);
    for (size_t at = path.find(L'/', world.Path(L"").size() + 1); at != std::wstring::npos;
         at = path.find(L'/', at + 1))
        CreateDirectoryW((L"\\\\?\\" + windows_path(path.substr(0, at))).c_str(), nullptr);
    ASSERT_TRUE(put_file(path, users_content)) << utf8_of(path);
}

std::wstring programs(const World& world)
{
    return world.Path(L"all/Start Menu/Programs");
}

// Two of the user's known folders in the world's profile, spelled through
// profile (the profile itself or another spelling of it), each with a file
// of the user's: the first as the install folder, the second as a base whose
// file has its recorded digest, both as made folders.
void known_folders_as_bounds(World& world, RecordEdit& edit, const std::wstring& profile, const wchar_t* folder,
                             const wchar_t* base)
{
    for (const wchar_t* known : {folder, base})
        put_users_file(world, L"profile/" + std::wstring(known) + L"/mine.doc");
    edit.Text("path", profile + L"/" + folder);
    edit.Append("files", "file", profile + L"/" + folder + L"/mine.doc");
    edit.Count("bases", 1);
    edit.Text("base0", profile + L"/" + base);
    edit.Bytes("hash" + edit.Append("files", "file", profile + L"/" + base + L"/mine.doc"),
               users_digest());
    edit.Append("folders", "folder", profile + L"/" + folder);
    edit.Append("folders", "folder", profile + L"/" + base);
}

struct DamageCase {
    const char* what;
    // Puts what lies outside the product in place and damages the record.
    std::function<void(World&, RecordEdit&)> damage;
    DWORD update_exit;       // of the installer's update to v2 over it
    bool uninstall_reports;  // the uninstall tells of the damage (exit 1); else it succeeds (exit 0)
    // In the world: files that keep the user's content, and folders
    // (ending in '/') that stay.
    std::vector<std::wstring> untouched;
    // In the world, inside a folder the user made before; null: "app".
    const wchar_t* install_folder = nullptr;
    std::function<void(World&)> before_uninstall = nullptr;
    std::function<void(World&)> after_update = nullptr;
};

void expect_untouched(const World& world, const DamageCase& c, const char* run)
{
    for (const std::wstring& inside : c.untouched) {
        if (inside.back() == L'/')
            EXPECT_TRUE(exists(world.Path(inside.substr(0, inside.size() - 1)))) << run << ": " << utf8_of(inside);
        else
            EXPECT_EQ(file_bytes(world.Path(inside)), users_content) << run << ": " << utf8_of(inside);
    }
}

// v1 installed in the world, then the case's damage done.
void install_damaged(World& world, const DamageCase& c)
{
    std::map<std::wstring, std::wstring> folder;
    if (c.install_folder) {
        std::wstring path = world.Path(c.install_folder);
        ASSERT_TRUE(CreateDirectoryW(windows_path(path.substr(0, path.rfind(L'/'))).c_str(), nullptr));
        folder[L"PELMARO_TEST_FOLDER"] = windows_path(path);
    }
    RunResult installed = world.Install("v1", folder);
    ASSERT_EQ(installed.exit_code, 0u) << installed.output;
    RecordEdit edit(world);
    c.damage(world, edit);
    ASSERT_TRUE(edit.Save());
}

}  // namespace

TEST(DamagedRecord, NothingOutsideTheProductIsTouched)
{
    // The links, drives and shares of the world that has one, removed
    // before the world goes.
    std::vector<std::shared_ptr<void>> aliases;
    const std::vector<std::wstring> documents_and_downloads = {L"profile/Documents/mine.doc",
                                                               L"profile/Downloads/mine.doc"};
    auto link_below_app = [&aliases](World& world, RecordEdit& edit) {
        put_users_file(world, L"outside/important.doc");
        put_users_file(world, L"outside/deeper/notes.doc");
        auto link = std::make_shared<HostFolderLink>(world.App(L"link"), world.Path(L"outside"));
        aliases.push_back(link);
        ASSERT_TRUE(link->Valid());
        edit.Append("files", "file", world.App(L"link/important.doc"));
        edit.Append("files", "file", world.App(L"link/deeper/notes.doc"));
    };
    const DamageCase cases[] = {
        {"a base outside the product, its file without a digest",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"outside/important.doc");
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L"outside"));
             edit.Append("files", "file", world.Path(L"outside/important.doc"));
         },
         0, true, {L"outside/important.doc"}},
        {"a base that is the user's profile",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"profile/important.doc");
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L"profile"));
             edit.Append("files", "file", world.Path(L"profile/important.doc"));
         },
         50 + 6, true, {L"profile/important.doc"}},
        {"a base above the install folder",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"important.doc");
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L""));
             edit.Append("files", "file", world.Path(L"important.doc"));
         },
         50 + 6, true, {L"important.doc"}},
        {"a base above the install folder and no known folder, its file with its digest",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"mine/important.doc");
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L"mine"));
             edit.Bytes("hash" + edit.Append("files", "file", world.Path(L"mine/important.doc")),
                        users_digest());
         },
         50 + 6, true, {L"mine/important.doc"}, L"mine/app"},
        {"a group outside the Start menu",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"outside/Note.lnk");
             edit.Text("group", world.Path(L"outside"));
             edit.Append("shortc", "shortc", world.Path(L"outside/Note.lnk"));
         },
         50 + 6, true, {L"outside/Note.lnk"}},
        {"the Programs folder as the group, another product's shortcut in it",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"all/Start Menu/Programs/Other Test/Other.lnk");
             edit.Text("group", programs(world));
             edit.Append("shortc", "shortc", programs(world) + L"/Other Test/Other.lnk");
         },
         50 + 6, true, {L"all/Start Menu/Programs/Other Test/Other.lnk", L"all/Start Menu/Programs/"}},
        {"a made folder that was there before, above the install folder",
         [](World& world, RecordEdit& edit) { edit.Append("folders", "folder", world.Path(L"mine")); }, 0, false,
         {L"mine/"}, L"mine/app"},
        {"a made folder that is the Programs folder",
         [](World& world, RecordEdit& edit) { edit.Append("folders", "folder", programs(world)); }, 0, false,
         {L"all/Start Menu/Programs/"}, nullptr,
         // Its last entry gone, the Programs folder would be empty.
         [](World& world) {
             ASSERT_TRUE(DeleteFileW(
                 windows_path(programs(world) + L"/Vantrel/Software Packages management.lnk").c_str()));
             ASSERT_TRUE(RemoveDirectoryW(windows_path(programs(world) + L"/Vantrel").c_str()));
         }},
        {"a folder name ending in a dot",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"app./important.doc");
             edit.Append("files", "file", world.Path(L"app./important.doc"));
         },
         50 + 6, true, {L"app./important.doc"}},
        {"a folder name ending in a blank",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"app /important.doc");
             edit.Append("files", "file", world.Path(L"app /important.doc"));
         },
         50 + 6, true, {L"app /important.doc"}},
        {"a link below the install folder, above a file's folder too", link_below_app, 50 + 6, true,
         {L"outside/important.doc", L"outside/deeper/notes.doc"}},
        {"the install folder itself a link to a folder of the user's",
         [&aliases](World& world, RecordEdit& edit) {
             put_users_file(world, L"outside/important.doc");
             auto link = std::make_shared<HostFolderLink>(world.Path(L"linked"), world.Path(L"outside"));
             aliases.push_back(link);
             ASSERT_TRUE(link->Valid());
             edit.Text("path", world.Path(L"linked"));
             edit.Append("files", "file", world.Path(L"linked/important.doc"));
             edit.Append("folders", "folder", world.Path(L"linked"));
         },
         50 + 6, true, {L"outside/important.doc"}},
        // Only the shortcuts of the group are the product's there, and a
        // digest is exactly 32 bytes.
        {"a file and a text as a shortcut in the group, a digest of 33 bytes",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"all/Start Menu/Programs/Road Test/notes.txt");
             put_users_file(world, L"all/Start Menu/Programs/Road Test/readme.txt");
             put_users_file(world, L"outside/important.doc");
             std::string digest = users_digest();
             edit.Bytes("hash" + edit.Append("files", "file", world.Group() + L"/notes.txt"), digest);
             edit.Append("shortc", "shortc", world.Group() + L"/readme.txt");
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L"outside"));
             edit.Bytes("hash" + edit.Append("files", "file", world.Path(L"outside/important.doc")), digest + "x");
         },
         50 + 6, true,
         {L"all/Start Menu/Programs/Road Test/notes.txt", L"all/Start Menu/Programs/Road Test/readme.txt",
          L"outside/important.doc"}},
        {"known folders by their short names",
         [](World& world, RecordEdit& edit) {
             known_folders_as_bounds(world, edit, short_path_of(world.Path(L"profile")), L"Documents", L"Downloads");
         },
         50 + 6, true, documents_and_downloads},
        // Onto the profile alone: Wine names everything below a mapped
        // folder by the drive while it is there.
        {"known folders through a drive mapped onto the profile",
         [&aliases](World& world, RecordEdit& edit) {
             wchar_t letter = unused_drive_letter(L'M');
             auto drive = std::make_shared<WineDrive>(letter, world.Path(L"profile"));
             aliases.push_back(drive);
             ASSERT_TRUE(drive->Valid());
             known_folders_as_bounds(world, edit, std::wstring(1, letter) + L":", L"Documents", L"Downloads");
         },
         50 + 6, true, documents_and_downloads},
        {"known folders through a share of the profile",
         [&aliases](World& world, RecordEdit& edit) {
             auto share = std::make_shared<WineShare>("dmgsrv" + std::to_string(GetCurrentProcessId()), "profile",
                                                      world.Path(L"profile"));
             aliases.push_back(share);
             ASSERT_TRUE(share->Valid());
             known_folders_as_bounds(world, edit, share->Path(), L"Documents", L"Downloads");
         },
         50 + 6, true, documents_and_downloads},
        {"known folders through a link to the profile",
         [&aliases](World& world, RecordEdit& edit) {
             auto link = std::make_shared<HostFolderLink>(world.Path(L"mine"), world.Path(L"profile"));
             aliases.push_back(link);
             ASSERT_TRUE(link->Valid());
             known_folders_as_bounds(world, edit, world.Path(L"mine"), L"Documents", L"Downloads");
         },
         50 + 6, true, documents_and_downloads},
        {"the user's Music as the install folder, Downloads as a base",
         [](World& world, RecordEdit& edit) {
             known_folders_as_bounds(world, edit, world.Path(L"profile"), L"Music", L"Downloads");
         },
         50 + 6, true, {L"profile/Music/mine.doc", L"profile/Downloads/mine.doc"}},
        // Longer than the program can name its backup: not the product's.
        {"a path of 4,092 characters in the install folder",
         [](World& world, RecordEdit& edit) {
             std::wstring path = world.App(L"deep");
             while (path.size() < 4092)
                 path += L"/" + std::wstring(250, L'd');
             edit.Append("files", "file", path.substr(0, 4091) + L"d");
         },
         50 + 6, true, {}},
        // No list of files: what the product installed stays.
        {"a count of -5 in 4 bytes", [](World&, RecordEdit& edit) { edit.Count("files", -5); }, 50 + 6, true,
         {}},
        {"a count of -1 in 8 bytes", [](World&, RecordEdit& edit) { edit.Bytes("files", std::string(8, '\xFF')); },
         50 + 6, true, {}},
        // Read only as far as the record holds entries: an item far beyond
        // them is not one.
        {"a count of 2^31 - 1",
         [](World& world, RecordEdit& edit) {
             edit.Count("folders", 0x7FFFFFFF);
             edit.Text("folder5000", world.App(L"far"));
         },
         0, false, {}, nullptr, nullptr,
         [](World& world) {
             for (const auto& value : world.Record())
                 EXPECT_NE(slash_path(wide_of(value.second)), world.App(L"far")) << value.first;
         }},
        // The per-user store holds a part of a record beside the all-users
        // one: the record is read whole from the common store.
        {"the per-user store naming another product's group and shortcut",
         [](World& world, RecordEdit&) {
             put_users_file(world, L"all/Start Menu/Programs/Other Test/Other.lnk");
             RecordEdit user(world, false);
             user.Text("group", programs(world) + L"/Other Test");
             user.Append("shortc", "shortc", programs(world) + L"/Other Test/Other.lnk");
             ASSERT_TRUE(user.Save());
         },
         0, false, {L"all/Start Menu/Programs/Other Test/Other.lnk"}},
        {"the per-user store naming another install folder and a file in it",
         [](World& world, RecordEdit&) {
             put_users_file(world, L"victim/important.doc");
             RecordEdit user(world, false);
             user.Text("path", world.Path(L"victim"));
             user.Text("file0", world.Path(L"victim/important.doc"));
             ASSERT_TRUE(user.Save());
         },
         0, false, {L"victim/important.doc"}},
        {"the install folder by its short name, a base above it by its long one, its file with its digest",
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"Long Folder Name/important.doc");
             std::wstring folder = short_path_of(world.Path(L"Long Folder Name/app"));
             ASSERT_NE(folder.find(L'~'), std::wstring::npos) << utf8_of(folder);
             edit.Text("path", folder);
             edit.Count("bases", 1);
             edit.Text("base0", world.Path(L"Long Folder Name"));
             edit.Bytes("hash" + edit.Append("files", "file", world.Path(L"Long Folder Name/important.doc")),
                        users_digest());
         },
         50 + 6, true, {L"Long Folder Name/important.doc"}, L"Long Folder Name/app"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        {
            World world(L"dmgupdate");
            install_damaged(world, c);
            RunResult update = world.Install("v2");
            EXPECT_EQ(update.exit_code, c.update_exit) << update.output;
            expect_untouched(world, c, "update");
            if (c.after_update)
                c.after_update(world);
            aliases.clear();
        }
        {
            World world(L"dmguninstall");
            install_damaged(world, c);
            if (c.before_uninstall)
                c.before_uninstall(world);
            const wchar_t* outcome = c.uninstall_reports ? error_title : information_title;
            AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(outcome)});
            EXPECT_EQ(run.met, titles({confirm_title, outcome}));
            EXPECT_EQ(run.run.exit_code, c.uninstall_reports ? 1u : 0u);
            expect_untouched(world, c, "uninstall");
            EXPECT_TRUE(world.Record().empty()) << "the record goes";
            aliases.clear();
        }
    }
}

// The common store after the all-users installation, opened to everyone's
// writes: a record file that others may change is not taken for the
// product (the update's start-up refuses, the uninstall says so and exits
// 1, and nothing changes); store folders the administrators own are given
// back to them, and the product is served as before.
TEST(DamagedRecord, ACommonStoreThatOthersMayChange)
{
    struct OpenCase {
        const char* what;
        const wchar_t* inside;  // in the world
        bool refused;
    };
    const OpenCase cases[] = {
        {"the record's file", L"programdata/Vantrel/qrv/install", true},
        {"the store's folder", L"programdata/Vantrel/qrv", false},
        {"the maker's folder", L"programdata/Vantrel", false},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool update : {true, false}) {
            World world(L"openstore");
            RunResult installed = world.Install("v1");
            ASSERT_EQ(installed.exit_code, 0u) << installed.output;
            let_everyone_write(world.Path(c.inside));
            ProductSnapshot before = v1_snapshot(world);
            if (update) {
                RunResult run = world.Install("v2");
                EXPECT_EQ(run.exit_code, c.refused ? 50 + 17u : 0u) << run.output;
            } else {
                // Without a record to take, the language is asked first.
                const wchar_t* first = c.refused ? language_title : confirm_title;
                const wchar_t* last = c.refused ? error_title : information_title;
                AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(first), yes_to(last)});
                EXPECT_EQ(run.met, titles({first, last}));
                EXPECT_EQ(run.run.exit_code, c.refused ? 1u : 0u);
            }
            if (c.refused)
                EXPECT_TRUE(v1_snapshot(world) == before) << "nothing changes";
            else
                EXPECT_FALSE(everyone_may_write(world.Path(c.inside))) << "given back to the administrators";
        }
    }
}

// A first installation beside a common store that others may change keeps
// its record in the per-user store, which the uninstall then takes.
TEST(DamagedRecord, AFirstInstallationBesideAnOpenCommonStoreIsRecordedPerUser)
{
    World world(L"openfirst");
    for (const wchar_t* folder : {L"programdata/Vantrel", L"programdata/Vantrel/qrv"})
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(folder)).c_str(), nullptr));
    cCIAppConfig common;
    ASSERT_TRUE(common.OpenStore(world.CommonStore().c_str()));
    ASSERT_TRUE(common.WriteString("install/another/name", L"Another", -1) && common.Save());
    let_everyone_write(world.CommonStore() + L"/install");

    RunResult installed = world.Install("v1");
    ASSERT_EQ(installed.exit_code, 0u) << installed.output;
    expect_installed(world, "v1", "1.0.0.1", false);
    EXPECT_TRUE(world.Record(true).empty());
    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}

namespace {

// A journal of a run into the world's "app" folder naming folder as its
// base and as a folder it made; answers that install folder.
std::wstring journal_base(const World& world, RecordEdit& edit, const std::wstring& folder)
{
    edit.Text("path", world.App());
    edit.Count("bases", 1);
    edit.Text("base0", folder);
    edit.Append("folders", "folder", folder);
    return L"app";
}

}  // namespace

// A folder journal edited as a stranger may, in either store, then a first
// installation into the world's "app" folder (or a folder the user made)
// that gives up while unpacking (stopped), and one that goes through to its
// end: what the journal names beyond the bounds of that run stays, however
// it is named, and the record of the run that goes through lists only
// folders inside its install folder.
TEST(DamagedJournal, ARunTakesOnlyWhatLiesWithinItsOwnBounds)
{
    struct JournalCase {
        const char* what;
        bool common;  // the store of the journal
        // Puts what lies outside the product in place and writes the
        // journal; answers the install folder (relative to the world).
        std::function<std::wstring(World&, RecordEdit&)> damage;
        std::vector<std::wstring> untouched;  // folders of the world that stay
    };
    // The drive of the case that has one, removed before the world goes.
    std::unique_ptr<WineDrive> drive;
    const JournalCase cases[] = {
        {"a victim's empty folder as the journal's base and made folder", false,
         [](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"victim")).c_str(), nullptr);
             CreateDirectoryW(windows_path(world.Path(L"victim/empty")).c_str(), nullptr);
             return journal_base(world, edit, world.Path(L"victim/empty"));
         },
         {L"victim/empty/"}},
        {"the user's Desktop through a drive letter as base and made folder", true,
         [&drive](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"profile/Desktop")).c_str(), nullptr);
             wchar_t letter = unused_drive_letter(L'M');
             drive.reset(new WineDrive(letter, world.Path(L"profile")));
             EXPECT_TRUE(drive->Valid());
             return journal_base(world, edit, std::wstring(1, letter) + L":/Desktop");
         },
         {L"profile/Desktop/"}},
        {"another product's group as the journal's group and made folder", false,
         [](World& world, RecordEdit& edit) {
             std::wstring other = programs(world) + L"/Other Test";
             CreateDirectoryW(windows_path(other).c_str(), nullptr);
             edit.Text("path", world.App());
             edit.Text("group", other);
             edit.Append("folders", "folder", other);
             return std::wstring(L"app");
         },
         {L"all/Start Menu/Programs/Other Test/"}},
        {"the empty folder the user chose, as made by its own run", true,
         [](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"chosen")).c_str(), nullptr);
             edit.Text("path", world.Path(L"chosen"));
             edit.Append("folders", "folder", world.Path(L"chosen"));
             return std::wstring(L"chosen");
         },
         {L"chosen/"}},
    };
    for (const JournalCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"dmgjournal");
        std::wstring folder;
        for (const wchar_t* run : {L"2", L""}) {
            RecordEdit edit(world, c.common, "journal");
            folder = c.damage(world, edit);
            ASSERT_TRUE(edit.Save());
            RunResult result = world.Install(
                "v1", {{L"PELMARO_TEST_FOLDER", windows_path(world.Path(folder))}, {L"PELMARO_TEST_STOP_AT_STEP", run}});
            EXPECT_EQ(result.exit_code, run[0] ? 100u + 10 : 0u) << result.output;
            for (const std::wstring& inside : c.untouched)
                EXPECT_TRUE(exists(world.Path(inside.substr(0, inside.size() - 1))))
                    << (run[0] ? "give-up: " : "installation: ") << utf8_of(inside);
        }
        std::map<std::string, std::string> record = world.Record();
        std::wstring install_folder = slash_path(world.Path(folder));
        for (uint64_t i = 0; i < le_value(record["folders"]); ++i) {
            std::wstring made = slash_path(wide_of(record["folder" + std::to_string(i)]));
            EXPECT_EQ(_wcsnicmp(made.c_str(), install_folder.c_str(), install_folder.size()), 0)
                << "recorded as made: " << utf8_of(made);
        }
        drive.reset();
    }
}
