#ifndef TOOLS_SHELL_VERSION_QUERY_H
#define TOOLS_SHELL_VERSION_QUERY_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

// Versions a.b.c.d (each 0 to 65,535) packed as a<<48 | b<<32 | c<<16 | d,
// compared as one number. All ones stands for "no version".
const uint64_t no_version = ~uint64_t(0);

// The version's display text: "a.b.c.d" when d is not 0, else "a.b.c"
// when c is not 0, else "a.b". False when memory runs out.
bool format_version_text(const uint32_t parts[4], _guardchar<wchar_t>& out);
// The same of a packed version.
void format_packed_version(uint64_t version, _guardchar<wchar_t>& out);

// The version record that "version" mode writes to standard output, 16
// bytes little-endian: the two magic numbers, then the packed version.
const uint32_t version_record_magic = 0x14A4A6E3;
const uint32_t version_record_kind = 0x0000050F;
const uint32_t version_record_size = 16;

// How long the client waits for a child's answer before it ends the child.
const uint32_t version_query_timeout_ms = 10000;

// The program's own version, from the version text the build sets.
uint64_t get_own_version();

// Mode "version": writes the record to the standard output: the handle the
// parent gave with STARTF_USESTDHANDLES, else the process's own standard
// output (a shell's redirection, an inherited pipe). Exit code 0 when all
// 16 bytes were written, 1 otherwise (also when there is no standard
// output).
uint32_t run_version_mode();

// Starts the manager as "\"path\" version" with its standard output and
// error on a pipe and answers the version it reports; no_version when the
// file is missing, the child cannot start, its whole output is not one
// valid record, or it does not end within the time-out (it is then
// terminated). Blocks the calling thread meanwhile.
uint64_t query_manager_version(const wchar_t* manager_path);
// The same for any command line and time-out.
uint64_t query_version_of_command(const wchar_t* command_line, uint32_t timeout_ms);

#endif
