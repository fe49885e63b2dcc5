#ifndef GUI_FONT_H
#define GUI_FONT_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/owned_list.h"
#include "gui/geometry.h"

class cCanvas;

// What a font is asked for by. Faces compare exactly (case-sensitive).
struct cFontKey {
    int32_t width;
    int32_t height;
    const wchar_t* face;
    bool bold;
    bool underline;
    bool italic;
};

// A font of the process-wide cache.
class cFontObject : public cListItem {
public:
    cFontObject();
    ~cFontObject() override;

    // The argument is a cFontKey.
    bool Matches(const void* key) const override;
    virtual bool Create(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                        bool italic) = 0;
    virtual bool SelectInto(cCanvas* canvas);
    virtual bool MeasureW(cCanvas* canvas, const wchar_t* text, int32_t length, cSize* size);
    virtual bool MeasureA(cCanvas* canvas, const char* text, int32_t length, cSize* size);

    int32_t width;
    int32_t height;
    _guardchar<wchar_t> face;
    bool bold;
    bool underline;
    bool italic;
};

// A font backed by a GDI font.
class cWinFont : public cFontObject {
public:
    cWinFont();
    ~cWinFont() override;

    bool Create(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline, bool italic) override;
    bool MeasureW(cCanvas* canvas, const wchar_t* text, int32_t length, cSize* size) override;
    bool MeasureA(cCanvas* canvas, const char* text, int32_t length, cSize* size) override;

    HFONT GetHandle() const { return handle; }

private:
    friend bool create_gdi_font(cWinFont* font, const wchar_t* face, int32_t height, int32_t width, int32_t weight,
                                bool italic, bool underline);
    HFONT handle;
};

// The cached font of that description, made on first request and kept for
// the life of the process; null when none can be made.
cFontObject* font_get_cached(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                             bool italic);
// Makes the GDI font with the size corrections of the East Asian faces.
bool create_gdi_font(cWinFont* font, const wchar_t* face, int32_t height, int32_t width, int32_t weight, bool italic,
                     bool underline);
// Extent of the text (length -1: up to its NUL) in the font on the device
// context; the previously selected font is restored.
bool measure_text_on_dc(HDC dc, HFONT font, const wchar_t* text, int32_t length, cSize* size);
// Whether the system has a font family of that name. Asking GDI for a
// missing face silently gives another one, so a face is confirmed here
// before it is relied on.
bool font_face_exists(const wchar_t* face);

#endif
