#include "tools/shell/own_path.h"

#include <windows.h>

#include "base/buffers/typebuf.h"
#include "base/path.h"

namespace {

// Long-path names reach 32,767 units.
const int32_t longest_path = 32768;

}  // namespace

bool get_own_program_path(_guardchar<wchar_t>& out)
{
    for (int32_t capacity = MAX_PATH; capacity <= 2 * longest_path; capacity *= 2) {
        _typebuf<wchar_t> name(capacity);
        if (!name.Data())
            return false;
        DWORD length = GetModuleFileNameW(nullptr, name.Data(), DWORD(capacity));
        if (length == 0)
            return false;
        // A name that fills the buffer may have been cut.
        if (length < DWORD(capacity)) {
            out.Assign(name.Data());
            path_from_native(out.Buffer());
            return !out.IsEmpty();
        }
    }
    return false;
}
