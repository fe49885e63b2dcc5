#include "tools/shell/store_fault_text.h"

#include "tools/shell/catalog_text.h"

namespace {

// Texts of "pkgm::store".
enum {
    text_common_place = 1,
    text_user_place = 2,
    text_held = 3,
    text_common_unreadable = 4,
    text_user_unreadable = 5,
};

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
    _guardchar<wchar_t> told;
    format_catalog_path(told, section_text(L"pkgm::store", fault_text(fault)), shown ? shown : fault.place.Text());
    format_catalog_text(out, road_text, told.Text());
}
