#ifndef BASE_KNOWN_FOLDERS_H
#define BASE_KNOWN_FOLDERS_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

// Folders of the system and of the user as a whole, each named both ways
// Windows names it, so that a world whose environment points elsewhere and
// the machine's own folders both count: the environment (as Windows sets
// it for the process) and the shell. Paths are appended in internal form; a
// folder that neither names is left out, and a name may come twice.

// Program Files and its x86 twin, Common Files, ProgramData, Windows and
// System, the user's profile, Documents and Desktop (the user's and the
// public ones), Public, AppData (roaming and local), the Start menus with
// their Programs and Startup folders, as the environment names them; every
// known folder the shell registers (SHGetKnownFolderPath) and every CSIDL
// it answers (SHGetFolderPathW), also below the environment's profile,
// application data, program data, Program Files and Windows where the
// environment names those elsewhere; and the Temp folder.
void get_known_folders(cLinkedList<_guardchar<wchar_t>>& out);

// The Start menu's Programs folders, for all users and for this user.
void get_programs_folders(cLinkedList<_guardchar<wchar_t>>& out);

#endif
