#ifndef TOOLS_PACKAGE_PACKAGE_H
#define TOOLS_PACKAGE_PACKAGE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "sidoc/doc_loader.h"

// Language ids of a package: 0 ENG, 1 RUS, 2 DEU, 3 JPN, 4 KOR, 5 FRA,
// 6 UKR, 7 ESP, 8 CHN, 9 TWN; the format admits 0 to 10.
const uint32_t package_language_limit = 10;
// An access digit that was not given.
const uint8_t package_access_none = 8;
// The longest target path the install job can write: "<target>.tmp" in the
// long-path form Windows takes (32,767 units with the "\\?\" prefix and
// the NUL).
const int32_t package_target_limit = 32758;
// The folder key of the installation folder, set at install time.
extern const wchar_t package_pgm_key[];
// The most bytes of UTF-8 a package holds in a text, and in a key (whose
// bytes are stored zero-padded to a multiple of four).
const int32_t package_text_limit = 65535;
const int32_t package_key_limit = 65532;

// Key to text; keys are the packed UTF-8 of the key text.
typedef cTreeMap<cPackedKey, _guardchar<wchar_t>> cPackageStrings;

// A start-menu shortcut. Keys name strings of the package; folder keys name
// strings whose values are folders.
struct cPackageMenuEntry {
    _guardchar<wchar_t> name_key;
    _guardchar<wchar_t> description_key;
    _guardchar<wchar_t> target_folder_key;
    _guardchar<wchar_t> target_path;
    _guardchar<wchar_t> arguments_key;
    _guardchar<wchar_t> icon_folder_key;
    _guardchar<wchar_t> icon_path;
    uint8_t flag;  // bit 0: run as administrator
};

// One installed file: its data is the member of that index.
struct cPackageFileEntry {
    uint32_t member_index;
    _guardchar<wchar_t> folder_key;
    _guardchar<wchar_t> path;        // relative to the folder (package_relative_path_valid)
    cLinkedList<int32_t> languages;  // empty: every language
    bool for_32bit;
    bool for_64bit;
    // Access of the installing user, the Administrators and everyone: a
    // 3-bit mask each (4 read, 2 write, 1 execute), package_access_none
    // when not given.
    uint8_t access[3];
    int32_t line = -1;  // the scenario line that added it; -1 when read from a package
};

// A program or page offered on the finish page.
struct cPackageRunEntry {
    _guardchar<wchar_t> name_key;
    _guardchar<wchar_t> folder_key;
    _guardchar<wchar_t> path;
    _guardchar<wchar_t> arguments_key;
    bool ticked;
};

// An older product that this package replaces.
struct cPackageReplacedProduct {
    _guardchar<wchar_t> code_name;
    uint16_t major;  // 65,535: every version
};

// A file's data as the package holds it. The stored bytes are the member's
// own when it was made from a file, in runs of a few hundred kilobytes or
// more; a member read from a package refers to them in that package's
// record block, which the package keeps for as long as it keeps its members.
class cPackageMember {
public:
    cPackageMember() : unpacked_size(0), stored(nullptr), stored_size(0) {}
    cPackageMember(const cPackageMember&) = delete;
    cPackageMember& operator=(const cPackageMember&) = delete;
    cPackageMember& operator=(cPackageMember&& other);

    uint32_t unpacked_size;  // 0: the bytes are stored as they are
    uint8_t digest[32];      // SHA-256 of the file's own bytes

    // The stored bytes when they are in one piece (a member read from a
    // package, or a small one made from a file); null otherwise.
    const uint8_t* Bytes() const { return stored; }
    // The size of all the stored bytes.
    uint32_t Size() const { return stored_size; }
    // The runs of a member made from a file, in order; empty for one that
    // refers to its bytes.
    const cLinkedList<_typebuf<uint8_t>>& Runs() const { return own; }
    // Takes the runs over, leaving the list empty.
    void Own(cLinkedList<_typebuf<uint8_t>>& runs);
    // Bytes that someone else keeps for at least as long as the member.
    void Refer(const uint8_t* bytes, uint32_t size);
    void Clear();

private:
    cLinkedList<_typebuf<uint8_t>> own;
    const uint8_t* stored;
    uint32_t stored_size;
};

struct cPackageSetting {
    _guardchar<char> name;
    _typebuf<uint8_t> value;
};

// A member that the scenario reader has reserved for a file, to be
// compressed once the whole scenario is read.
struct cPendingMember {
    uint32_t index;
    _guardchar<wchar_t> source;
    uint32_t size;  // the file's size when the scenario named it
    int32_t line;   // the scenario line that named the file
};

// A document of the package: its stored blob and the loader that parsed it.
struct cPackageDocument {
    cSiDocLoader loader;
    _typebuf<uint8_t> bytes;
};

// The in-memory package: what a scenario builds and a package file holds.
// Owned by one thread at a time (documents load fonts: the UI thread).
class cPackage {
public:
    cPackage();
    cPackage(const cPackage&) = delete;
    cPackage& operator=(const cPackage&) = delete;

    cLinkedList<cPackageMenuEntry> menu;
    cLinkedList<cPackageFileEntry> files;
    cLinkedList<cPackageRunEntry> runs;
    cLinkedList<cPackageReplacedProduct> replaced;
    cPackageStrings strings;                           // the default strings
    cTreeMap<int32_t, cPackageStrings> language_strings;  // language id -> table
    int32_t current_language;
    uint32_t version[4];  // major, minor, sub-version, build
    _guardchar<wchar_t> support_url;
    _guardchar<wchar_t> publisher_url;
    _guardchar<wchar_t> updates_url;
    _guardchar<wchar_t> icon_folder_key;
    _guardchar<wchar_t> icon_path;
    cPackageDocument welcome;
    cPackageDocument readme;
    bool readme_accept;  // the user must tick the read-me's accept box
    cPackageDocument licence;
    // The record block of a package read from a file: its members' bytes lie
    // in it. Empty for a package that a scenario builds.
    _typebuf<uint8_t> block;
    cTreeMap<int32_t, cPackageMember> members;  // index 0, 1, 2... -> member
    cLinkedList<cPackageSetting> settings;

    // The scenario reader's state for one read, never stored in a package:
    // literal text -> its generated key, the next literal's number, the
    // current section and line, the members still to compress, the cause
    // of a failed read in words where its result code does not say it
    // (empty otherwise), and every file the read took bytes from (the
    // scenario, documents, pictures, product files) as it was named.
    cPackageStrings literals;
    uint32_t literal_counter;
    uint32_t scenario_section;
    int32_t scenario_line;
    cLinkedList<cPendingMember> pending_members;
    _guardchar<wchar_t> scenario_fault;
    cLinkedList<_guardchar<wchar_t>> scenario_inputs;

    // Empties everything but the current language.
    void Clear();

    // Switches the current language; false, with nothing changed, when the
    // package has no strings for it.
    bool SetLanguage(int32_t language);
    // The key's text in the current language, else in the default strings.
    // An empty value of the current language gives null, an empty default
    // value the empty text; a key found nowhere gives null.
    const wchar_t* GetString(const wchar_t* key) const;
    // The same in the given language instead of the current one.
    const wchar_t* GetStringIn(int32_t language, const wchar_t* key) const;
    // The current language's document of the welcome, read-me or licence
    // loader; null when it has none.
    cSiDocContainer* GetWelcomeDoc();
    cSiDocContainer* GetReadmeDoc();
    cSiDocContainer* GetEulaDoc();
};

// Number of members, which are numbered from 0.
uint32_t package_member_count(const cPackage& package);
// The member of that index; null when there is none.
const cPackageMember* package_member(const cPackage& package, uint32_t index);

// True when the key is in the default strings, is "pgm", or is in every
// language's table (any key when there is none). Otherwise false, and
// missing_language (when given) is the first language without it.
bool is_package_key_defined(const cPackage& package, const wchar_t* key, int32_t* missing_language);
// The first key that places something (the icon's folder, a shortcut's name,
// target and icon folders, a file's folder, a finish-page entry's name and
// folder) and is not defined; null when every one is. An icon's folder is
// tested only when the package has an icon.
const wchar_t* package_first_undefined_key(const cPackage& package);

// A member path relative to its folder: not empty, '/'-separated, and every
// segment a name Windows keeps for a file of its own (path_is_plain_file_name:
// so no segment is empty, ".", "..", a device or a stream name, and the path
// is not absolute), short enough for a target in a folder on a drive. Its
// last segment leaves room for the ".tmp" and ".bkp" names the installer
// writes beside it (package_leaf_limit), and no segment has the shape of
// the short name Windows may give another file (package_name_is_short_alias).
bool package_relative_path_valid(const wchar_t* path);

// The longest file name a member path ends in: "<name>.tmp" and
// "<name>.bkp" must still be names Windows takes (255 characters).
const int32_t package_leaf_limit = 251;

// A name (length units) of the shape Windows gives files as their short
// names ("LONG~XJ3.TXT"): one to eight characters holding a '~', then
// optionally a '.' and at most three more without a '.'. Such a member
// could be another member's short name, and the two would be one file.
bool package_name_is_short_alias(const wchar_t* name, int32_t length);

// A code name a package may carry, and the uninstall takes: not empty,
// neither '/' nor '\\', which would reach into another record or entry,
// and no blank (tab, line feed, carriage return, space) at either end, so
// that no two code names that read alike name one Windows entry.
bool package_code_name_valid(const wchar_t* name);

// The id of the language whose three-letter code the text starts with; -1
// for none. Codes are compared case-sensitively.
int32_t package_language_from_code(const wchar_t* text);

#endif
