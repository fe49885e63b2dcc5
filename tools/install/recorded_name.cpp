#include "tools/install/recorded_name.h"

#include "base/app_config.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "tools/shell/record_keys.h"

namespace {

struct cNameSearch {
    const wchar_t* wanted;
    _guardchar<wchar_t> found;
};

bool match_record_name(const char* name, void* context)
{
    cNameSearch& search = *static_cast<cNameSearch*>(context);
    _guardchar<wchar_t> recorded;
    wstr_from_utf8(-1, name, recorded);
    if (!wstr_equal_as_names(recorded.Text(), search.wanted))
        return true;
    search.found.Swap(recorded);
    return false;
}

}  // namespace

bool find_recorded_code_name(cApplicationConfig& store, const wchar_t* code_name, _guardchar<wchar_t>& out)
{
    _guardchar<char> utf8, key;
    if (str_from_wstr_utf8(code_name, -1, utf8) <= 0 || !record_key_of(utf8.Text(), key))
        return false;
    if (cRecordReader(store, key.Text()).Exists()) {
        out.Assign(code_name);
        return true;
    }
    cNameSearch search = {code_name, {}};
    store.EnumChildren("install", match_record_name, &search);
    if (search.found.IsEmpty())
        return false;
    out.Swap(search.found);
    return true;
}
