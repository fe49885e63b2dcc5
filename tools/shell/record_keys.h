#ifndef TOOLS_SHELL_RECORD_KEYS_H
#define TOOLS_SHELL_RECORD_KEYS_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cApplicationConfig;

// The installation record of a product in the configuration store, under
// key = "install/<code name>" (numbers little-endian raw bytes, texts UTF-8),
// as the installer writes it (tools/install/install_record.h) and the
// installer, the uninstall, the remover and the manager read it:
//   <key>/ver        8 bytes  the packed version
//   <key>/lang       2 bytes  the installation's language, also written as
//   lang/current     2 bytes  the program's interface language
//   <key>/path                the install folder (the package string "pgm")
//   <key>/name, /updates, /support, /publisher   name and the three URLs
//   <key>/icon                the icon's path, when the package has one
//   <key>/utime      4 bytes  Unix seconds of the installation
//   <key>/files      4 bytes  N, then <key>/file0 .. file<N-1>: target paths
//   <key>/hash<i>   32 bytes  the SHA-256 of file<i> as installed, for each
//                             file outside the install folder (records
//                             before it have none)
//   <key>/bases      4 bytes  B, then <key>/base0 .. base<B-1>: the folders
//                             besides <key>/path that files went to (only
//                             when there are any; records before have none)
//   <key>/folders    4 bytes  F, then <key>/folder0 ..: the folders the
//                             installations made (records before have none)
//   <key>/shortc     4 bytes  M, then <key>/shortc0 ..: shortcut paths
//   <key>/group               the Start-menu folder of the shortcuts, when
//                             the product has one of its own (records
//                             before it have none)
//   <key>/cplns<k>, <key>/cplcs<k>   name and command line of each finish
//                    page entry with both, k from 0 without gaps
//   <key>/cplns<k>.<language>   the entry's name in each language the
//                    package has a non-empty text of it for (records
//                    before it have none)
//   <key>/since      8 bytes  the "since" of the journal of the run that
//                    wrote the record (records before it have none)
// What of it the product may touch is the business of cRecordBounds
// (tools/install/record_bounds.h). Shared by every product:
// "installer/app" (the installed manager's path) and "installer/shortcut"
// (its Start-menu shortcut).
//
// The journal of an install run, under "journal/<code name>", in the store
// its record will go to: the run saves it before it puts anything in place
// and deletes it with the save of its record, or once it gave up and
// removed what it made. Laid out as a record's values of the same names:
//   <key>/path               the install folder
//   <key>/since     8 bytes  FILETIME ticks (UTC) of when the run began to
//                            journal: what it made is not older
//   <key>/bases, base<i>, <key>/group   the folders besides the install
//                            folder and the Start-menu group of the run's
//                            package, as its record would name them
//   <key>/folders, folder<i> the folders the run made and is about to make,
//                            the install folder among them when it made it
//   <key>/files, file<i>     the files it writes
//   <key>/hash<i>            the SHA-256 of what it writes at file<i>
//   <key>/prior<i>  1 byte   a file stood at file<i> before the run (the
//                            previous installation's, or one of the same
//                            content): it is put back, never deleted
//   <key>/shortc, shortc<i>  the shortcuts it adds where none stood
// Whatever runs next for the product undoes a run cut off before its record
// from it (tools/install/cut_off_run.h), within the bounds of the run at
// hand (for an uninstall without a record, those the journal names as a
// record would), and only what proves to be that run's: a file by its
// digest, a folder or shortcut by being made since. Journals before these
// kept a digest only for the files a run added, listed only the files the
// record lacked, and had no "since".

// The names of a record's values, below its key.
const char record_version[] = "ver";
const char record_language[] = "lang";
const char record_folder[] = "path";
const char record_name[] = "name";
const char record_updates[] = "updates";
const char record_support[] = "support";
const char record_publisher[] = "publisher";
const char record_icon[] = "icon";
const char record_time[] = "utime";
const char record_group[] = "group";
const char record_file_digest[] = "hash";
const char record_entry_name[] = "cplns";
const char record_entry_command[] = "cplcs";
const char record_since[] = "since";
const char record_prior[] = "prior";

// An indexed list of a record: "<count>" counts it, "<item><i>" names item
// i, i from 0.
struct cRecordList {
    const char* count;
    const char* item;
};
const cRecordList record_files = {"files", "file"};
const cRecordList record_bases = {"bases", "base"};
const cRecordList record_made_folders = {"folders", "folder"};
const cRecordList record_shortcuts = {"shortc", "shortc"};

// The key below which every product's record is kept: "install".
extern const char record_names_key[];

// The record key "install/<code name>" of the UTF-8 code name; false for a
// null or empty one, or when memory runs out.
bool record_key_of(const char* code_name, _guardchar<char>& out);
// The folder journal's key "journal/<code name>", likewise.
bool folder_journal_key_of(const char* code_name, _guardchar<char>& out);
// key is a product's record or journal, or below one (or the key that
// holds them all).
bool is_product_key(const char* key);

// The keys of one record, "<key>/<name>" and its indexed forms. Each answer
// is valid until the next call; null when it cannot be formatted.
class cRecordKeys {
public:
    // record_key: "install/<code name>" (record_key_of).
    explicit cRecordKeys(const char* record_key);
    cRecordKeys(const cRecordKeys&) = delete;
    cRecordKeys& operator=(const cRecordKeys&) = delete;

    const char* Key() const { return key.Text(); }
    const char* Name(const char* name);
    // "<key>/<name><index>".
    const char* Indexed(const char* name, uint64_t index);
    // "<key>/<name><index>.<language>".
    const char* InLanguage(const char* name, uint64_t index, int32_t language);

private:
    _guardchar<char> key;
    int32_t size;
    _guardchar<char> buffer;
};

// Reads one record of a store; every read is false for a value the record
// lacks or cannot give as asked.
class cRecordReader {
public:
    cRecordReader(cApplicationConfig& store, const char* record_key);
    cRecordReader(const cRecordReader&) = delete;
    cRecordReader& operator=(const cRecordReader&) = delete;

    const char* Key() const { return keys.Key(); }
    // The record is there.
    bool Exists();
    // A number of 1 to 8 bytes, widened without sign extension.
    bool ReadNumber(const char* name, int64_t& out);
    bool ReadText(const char* name, _guardchar<wchar_t>& out);
    bool ReadText(const char* name, uint64_t index, _guardchar<wchar_t>& out);
    // "<name><index>.<language>".
    bool ReadTextIn(const char* name, uint64_t index, int32_t language, _guardchar<wchar_t>& out);
    // "hash<index>" when it holds exactly the 32 bytes of a digest.
    bool ReadDigest(uint64_t index, uint8_t digest[32]);
    // "<name><index>" is there, whatever it holds.
    bool HasItem(const char* name, uint64_t index);
    // How many items of the list to read: its count as stored (a negative
    // number of any width is no list), and never more than the names the
    // record holds, of which every item is one. False when the record has no
    // such list (no count, or a negative one).
    bool ListLength(const cRecordList& list, uint64_t& length);

private:
    cApplicationConfig& store;
    cRecordKeys keys;
    uint64_t names;  // the record's names, counted on first need
    bool names_counted;
};

#endif
