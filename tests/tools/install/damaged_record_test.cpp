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

#include "base/admin_access.h"
#include "base/ci_app_config.h"
#include "base/sha256.h"
#include "tests/support/file_access.h"
#include "tests/support/short_path.h"
#include "tests/support/wine_drives.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tools/shell/app_language.h"

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
    // A journal's stamp: now, in FILETIME ticks, as a run writes it.
    void StampNow()
    {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        Stamp(now, 0);
    }
    // A stamp later than what stands at path was made by milliseconds.
    void StampAfter(const std::wstring& path, int milliseconds)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExW(windows_path(path).c_str(), GetFileExInfoStandard, &data));
        Stamp(data.ftCreationTime, milliseconds);
    }
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
    void Stamp(FILETIME at, int later_ms)
    {
        uint64_t ticks = uint64_t(at.dwHighDateTime) << 32 | at.dwLowDateTime;
        store.WriteInt64((prefix + "since").c_str(), int64_t(ticks + uint64_t(later_ms) * 10000));
    }

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
        // Made since the journal's stamp, so only the record's bounds keep
        // the folders from the undo.
        {"a journal beside the record naming a folder of the user's, made since, as its install and made folder",
         [](World& world, RecordEdit&) {
             RecordEdit journal(world, true, "journal");
             journal.StampNow();
             for (const wchar_t* folder : {L"mine", L"mine/empty"}) {
                 ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(folder)).c_str(), nullptr));
                 journal.Append("folders", "folder", world.Path(folder));
             }
             journal.Text("path", world.Path(L"mine"));
             ASSERT_TRUE(journal.Save());
         },
         50 + 19, true, {L"mine/", L"mine/empty/"}},
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

// The digest a journal gives for another product's file.
enum Digest { no_digest, its_digest, other_digest };

// Another product's folder "pf/Other Product" with its other.exe (and, with
// a name, a file of the user's beside it), which the journal lists, named by
// the journal as its install folder (or "app"); the run at hand installs
// into "app".
std::function<std::wstring(World&, RecordEdit&)> other_product(const wchar_t* beside, Digest digest,
                                                               bool journal_in_app = false)
{
    return [=](World& world, RecordEdit& edit) {
        put_users_file(world, L"pf/Other Product/other.exe");
        if (beside)
            put_users_file(world, std::wstring(L"pf/Other Product/") + beside);
        edit.Text("path", journal_in_app ? world.App() : world.Path(L"pf/Other Product"));
        edit.StampNow();
        std::string index = edit.Append("files", "file", world.Path(L"pf/Other Product/other.exe"));
        uint8_t other[32];
        sha256_digest(other, "the run's", 9);
        if (digest != no_digest)
            edit.Bytes("hash" + index, digest == its_digest ? users_digest()
                                                            : std::string(reinterpret_cast<char*>(other), 32));
        return std::wstring(L"app");
    };
}

// The user's folder "mine" with an empty folder in it, made before the
// journal's stamp and listed by it as made with its install folder "mine".
std::wstring users_folder_as_made(World& world, RecordEdit& edit)
{
    for (const wchar_t* folder : {L"mine", L"mine/empty"})
        CreateDirectoryW(windows_path(world.Path(folder)).c_str(), nullptr);
    // Older than the stamp by more than the file system's clock may lag.
    Sleep(300);
    edit.Text("path", world.Path(L"mine"));
    edit.StampNow();
    edit.Append("folders", "folder", world.Path(L"mine"));
    edit.Append("folders", "folder", world.Path(L"mine/empty"));
    return L"app";
}

// The roads of the program that decide by what a store holds, each over
// the world's product, stop before they act: the manager's list, "Change",
// the remover and, with uninstall, the uninstall; each with its message
// telling of the store's fault at place, and exit code 1.
void expect_manager_roads_refused(const World& world, const std::wstring& program, StoreText told,
                                  const std::wstring& place, bool uninstall,
                                  const std::map<std::wstring, std::wstring>& run = no_variables)
{
    const std::wstring product = L" \"" + installers().code_name + L"\"";
    const struct {
        std::wstring arguments;
        const wchar_t* section;
        int32_t text;
    } roads[] = {
        {L"", L"pkgm::softm", 19},
        {L" update" + product, L"pkgm::updr", 3},
        {L" remove", L"pkgm::rem", 9},
        {L" uninstall" + product, L"pkgm::unin", 15},
    };
    for (const auto& road : roads) {
        if (!uninstall && road.text == 15)
            continue;
        AnsweredRun refused = run_answering(world, L"\"" + program + L"\"" + road.arguments,
                                            {naming_fault(error_title, road.section, road.text, told, place)}, run);
        EXPECT_EQ(refused.met, titles({error_title})) << utf8_of(road.section);
        EXPECT_EQ(refused.run.exit_code, 1u) << utf8_of(road.section);
    }
}

}  // namespace

// A common store that cannot serve a run with administrator rights: others
// than the administrators may change its record's or journal's file, its
// folder, its side folder or the maker's folder above a guarded store
// (opened after an all-users installation or made so by hand before the
// program came), with a planted record that names another product's file
// and a journal that names that file with its digest (and, in the side
// folder, links at the names of the new contents of the store's files, to
// files outside the product); or it cannot be written: a plain file, or a
// link to a folder the run may write, where its side folder belongs, a
// folder where a store file belongs; or another program holds its record's
// file; or what stands where its folders belong leaves such a run no common
// store: a file, a link to a guarded folder, a link to a file (then the
// product, installed by a run without those rights, the planted record and
// the journal are the per-user store's). Every road of a run with
// administrator rights refuses it before its first question, naming the
// place: the start-up of a first installation or an update, the uninstall
// of the product or of the planted record, and with the product installed
// the manager's list, the update check ("Change") and the manager's
// removal, each with exit code 1. Nothing planted is read or acted on,
// nothing is written into either store or where a link leads, the place
// gets no new access, nothing is recorded per user instead, and the
// manager stays.
TEST(DamagedRecord, ARunWithAdministratorRightsUsesItsCommonStoreOrStops)
{
    application_language_provider();
    apply_language(0);
    enum Blocker {
        opened, plain_file, link_to_folder, link_to_file, folder_as_file, side_link, held_file, held_lock, side_folder
    };
    struct OpenCase {
        const char* what;
        const wchar_t* inside;  // in the world
        Blocker blocker = opened;
        bool per_user = false;  // the product and the planted files in the per-user store
        StoreText told = common_place;
    };
    const OpenCase levels[] = {
        {"the record's file", L"programdata/Vantrel/qrv/install"},
        {"the journal's file", L"programdata/Vantrel/qrv/journal"},
        {"the store's folder", L"programdata/Vantrel/qrv"},
        {"the store's side folder", L"programdata/Vantrel/qrv/~save"},
        {"the maker's folder above a guarded store", L"programdata/Vantrel"},
        {"a file where the maker's folder belongs", L"programdata/Vantrel", plain_file, true},
        {"a link to a guarded folder where the maker's folder belongs", L"programdata/Vantrel", link_to_folder, true},
        {"a link to a file where the store's folder belongs", L"programdata/Vantrel/qrv", link_to_file, true},
        {"a file where the side folder belongs", L"programdata/Vantrel/qrv/~save", plain_file},
        {"a link to a folder the run may write where the side folder belongs", L"programdata/Vantrel/qrv/~save",
         side_link},
        {"a folder where the journal's file belongs", L"programdata/Vantrel/qrv/journal", folder_as_file},
        {"a folder where the record's new content goes", L"programdata/Vantrel/qrv/~save/install.new", side_folder},
        {"the record's file held by another program", L"programdata/Vantrel/qrv/install", held_file, false,
         held_store_file},
        // Any program that may read the store may lock it so.
        {"the record's lock kept by another program", L"programdata/Vantrel/qrv/~save/install.lock", held_lock, false,
         held_store_file},
    };
    enum Road { first_installation, update, uninstall_product, uninstall_planted };
    const char* const road_names[] = {"first installation", "update", "uninstall", "uninstall of the planted record"};
    for (const OpenCase& level : levels)
        for (Road road : {first_installation, update, uninstall_product, uninstall_planted}) {
            SCOPED_TRACE(std::string(level.what) + ", " + road_names[road]);
            World world(L"openstore-in-a-world-whose-name-is-long-enough-for-each-place-to-be-the-widest-line");
            std::wstring open = world.Path(level.inside);
            bool per_user = level.per_user;
            if (road == update || road == uninstall_product) {
                RunResult installed = world.Install("v1", per_user ? standard_user : no_variables);
                ASSERT_EQ(installed.exit_code, 0u) << installed.output;
            }
            put_users_file(world, L"pf/Other Product/other.exe");
            {
                // Made by hand where no run made them.
                RecordEdit folders(world, !per_user);
                cCIAppConfig store;
                ASSERT_TRUE(store.OpenStore(per_user ? world.UserStore().c_str() : world.CommonStore().c_str()));
                ASSERT_TRUE(store.WriteString("install/zz-planted/path", world.Path(L"pf/Other Product").c_str(), -1));
                ASSERT_TRUE(store.WriteInt64("install/zz-planted/ver", 1));
                ASSERT_TRUE(store.WriteInt32("install/zz-planted/files", 1));
                ASSERT_TRUE(
                    store.WriteString("install/zz-planted/file0", world.Path(L"pf/Other Product/other.exe").c_str(), -1));
                ASSERT_TRUE(store.Save());
            }
            {
                RecordEdit journal(world, !per_user, "journal");
                other_product(nullptr, its_digest)(world, journal);
                ASSERT_TRUE(journal.Save());
            }
            CreateDirectoryW(windows_path(world.Path(L"elsewhere")).c_str(), nullptr);
            // What the store's own saves made in the side folder goes with
            // it, where something else takes its place.
            if (level.blocker == side_link || (level.blocker == plain_file && !per_user)) {
                ASSERT_TRUE(remove_folder_of_files(open));
            }
            HANDLE held = INVALID_HANDLE_VALUE;
            switch (level.blocker) {
            case opened:
                CreateDirectoryW(windows_path(open).c_str(), nullptr);
                let_everyone_write(open);
                // Where every save goes through: links planted by whoever
                // may change it, to files outside the product.
                if (open == world.CommonStore() + L"/~save")
                    for (const wchar_t* name : {L"install", L"journal", L"installer", L"lang"}) {
                        DeleteFileW(windows_path(open + L"/" + name + L".new").c_str());
                        put_users_file(world, std::wstring(L"victims/") + name);
                        ASSERT_TRUE(make_host_link(open + L"/" + name + L".new", world.Path(L"victims/") + name));
                    }
                break;
            case plain_file:
                ASSERT_TRUE(put_file(open, "x"));
                break;
            case link_to_folder:
                CreateDirectoryW(windows_path(world.Path(L"guarded")).c_str(), nullptr);
                ASSERT_TRUE(path_set_admin_access(world.Path(L"guarded").c_str()));
                ASSERT_TRUE(make_host_link(open, world.Path(L"guarded")));
                break;
            case link_to_file:
                CreateDirectoryW(windows_path(world.Path(L"programdata/Vantrel")).c_str(), nullptr);
                put_users_file(world, L"victim.txt");
                ASSERT_TRUE(make_host_link(open, world.Path(L"victim.txt")));
                break;
            case folder_as_file:
                ASSERT_TRUE(DeleteFileW(windows_path(open).c_str()));
                ASSERT_TRUE(CreateDirectoryW(windows_path(open).c_str(), nullptr));
                break;
            case side_link:
                ASSERT_TRUE(make_host_link(open, world.Path(L"elsewhere")));
                break;
            case held_file:
                // As any user may, who may read it.
                held = CreateFileW(windows_path(open).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   0, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
                break;
            case held_lock: {
                held = CreateFileW(windows_path(open).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
                ASSERT_NE(held, INVALID_HANDLE_VALUE);
                OVERLAPPED at = {};
                ASSERT_TRUE(LockFileEx(held, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 4, 0, &at));
                break;
            }
            case side_folder:
                ASSERT_TRUE(CreateDirectoryW(windows_path(open).c_str(), nullptr));
                break;
            }
            std::map<std::wstring, std::string> store_before = tree_bytes(world.Path(L"programdata"));
            std::map<std::wstring, std::string> user_store_before = tree_bytes(world.Path(L"appdata"));
            std::map<std::wstring, std::string> manager_before = tree_bytes(world.Path(L"pf/Common Files"));
            bool was_open = everyone_may_write(open);
            ProductSnapshot before = v1_snapshot(world);

            if (road == first_installation || road == update) {
                // A first installation of two languages: refused before
                // the question.
                RunResult run = world.Install(road == update ? "v2" : "two");
                EXPECT_EQ(run.exit_code, 50 + 17u) << run.output;
                EXPECT_EQ(_wcsicmp(init_error_path(run.output, 17).c_str(), slash_path(open).c_str()), 0)
                    << "the message names the place: " << run.output;
                EXPECT_EQ(run.output.find("language"), std::string::npos) << run.output;
            } else {
                std::wstring code = road == uninstall_planted ? L"zz-planted" : installers().code_name;
                AnsweredRun run =
                    uninstall_in(world, code, {naming_fault(error_title, L"pkgm::unin", 15, level.told, open)},
                                 no_variables, killable_program());
                EXPECT_EQ(run.met, titles({error_title}));
                EXPECT_EQ(run.run.exit_code, 1u);
            }
            if (road == update)
                expect_manager_roads_refused(world, killable_program(), level.told, open, false);
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            EXPECT_TRUE(tree_bytes(world.Path(L"programdata")) == store_before) << "the store as it was";
            EXPECT_EQ(everyone_may_write(open), was_open) << "no new access";
            EXPECT_TRUE(v1_snapshot(world) == before) << "the product as it was";
            EXPECT_TRUE(tree_bytes(world.Path(L"appdata")) == user_store_before)
                << "nothing recorded or made in the per-user store";
            EXPECT_TRUE(tree_bytes(world.Path(L"pf/Common Files")) == manager_before) << "the manager stays";
            EXPECT_TRUE(tree_bytes(world.Path(L"elsewhere")).empty()) << "nothing made where a link leads";
            EXPECT_EQ(file_bytes(world.Path(L"pf/Other Product/other.exe")), users_content);
            if (level.blocker == link_to_file) {
                EXPECT_EQ(file_bytes(world.Path(L"victim.txt")), users_content);
            }
            std::set<std::wstring> victims;
            list_files(world.Path(L"victims"), L"", victims);
            for (const std::wstring& victim : victims)
                EXPECT_EQ(file_bytes(world.Path(L"victims/") + victim), users_content) << utf8_of(victim);
        }
}

// The store a run only reads counts only where it could be read: the
// per-user store of a product installed for one user, under a run with
// administrator rights, whose record's file is damaged (its first bytes
// overwritten), held by another program that shares nothing, or a folder;
// and the common store of a product installed for all users, damaged, under
// the stand-in for a run without those rights. Every road that decides by
// what it holds stops before it acts, naming that file and who may mend
// it: the remover (the manager stays), the manager's list, "Change", the
// uninstall (the product's Windows entry stays) and the installer, which
// records nothing in the run's own store.
TEST(DamagedRecord, AStoreTheRunOnlyReadsCountsOnlyWhereItCouldBeRead)
{
    application_language_provider();
    apply_language(0);
    enum Blocker { damaged_file, held_file, folder_in_place, file_for_store_folder, file_for_maker_folder };
    struct ReadCase {
        const char* what;
        bool per_user_product;  // read by a run with administrator rights; else by the stand-in
        Blocker blocker;
        StoreText told;
    } cases[] = {
        {"the per-user record's file damaged", true, damaged_file, user_unreadable},
        {"the per-user record's file held", true, held_file, held_store_file},
        {"a folder in the per-user record's file's place", true, folder_in_place, user_place},
        {"the common record's file damaged, under the stand-in", false, damaged_file, common_unreadable},
        {"a plain file where the per-user store's folder belongs", true, file_for_store_folder, user_place},
        {"a plain file where the per-user maker's folder belongs", true, file_for_maker_folder, user_place},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"readonly-store-in-a-world-whose-name-is-long-enough-for-the-place-to-be-the-widest-line");
        const std::map<std::wstring, std::wstring>& product_run = c.per_user_product ? standard_user : no_variables;
        const std::map<std::wstring, std::wstring>& reading_run = c.per_user_product ? no_variables : standard_user;
        RunResult installed = world.Install("v1", product_run);
        ASSERT_EQ(installed.exit_code, 0u) << installed.output;
        std::wstring file = (c.per_user_product ? world.UserStore() : world.CommonStore()) + L"/install";
        HANDLE held = INVALID_HANDLE_VALUE;
        // Taken as the file is seen once nobody holds it.
        ProductSnapshot before = v1_snapshot(world);
        switch (c.blocker) {
        case damaged_file: {
            std::string bytes = file_bytes(file);
            bytes.replace(0, 8, "damaged!");
            ASSERT_TRUE(put_file(file, bytes));
            before = v1_snapshot(world);
            break;
        }
        case held_file:
            held = CreateFileW(windows_path(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            break;
        case folder_in_place:
            ASSERT_TRUE(DeleteFileW(windows_path(file).c_str()));
            ASSERT_TRUE(CreateDirectoryW(windows_path(file).c_str(), nullptr));
            before = v1_snapshot(world);
            break;
        case file_for_store_folder:
        case file_for_maker_folder:
            // The store moved aside, a file in its place: not a store
            // without records.
            file = c.blocker == file_for_store_folder ? world.UserStore() : world.Path(L"appdata/Vantrel");
            ASSERT_TRUE(MoveFileW(windows_path(file).c_str(), windows_path(file + L".aside").c_str()));
            ASSERT_TRUE(put_file(file, "not a folder"));
            before = v1_snapshot(world);
            break;
        }
        std::map<std::wstring, std::string> manager_before = tree_bytes(world.Path(L"pf/Common Files"));
        // The test build, which tells the words of its messages, also
        // stands in for a run without administrator rights.
        expect_manager_roads_refused(world, killable_program(), c.told, file, true, reading_run);
        RunResult install = world.Install("v1", reading_run);
        EXPECT_EQ(install.exit_code, 50 + 21u) << install.output;
        EXPECT_EQ(_wcsicmp(init_error_path(install.output, 21).c_str(), file.c_str()), 0) << install.output;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_TRUE(v1_snapshot(world) == before) << "the product, its record and its entry as they were";
        EXPECT_TRUE(tree_bytes(world.Path(L"pf/Common Files")) == manager_before) << "the manager stays";
        EXPECT_TRUE(world.Record(c.per_user_product).empty()) << "nothing recorded in the run's own store";
    }
}

// The store a run only reads stops it only by what records products: under
// a run with administrator rights, a per-user store whose language file,
// a stray file of the user's or whose side folder's name is damaged (a
// plain file at "~save"), or whose records' file is damaged, keeps nothing
// of that run's own product from being updated and uninstalled, nor (but
// for the records' file, which may hold it) from being installed anew; the
// per-user store stays byte for byte.
TEST(DamagedRecord, TheOtherStoreStopsARunOnlyByWhatRecordsProducts)
{
    struct OtherCase {
        const char* what;
        const wchar_t* name;
        bool records;
    } cases[] = {
        {"the language damaged", L"lang", false},
        {"a stray file", L"notes", false},
        {"a plain file for the side folder", L"~save", false},
        {"the records damaged", L"install", true},
    };
    for (const OtherCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"otherstore");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        for (const wchar_t* level : {L"appdata/Vantrel", L"appdata/Vantrel/qrv"})
            CreateDirectoryW(windows_path(world.Path(level)).c_str(), nullptr);
        ASSERT_TRUE(put_file(world.UserStore() + L"/" + c.name, "damaged!and cut sho"));
        std::map<std::wstring, std::string> users = tree_bytes(world.UserStore());
        RunResult update = world.Install("v2");
        EXPECT_EQ(update.exit_code, 0u) << update.output;
        expect_installed(world, "v2", "1.1");
        AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(run.met, titles({confirm_title, information_title}));
        EXPECT_EQ(run.run.exit_code, 0u);
        expect_v1_uninstalled(world);
        RunResult again = world.Install("v1");
        EXPECT_EQ(again.exit_code, c.records ? 50 + 21u : 0u) << again.output;
        EXPECT_TRUE(tree_bytes(world.UserStore()) == users) << "the per-user store as it was";
    }
}

// A run without administrator rights takes the update server's address from
// the common store where its own store has none: where that file of the
// common store cannot be read, "Change" asks no server at all (not the
// built-in one instead) and names the file, while the uninstall of the
// run's own product, which that file does not decide, goes on.
TEST(DamagedRecord, AnUnreadableServerAddressStopsOnlyTheUpdateCheck)
{
    application_language_provider();
    apply_language(0);
    World world(L"serveraddress-in-a-world-whose-name-is-long-enough-for-the-place-to-be-the-widest-line");
    install_other(world);
    ASSERT_EQ(world.Install("v1", standard_user).exit_code, 0u);
    std::wstring shared = world.CommonStore() + L"/installer";
    std::string bytes = file_bytes(shared);
    ASSERT_GT(bytes.size(), 8u);
    ASSERT_TRUE(put_file(shared, "damaged!" + bytes.substr(8)));
    AnsweredRun check =
        run_answering(world, L"\"" + killable_program() + L"\" update \"" + installers().code_name + L"\"",
                      {naming_fault(error_title, L"pkgm::updr", 3, common_unreadable, shared)}, standard_user);
    EXPECT_EQ(check.met, titles({error_title}));
    EXPECT_EQ(check.run.exit_code, 1u);
    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)},
                                   standard_user, killable_program());
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
    delete_entries(other_code());
}

// A folder journal edited as a stranger may, in either store, under a run
// with administrator rights (or a run with the user's own rights), then a
// first installation into the
// world's "app" folder (or a folder the user made) that gives up while
// unpacking (stopped), and one that goes through to its end. A run with
// administrator rights never acts on the per-user store's journal,
// which stays. From a store the run takes, only what proves to be the
// cut-off run's is touched: what the journal names beyond the bounds of the
// run, a file without its digest or with a backup beside other content, a
// folder or shortcut older than the journal stays, and the start-up says so
// (once: the journal goes); one made at its stamp, within the lag of the
// file system's clock, is the run's. The record of the run that goes
// through lists only folders inside its install folder, none that was there
// before.
TEST(DamagedJournal, ARunTakesOnlyWhatProvesToBeTheCutOffRunsWithinItsOwnBounds)
{
    struct JournalCase {
        const char* what;
        bool common;  // the store of the journal
        // Puts what lies outside the product in place and writes the
        // journal; answers the install folder (relative to the world).
        std::function<std::wstring(World&, RecordEdit&)> damage;
        // Files of the world that keep the user's content, and folders
        // (ending in '/') that stay.
        std::vector<std::wstring> untouched;
        bool said;  // the start-up says the journal named what is not the run's
        bool per_user_run = false;  // a run without administrator rights
    };
    const std::vector<std::wstring> other_and_backup = {L"pf/Other Product/other.exe",
                                                        L"pf/Other Product/other.exe.bkp"};
    const std::vector<std::wstring> other_and_temporary = {L"pf/Other Product/other.exe",
                                                           L"pf/Other Product/other.exe.tmp"};
    // The drive of the case that has one, removed before the world goes.
    std::unique_ptr<WineDrive> drive;
    const JournalCase cases[] = {
        {"a victim's empty folder as the journal's base and made folder", false,
         [](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"victim")).c_str(), nullptr);
             CreateDirectoryW(windows_path(world.Path(L"victim/empty")).c_str(), nullptr);
             return journal_base(world, edit, world.Path(L"victim/empty"));
         },
         {L"victim/empty/"}, false},
        {"the user's Desktop through a drive letter as base and made folder", true,
         [&drive](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"profile/Desktop")).c_str(), nullptr);
             wchar_t letter = unused_drive_letter(L'M');
             drive.reset(new WineDrive(letter, world.Path(L"profile")));
             EXPECT_TRUE(drive->Valid());
             return journal_base(world, edit, std::wstring(1, letter) + L":/Desktop");
         },
         {L"profile/Desktop/"}, true},
        {"another product's group as the journal's group and made folder", false,
         [](World& world, RecordEdit& edit) {
             std::wstring other = programs(world) + L"/Other Test";
             CreateDirectoryW(windows_path(other).c_str(), nullptr);
             edit.Text("path", world.App());
             edit.Text("group", other);
             edit.Append("folders", "folder", other);
             return std::wstring(L"app");
         },
         {L"all/Start Menu/Programs/Other Test/"}, false},
        {"the empty folder the user chose, as made by its own run", true,
         [](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"chosen")).c_str(), nullptr);
             edit.Text("path", world.Path(L"chosen"));
             edit.Append("folders", "folder", world.Path(L"chosen"));
             return std::wstring(L"chosen");
         },
         {L"chosen/"}, true},
        // The per-user store under a run with administrator rights:
        // read by nobody.
        {"another product's file with its digest, and its empty folder", false,
         [](World& world, RecordEdit& edit) {
             CreateDirectoryW(windows_path(world.Path(L"pf/Other Product")).c_str(), nullptr);
             CreateDirectoryW(windows_path(world.Path(L"pf/Other Product/empty")).c_str(), nullptr);
             edit.Append("folders", "folder", world.Path(L"pf/Other Product"));
             edit.Append("folders", "folder", world.Path(L"pf/Other Product/empty"));
             return other_product(nullptr, its_digest)(world, edit);
         },
         {L"pf/Other Product/other.exe", L"pf/Other Product/empty/"}, false},
        {"a backup planted beside another product's file, the journal without its digest", false,
         other_product(L"other.exe.bkp", no_digest), other_and_backup, false},
        {"a temporary file beside another product's file", false, other_product(L"other.exe.tmp", its_digest),
         other_and_temporary, false},
        {"a folder of the user's as the install folder, made before the journal", false, users_folder_as_made,
         {L"mine/empty/"}, false},
        // The same from the per-user store, under a run with the user's own
        // rights: the journal is taken, but proves nothing of it.
        {"a backup beside another product's file, the journal without its digest, a per-user run", false,
         other_product(L"other.exe.bkp", no_digest), other_and_backup, true, true},
        {"a folder of the user's made before the journal, a per-user run", false, users_folder_as_made,
         {L"mine/empty/"}, true, true},
        // The common store, which the run takes.
        {"a backup beside another product's file, the journal without its digest", true,
         other_product(L"other.exe.bkp", no_digest), other_and_backup, true},
        {"a backup beside another product's file that holds other content than the journal's digest", true,
         other_product(L"other.exe.bkp", other_digest), other_and_backup, true},
        {"a temporary file beside a listed file outside the run's folder, and a shortcut outside the group", true,
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"outside/Note.lnk");
             edit.Append("shortc", "shortc", world.Path(L"outside/Note.lnk"));
             return other_product(L"other.exe.tmp", its_digest, true)(world, edit);
         },
         {L"pf/Other Product/other.exe", L"pf/Other Product/other.exe.tmp", L"outside/Note.lnk"}, true},
        {"a folder of the user's made before the journal, installed into", true,
         [](World& world, RecordEdit& edit) {
             users_folder_as_made(world, edit);
             return std::wstring(L"mine");
         },
         {L"mine/", L"mine/empty/"}, true},
        {"a shortcut of the user's in the run's group, made before the journal", true,
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"all/Start Menu/Programs/Road Test/Mine.lnk");
             Sleep(300);
             edit.Text("path", world.App());
             edit.StampNow();
             edit.Append("shortc", "shortc", world.Group() + L"/Mine.lnk");
             return std::wstring(L"app");
         },
         {L"all/Start Menu/Programs/Road Test/Mine.lnk"}, true},
        // Stamped after it, within the lag of the file system's clock: the
        // run's own, which goes with the undo, and nothing to say.
        {"a shortcut in the run's group made right at the journal's stamp", true,
         [](World& world, RecordEdit& edit) {
             put_users_file(world, L"all/Start Menu/Programs/Road Test/Made.lnk");
             edit.Text("path", world.App());
             edit.StampAfter(world.Group() + L"/Made.lnk", 20);
             edit.Append("shortc", "shortc", world.Group() + L"/Made.lnk");
             return std::wstring(L"app");
         },
         {}, false},
    };
    for (const JournalCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"dmgjournal");
        std::wstring folder;
        {
            RecordEdit edit(world, c.common, "journal");
            folder = c.damage(world, edit);
            ASSERT_TRUE(edit.Save());
        }
        std::map<std::string, std::string> planted = world.Journal(c.common);
        std::map<std::wstring, std::wstring> into = c.per_user_run ? standard_user : no_variables;
        into[L"PELMARO_TEST_FOLDER"] = windows_path(world.Path(folder));
        const DamageCase untouched = {c.what, nullptr, 0, false, c.untouched};
        into[L"PELMARO_TEST_STOP_AT_STEP"] = L"2";
        RunResult stopped = world.Install("v1", into);
        EXPECT_EQ(stopped.exit_code, c.said ? 50u + 19 : 100u + 10) << stopped.output;
        expect_untouched(world, untouched, "give-up");
        into.erase(L"PELMARO_TEST_STOP_AT_STEP");
        RunResult installed = world.Install("v1", into);
        EXPECT_EQ(installed.exit_code, 0u) << installed.output;
        expect_untouched(world, untouched, "installation");
        if (!c.common && !c.per_user_run) {
            EXPECT_EQ(world.Journal(false), planted) << "the per-user journal stays as it was";
        }
        std::map<std::string, std::string> record = world.Record(!c.per_user_run);
        std::wstring install_folder = slash_path(world.Path(folder));
        for (uint64_t i = 0; i < le_value(record["folders"]); ++i) {
            std::wstring made = slash_path(wide_of(record["folder" + std::to_string(i)]));
            EXPECT_EQ(_wcsnicmp(made.c_str(), install_folder.c_str(), install_folder.size()), 0)
                << "recorded as made: " << utf8_of(made);
            for (const std::wstring& inside : c.untouched)
                EXPECT_NE(_wcsicmp((made + L"/").c_str(), slash_path(world.Path(inside)).c_str()), 0)
                    << "a folder that was there before recorded as made: " << utf8_of(made);
        }
        drive.reset();
    }
}
