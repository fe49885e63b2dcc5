// The program's start-up up to its language form, for the start-up
// benchmark: pelmarodesk.exe's own entry and application object, whose run
// asks for one of the application's eight languages at once (no mode of
// the program reaches that form without an installation package yet).
#include <windows.h>

#include "base/buffers/typebuf.h"
#include "tools/shell/language_form.h"
#include "tools/shell/pelmaro_app.h"
#include "tools/shell/program_entry.h"

namespace {

class cLanguageFormStart : public cPelmaroApp {
public:
    int32_t Run() override
    {
        const uint32_t languages[] = {0, 2, 1, 6, 4, 3, 8, 9};
        _typebuf<uint32_t> ids{8};
        for (int32_t i = 0; i < 8; ++i)
            ids[i] = languages[i];
        return int32_t(run_language_selection(ids, nullptr, 0, L""));
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return run_program(new cLanguageFormStart);
}
