#ifndef TOOLS_INSTALL_INSTALL_RECORD_H
#define TOOLS_INSTALL_INSTALL_RECORD_H

class cApplicationConfig;
class cInstallContext;

// The installation record of a product in the configuration store, under
// key = "install/<code name>" (numbers little-endian raw bytes, texts UTF-8):
//   <key>/ver        8 bytes  the packed version
//   <key>/lang       2 bytes  the installation's language, also written as
//   lang/current     2 bytes  the program's interface language
//   <key>/path                the install folder (the package string "pgm")
//   <key>/name, /updates, /support, /publisher   name and the three URLs
//   <key>/icon                the icon's path, when the package has one
//   <key>/utime      4 bytes  Unix seconds of the installation
//   <key>/files      4 bytes  N, then <key>/file0 .. file<N-1>: target paths
//   <key>/bases      4 bytes  B, then <key>/base0 .. base<B-1>: the folders
//                             besides <key>/path that files went to (only
//                             when there are any; records before have none)
//   <key>/shortc     4 bytes  M, then <key>/shortc0 ..: shortcut paths
//   <key>/group               the Start-menu folder of the shortcuts, when
//                             one was made (records before it have none)
//   <key>/cplns<k>, <key>/cplcs<k>   name and command line of each finish
//                    page entry with both, k from 0 without gaps
// Every file lies inside <key>/path or a <key>/base<i>, and every shortcut
// inside <key>/group
// (record_bounds.h); a record naming anything else is damaged.
// Shared by every product: "installer/app" (the installed manager's path)
// and "installer/shortcut" (its Start-menu shortcut).

// Writes the record of the context's package, file list and created
// shortcuts into store under key. The single writes are not checked and
// nothing is saved: the caller deletes the old record first and saves after.
void write_install_record(cApplicationConfig& store, const cInstallContext& context, const char* key);

#endif
