#include "gui/font.h"

#include "base/owned_list.h"

// The process-wide font list: searched in insertion order, never shrunk, so
// the font objects handed out stay valid for the whole run. UI thread only.
static cOwnedList& font_cache()
{
    static cOwnedList fonts;
    return fonts;
}

cFontObject* font_get_cached(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                             bool italic)
{
    cFontKey key = {width, height, face, bold, underline, italic};
    cOwnedList& fonts = font_cache();
    if (cListItem* found = objlist_find_first(fonts, &key))
        return static_cast<cFontObject*>(found);
    cWinFont* font = new cWinFont;
    if (!font)
        return nullptr;
    if (!font->Create(width, height, face, bold, underline, italic)) {
        delete font;
        return nullptr;
    }
    font->width = width;
    font->height = height;
    font->face.Assign(face);
    font->bold = bold;
    font->underline = underline;
    font->italic = italic;
    objlist_append(fonts, font);
    return font;
}
