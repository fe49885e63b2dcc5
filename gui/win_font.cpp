#include "gui/font.h"

#include <wchar.h>

#include "gui/text_extent.h"
#include "gui/win_canvas.h"

namespace {

int32_t round_size(double value) { return int32_t(value + 0.5); }

bool face_is(const wchar_t* face, const wchar_t* name) { return wcscmp(face, name) == 0; }

// The East Asian interface faces draw larger glyphs for the same logical
// size; these corrections make them fill the boxes laid out for "Tahoma".
void corrected_size(const wchar_t* face, int32_t weight, int32_t* width, int32_t* height)
{
    const int32_t w = *width;
    const int32_t h = *height;
    if (face_is(face, L"Meiryo")) {
        *width = h <= 16 ? round_size(w * 2.1) : round_size(w * 1.75);
        *height = h <= 16 ? round_size(h * 1.35) : round_size(h * 1.1);
    } else if (face_is(face, L"PMingLiU")) {
        *width = round_size(w * 1.2);
    } else if (face_is(face, L"SimSun")) {
        *width = round_size(w * 1.25);
    } else if (face_is(face, L"Microsoft YaHei")) {
        if (h > 15) {
            *width = round_size(w * 1.1);
            *height = round_size(h * 1.1);
        } else {
            *width = weight <= 400 ? 7 : 8;
            *height = weight <= 400 ? 18 : 19;
        }
    } else if (face_is(face, L"Microsoft JhengHei")) {
        if (h > 15) {
            *width = round_size(w * 1.15);
            *height = round_size(h * 1.15);
        } else {
            *width = weight <= 400 ? 6 : 7;
            *height = weight <= 400 ? 17 : 18;
        }
    }
}

int CALLBACK note_family(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The font is selected only for the measuring; the previous one returns.
template <class T>
bool measure_in_font(HDC dc, HFONT font, const T* text, int32_t length, cSize* size)
{
    if (!dc || !font || !text || !size)
        return false;
    HGDIOBJ previous = SelectObject(dc, font);
    bool measured = text_extent(dc, text, length, size);
    SelectObject(dc, previous);
    return measured;
}

}  // namespace

cWinFont::cWinFont() : handle(nullptr) {}

cWinFont::~cWinFont()
{
    if (handle)
        DeleteObject(handle);
}

bool cWinFont::Create(int32_t new_width, int32_t new_height, const wchar_t* new_face, bool new_bold,
                      bool new_underline, bool new_italic)
{
    return create_gdi_font(this, new_face, new_height, new_width, new_bold ? 700 : 400, new_italic, new_underline);
}

bool cWinFont::MeasureW(cCanvas* canvas, const wchar_t* text, int32_t length, cSize* size)
{
    cWinCanvas* target = dynamic_cast<cWinCanvas*>(canvas);
    return target && measure_text_on_dc(target->GetDeviceContext(), handle, text, length, size);
}

bool cWinFont::MeasureA(cCanvas* canvas, const char* text, int32_t length, cSize* size)
{
    cWinCanvas* target = dynamic_cast<cWinCanvas*>(canvas);
    return target && measure_in_font(target->GetDeviceContext(), handle, text, length, size);
}

bool create_gdi_font(cWinFont* font, const wchar_t* face, int32_t height, int32_t width, int32_t weight, bool italic,
                     bool underline)
{
    if (!font)
        return false;
    if (font->handle) {
        DeleteObject(font->handle);
        font->handle = nullptr;
    }
    if (!face)
        return false;
    corrected_size(face, weight, &width, &height);
    font->handle = CreateFontW(height, width, 0, 0, weight, italic, underline, FALSE, ANSI_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, face);
    return font->handle != nullptr;
}

bool measure_text_on_dc(HDC dc, HFONT font, const wchar_t* text, int32_t length, cSize* size)
{
    return measure_in_font(dc, font, text, length, size);
}

// GDI calls back for every font whose family (in any of its names) is the
// asked one; a missing face gives no call at all.
bool font_face_exists(const wchar_t* face)
{
    if (!face || !face[0] || wcslen(face) >= LF_FACESIZE)
        return false;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return false;
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcscpy(wanted.lfFaceName, face);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, note_family, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}
