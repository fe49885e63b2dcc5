#ifndef BASE_DYNAMIC_IMPORT_H
#define BASE_DYNAMIC_IMPORT_H

#include <windows.h>

// The export name of module as a function of type F; null when the module
// is null or has no such export. Used for functions that older Windows
// versions lack, so that the program still loads there.
template <class F>
F dynamic_import(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    // Through void*: a direct cast between unrelated function types warns.
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

#endif
