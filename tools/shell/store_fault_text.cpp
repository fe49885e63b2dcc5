#include "tools/shell/store_fault_text.h"

#include "base/string_utils.h"
#include "tools/shell/catalog_text.h"

namespace {

// Texts of "pkgm::store".
enum {
    text_common_place = 1,
    text_user_place = 2,
    text_held = 3,
    text_common_unreadable = 4,
    text_user_unreadable = 5,
    // What a file that cannot be read holds, and what deleting it forgets,
    // around the text above.
    text_holds_records = 6,
    text_holds_journals = 7,
    text_holds_manager = 8,
    text_holds_language = 9,
    text_holds_nothing = 10,
};

// What the store file of that name holds, as the text that says so.
int32_t holds_text(const wchar_t* path)
{
    static const struct {
        const wchar_t* name;
        int32_t text;
    } files[] = {{L"install", text_holds_records},
                 {L"journal", text_holds_journals},
                 {L"installer", text_holds_manager},
                 {L"lang", text_holds_language}};
    const wchar_t* name = path;
    for (const wchar_t* at = path; at && *at; ++at)
        if (*at == L'/' || *at == L'\\')
            name = at + 1;
    for (const auto& file : files)
        if (name && wstr_compare_nocase(name, file.name) == 0)
            return file.text;
    return text_holds_nothing;
}

int32_t fault_text(const cStoreFault& fault)
{
    if (fault.kind == CFG_FAULT_HELD)
        return text_held;
    if (fault.kind == CFG_FAULT_UNREADABLE)
        return fault.common ? text_common_unreadable : text_user_unreadable;
    return fault.common ? text_common_place : text_user_place;
}

}  // namespace

void format_store_refusal(_guardchar<wchar_t>& out, const wchar_t* road_text, const cStoreFault& fault,
                          const wchar_t* shown)
{
    _guardchar<wchar_t> told, holds;
    format_catalog_path(told, section_text(L"pkgm::store", fault_text(fault)), shown ? shown : fault.place.Text());
    // A file that cannot be read is told by what deleting it would forget.
    if (fault.kind == CFG_FAULT_UNREADABLE) {
        format_catalog_text(holds, section_text(L"pkgm::store", holds_text(fault.place.Text())), told.Text());
        told.Swap(holds);
    }
    format_catalog_text(out, road_text, told.Text());
}
