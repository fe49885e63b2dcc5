#ifndef TOOLS_SHELL_PELMARO_APP_H
#define TOOLS_SHELL_PELMARO_APP_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/application.h"

// The program's modes, chosen once by cPelmaroApp::Init.
enum : uint32_t {
    PELMARO_MODE_MANAGER = 0,    // no argument: the main window
    PELMARO_MODE_INSTALL = 1,    // a filled self-command block, or "install" <package> [offset]
    PELMARO_MODE_UNINSTALL = 2,  // "uninstall" <code name>
    PELMARO_MODE_UPDATE = 3,     // "update" <code name> ["quite"]
    PELMARO_MODE_MAKE = 4,       // "make" <scenario> <target>
    PELMARO_MODE_REMOVE = 5,     // "remove"
    PELMARO_MODE_VERSION = 6,    // "version"
};
const uint32_t pelmaro_mode_count = 7;

// The exit code of a mode whose entry the program was built without.
const int32_t mode_not_available_exit_code = 126;

class cPelmaroApp;

// Runs one mode with the arguments that Init kept; answers the exit code.
typedef int32_t (*tModeEntry)(const cPelmaroApp& application);

// The application object that the GUI runner drives: Init sets up the
// interface language and takes the mode from the self-command block or the
// command line, Run calls that mode's entry and answers its exit code.
// The entries come from the program's main, by mode number, so that the
// shell stands without the parts that do the modes' work; a null table or
// entry is a mode this build does not carry.
class cPelmaroApp : public cCIApplication {
public:
    explicit cPelmaroApp(const tModeEntry* mode_entries = nullptr);
    ~cPelmaroApp() override;

    // arguments as CommandLineToArgvW split them, argv[0] included in the
    // count (a null vector counts as none). False for an unknown first
    // word or missing arguments, without touching *exit_code.
    bool Init(int32_t argument_count, wchar_t** arguments, int32_t* exit_code) override;
    int32_t Run() override;

    uint32_t GetMode() const { return mode; }
    // The program's own file as the system names it ('/' form).
    const wchar_t* GetOwnPath() const { return own_path.Text(); }
    // Package path (install), code name (uninstall, update) or scenario (make).
    const wchar_t* GetFirstArgument() const { return first_argument.Text(); }
    // Target file (make).
    const wchar_t* GetSecondArgument() const { return second_argument.Text(); }
    uint32_t GetPackageOffset() const { return package_offset; }
    bool IsQuiet() const { return quiet != 0; }

private:
    bool ChooseModeFromWords(int32_t argument_count, wchar_t** arguments);

    const tModeEntry* entries;
    uint32_t mode;
    _guardchar<wchar_t> own_path;
    _guardchar<wchar_t> first_argument;
    _guardchar<wchar_t> second_argument;
    uint32_t package_offset;
    uint8_t quiet;
};

#endif
