// The process entry of pelmarodesk.exe: the bare manager, every installer
// made from it and the package maker are this one program.
#include <windows.h>

#include "tools/shell/pelmaro_app.h"
#include "tools/shell/program_entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return run_program(new cPelmaroApp);
}
