#ifndef TOOLS_PACKAGE_SCENARIO_READER_H
#define TOOLS_PACKAGE_SCENARIO_READER_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "tools/package/package.h"

// Results of read_scenario and of the section parsers.
enum : int32_t {
    SCENARIO_OK = 0,
    SCENARIO_NO_SOURCE = 1,         // the file cannot be opened or read
    SCENARIO_UNKNOWN_SECTION = 2,
    SCENARIO_AFTER_HEADER = 3,      // text after a section header
    SCENARIO_NO_SECTION = 4,        // a content line before any header
    SCENARIO_UNKNOWN_KEY = 5,
    SCENARIO_SYNTAX = 6,            // a missing '=' or ',', or text where the line should end
    SCENARIO_BAD_TEXT = 7,          // a quoted text or reference missing, malformed or too long; a line
                                    // that is not text (a lone UTF-16 surrogate, a NUL byte without a
                                    // byte-order mark)
    SCENARIO_BAD_NUMBER = 8,
    SCENARIO_NO_LANGUAGE = 9,
    SCENARIO_NO_CODENAME = 10,
    SCENARIO_NO_LICENCE = 11,
    SCENARIO_LICENCE_LANGUAGE = 12, // the licence lacks a declared language
    SCENARIO_WELCOME_LANGUAGE = 13,
    SCENARIO_README_LANGUAGE = 14,
    SCENARIO_STRING_LANGUAGE = 15,  // a language's own string is missing in another
    SCENARIO_BAD_LANGUAGE = 16,     // not a language code, or not declared
    SCENARIO_BAD_KEY = 17,          // a [Strings] key empty, too long or "pgm" (the installer sets it)
    SCENARIO_BAD_VERSION = 18,      // fewer than two numbers, or one outside 0-65,535
    SCENARIO_BAD_WELCOME = 19,
    SCENARIO_BAD_README = 20,
    SCENARIO_BAD_LICENCE = 21,
    SCENARIO_BAD_ITEM = 23,         // a folder item, or a file's target path, malformed
    SCENARIO_BAD_PLATFORM = 24,
    SCENARIO_BAD_INSTALL_LINE = 25,
    SCENARIO_BAD_SOURCE = 26,       // a source missing, empty, unreadable or not listable
    SCENARIO_BAD_ACCESS = 27,
};

// How the scenario's bytes were read as text.
enum : int32_t {
    SCENARIO_TEXT_UNREAD = 0,  // the file could not be read
    SCENARIO_TEXT_UTF8 = 1,    // no byte-order mark, well-formed UTF-8
    SCENARIO_TEXT_UTF8_MARKED = 2,
    SCENARIO_TEXT_UTF16_LE = 3,
    SCENARIO_TEXT_UTF16_BE = 4,
    SCENARIO_TEXT_ANSI = 5,    // no byte-order mark, not UTF-8
};

struct cScenarioEncoding {
    int32_t kind;       // SCENARIO_TEXT_*
    int32_t ansi_line;  // ANSI: the line (from 0) of the first byte that is not UTF-8
};

// Reads the scenario file into the emptied package: its documents compiled
// and its files compressed into members on the way. Line numbers count from
// 0; line is the line that failed, or -1 after the whole file was read (the
// final checks). The file is UTF-16 or UTF-8 after its byte-order mark;
// without one, UTF-8 when it is well formed, else the ANSI code page, and
// refused (SCENARIO_BAD_TEXT) when it holds a NUL byte, as UTF-16 without
// its mark does; encoding (when given) says which. A failure whose code
// does not tell its cause leaves the cause in the package's scenario_fault.
// Every file read is noted in the package's scenario_inputs.
int32_t read_scenario(const wchar_t* path, cPackage& package, int32_t& line, cScenarioEncoding* encoding = nullptr);

// Sets the package's scenario_fault (wide printf-style, cut at 1,023
// units) and answers code.
int32_t scenario_fail(cPackage& package, int32_t code, const wchar_t* format, ...);

// Tokens, each on a cursor into a NUL-terminated line that it advances.
// Blanks are tab, LF, CR and space; a line "ends" at its NUL or a '#'.
void scenario_skip_blanks(const wchar_t*& at);
bool scenario_line_ends(const wchar_t* at);
// Blanks, '=', blanks.
bool scenario_expect_equals(const wchar_t*& at);
// A double-quoted text with backslash taking the next character literally;
// the blanks after it are skipped. A text longer than a package holds
// (package_text_limit bytes of UTF-8) fails, its length the scenario fault.
bool scenario_read_quoted(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& text);
// $key (defined for every declared language) or a quoted literal, which
// gets a generated key ".0000", ".0001"... in the default strings; the key
// goes to key.
bool scenario_read_reference(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& key);
// A reference and, at once, a quoted path.
bool scenario_read_folder_item(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& key,
                               _guardchar<wchar_t>& path);
// Steps over word when the line continues with it.
bool scenario_skip_word(const wchar_t*& at, const wchar_t* word);

// The section parsers: one content line (from its first non-blank
// character) into the package; SCENARIO_OK or the line's fault.
int32_t scenario_read_general(cPackage& package, const wchar_t* line);
int32_t scenario_read_software(cPackage& package, const wchar_t* line);
int32_t scenario_read_strings(cPackage& package, const wchar_t* line);
int32_t scenario_read_install(cPackage& package, const wchar_t* line);
int32_t scenario_read_menu(cPackage& package, const wchar_t* line);
int32_t scenario_read_settings(cPackage& package, const wchar_t* line);
int32_t scenario_read_run(cPackage& package, const wchar_t* line);
int32_t scenario_read_deprecates(cPackage& package, const wchar_t* line);

// Compresses the files of every member that [Install] lines reserved, on
// every processor. False with the line of the first file (in scenario
// order) that cannot be packed, the file, its size and the cause in the
// package's scenario_fault.
bool scenario_compress_members(cPackage& package, int32_t& failed_line);

#endif
