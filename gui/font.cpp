#include "gui/font.h"

#include "gui/canvas.h"

cFontObject::cFontObject() : width(0), height(0), bold(false), underline(false), italic(false) {}

cFontObject::~cFontObject() {}

// Faces compare unit by unit, so "Tahoma" and "tahoma" are two fonts.
bool cFontObject::Matches(const void* key) const
{
    const cFontKey* asked = static_cast<const cFontKey*>(key);
    if (!asked || asked->width != width || asked->height != height || asked->bold != bold ||
        asked->underline != underline || asked->italic != italic)
        return false;
    const wchar_t* own = face.Text() ? face.Text() : L"";
    const wchar_t* other = asked->face ? asked->face : L"";
    while (*own && *own == *other) {
        ++own;
        ++other;
    }
    return *own == *other;
}

bool cFontObject::SelectInto(cCanvas* canvas) { return canvas && canvas->SelectFont(this); }

bool cFontObject::MeasureW(cCanvas*, const wchar_t*, int32_t, cSize*) { return false; }

bool cFontObject::MeasureA(cCanvas*, const char*, int32_t, cSize*) { return false; }
