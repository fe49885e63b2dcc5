#include "sidoc/doc_format.h"

#include "gui/ui_font.h"

const wchar_t* doc_face_name(uint32_t face)
{
    static const wchar_t* const named_faces[doc_face_count - 1] = {
        L"Courier", L"Malgun Gothic", L"Verdana", L"Lucida Sans", L"Microsoft YaHei", L"PMingLiU",
    };
    if (face == 0)
        return get_ui_font_face_name();
    return face < doc_face_count ? named_faces[face - 1] : nullptr;
}
