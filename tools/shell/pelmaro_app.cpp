#include "tools/shell/pelmaro_app.h"

#include "base/small_utils.h"
#include "base/string_utils.h"
#include "gui/theme.h"
#include "tools/shell/app_language.h"
#include "tools/shell/own_path.h"
#include "tools/shell/self_command_block.h"

namespace {

// The largest offset an "install" command line may give; anything else is 0.
const int64_t largest_package_offset = 0xFFFFFFFE;

bool is_word(const wchar_t* argument, const wchar_t* word)
{
    return wstr_compare(argument, word) == 0;
}

}  // namespace

cPelmaroApp::cPelmaroApp(const tModeEntry* mode_entries)
    : entries(mode_entries), mode(PELMARO_MODE_MANAGER), package_offset(0), quiet(0)
{
}

cPelmaroApp::~cPelmaroApp() = default;

bool cPelmaroApp::Init(int32_t argument_count, wchar_t** arguments, int32_t* exit_code)
{
    if (!cCIApplication::Init(argument_count, arguments, exit_code))
        return false;
    // Once a process: the controls' shared caches borrow the theme's
    // images, which a second theme would leave dangling.
    static bool theme_installed = false;
    if (!theme_installed)
        theme_installed = cCITheme::Install(&builtin_theme);
    cCIApplication* application = get_current_application();
    if (!application || !application->GetConfig())
        return false;
    choose_startup_language(application->GetConfig());

    mode = PELMARO_MODE_MANAGER;
    package_offset = 0;
    quiet = 0;
    get_own_program_path(own_path);
    if (read_self_command_block(first_argument, package_offset)) {
        mode = PELMARO_MODE_INSTALL;
        return true;
    }
    if (!arguments || argument_count <= 1)
        return true;
    return ChooseModeFromWords(argument_count, arguments);
}

bool cPelmaroApp::ChooseModeFromWords(int32_t argument_count, wchar_t** arguments)
{
    const wchar_t* word = arguments[1];
    if (is_word(word, L"install")) {
        if (argument_count < 3)
            return false;
        first_argument.Assign(arguments[2]);
        mode = PELMARO_MODE_INSTALL;
        if (argument_count >= 4) {
            int64_t offset = parse_int64_w(arguments[3]);
            if (offset >= 0 && offset <= largest_package_offset)
                package_offset = uint32_t(offset);
        }
        return true;
    }
    if (is_word(word, L"uninstall")) {
        if (argument_count < 3)
            return false;
        first_argument.Assign(arguments[2]);
        mode = PELMARO_MODE_UNINSTALL;
        return true;
    }
    if (is_word(word, L"update")) {
        if (argument_count < 3)
            return false;
        first_argument.Assign(arguments[2]);
        quiet = argument_count >= 4 && is_word(arguments[3], L"quite");
        mode = PELMARO_MODE_UPDATE;
        return true;
    }
    if (is_word(word, L"make")) {
        if (argument_count != 4)
            return false;
        first_argument.Assign(arguments[2]);
        second_argument.Assign(arguments[3]);
        mode = PELMARO_MODE_MAKE;
        return true;
    }
    if (is_word(word, L"remove")) {
        mode = PELMARO_MODE_REMOVE;
        return true;
    }
    if (is_word(word, L"version")) {
        mode = PELMARO_MODE_VERSION;
        return true;
    }
    return false;
}

int32_t cPelmaroApp::Run()
{
    if (mode >= pelmaro_mode_count)
        return 0;
    return entries && entries[mode] ? entries[mode](*this) : mode_not_available_exit_code;
}
