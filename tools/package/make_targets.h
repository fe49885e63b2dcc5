#ifndef TOOLS_PACKAGE_MAKE_TARGETS_H
#define TOOLS_PACKAGE_MAKE_TARGETS_H

class cMakeLog;
class cPackage;

// The files that the scenario's [Install] lines add go where the installer
// can put them, in every language on both Windows: each inside its folder,
// no folder a root, no two of them one file, none the folder of another,
// none another's temporary or backup name, and no folder besides the
// install folder one that the start-up refuses (check_folder_strings: a
// name ending in a dot or blank, a folder of the system or of the user on
// this machine). Otherwise false, and the log (when given) names the
// scenario lines at fault and their targets. The package's current
// language is kept.
bool make_targets_sound(cPackage& package, cMakeLog* log);

#endif
