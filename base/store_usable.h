#ifndef BASE_STORE_USABLE_H
#define BASE_STORE_USABLE_H

#include "base/buffers/guardchar.h"

// Whether a folder of store files (config_file.h) can keep a run's values,
// judged once, before anything of the store is opened, made or locked:
// every save goes through the side folder "~save", where the file's lock
// and its new content are made, so a store serves only where those can be
// made in a side folder of its own.
//
// The side folder is made when missing. Then, each judged as itself (a link
// or junction is never followed): the side folder must be a folder, every
// other name of the store folder a plain file (a store file), every name
// of the side folder a plain file (a lock, or a new content a kill left);
// with guarded, each of them also one that only the administrators may
// change (path_guarded_as_itself). Last, a file is made afresh in the side
// folder and deleted again. False at the first that fails, refused naming
// the place: the store folder where the side folder cannot be made, the
// side folder where nothing can be made in it, else the name in the way.
// folder: '/' form, with or without its final '/'.
bool store_folder_usable(const wchar_t* folder, bool guarded, _guardchar<wchar_t>& refused);

#endif
