#ifndef GUI_CANVAS_H
#define GUI_CANVAS_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "gui/geometry.h"

class cFontObject;
struct cImageBuffer;

// The drawing surface every element paints on. Coordinates are relative to
// the canvas; colours are 0x00BBGGRR. The abstract class answers false, 0 or
// null for every primitive (true for ApplyClip); the text layouts and the
// clipped scaled image drawing are built here on top of the primitives.
// Canvases are destroyed with delete, which releases what they hold.
class cCanvas {
public:
    cCanvas() = default;
    virtual ~cCanvas();
    cCanvas(const cCanvas&) = delete;
    cCanvas& operator=(const cCanvas&) = delete;

    virtual int32_t GetWidth();
    virtual int32_t GetHeight();
    virtual bool DrawTextColoured(int32_t x, int32_t y, bool transparent, const wchar_t* text, int32_t length);
    virtual bool DrawTextUtf8(int32_t x, int32_t y, bool transparent, const char* text, int32_t length);

    // One line in the box (x, y, width, height) between the margins,
    // shortened with "..." when it does not fit. Alignment 0 left, 1 centre,
    // 2 right. Answers the x of the drawn text, or -1.
    virtual int32_t DrawTextLine(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                 bool transparent, int32_t left_margin, int32_t right_margin, const wchar_t* text,
                                 int32_t length, int32_t* drawn_width, bool fill_margins);
    virtual int32_t DrawTextLineUtf8(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                     bool transparent, int32_t left_margin, int32_t right_margin, const char* text,
                                     int32_t length, int32_t* drawn_width, bool fill_margins);
    // Word-wrapped text; alignment 0 left, 1 centre, 2 right, 3 justified.
    // A line spacing of 0.0 means the interface language's spacing.
    virtual bool DrawTextWrapped(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                 const wchar_t* text, cSize* size, bool transparent, double line_spacing);
    virtual bool DrawTextWrappedUtf8(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                     const char* text, cSize* size, bool transparent, double line_spacing);

    virtual bool FillRect(const cRect* rect, uint32_t fill_colour, uint32_t frame_colour);
    // Width or height -1 draws the image at its own size.
    virtual bool DrawImage(int32_t x, int32_t y, const cImageBuffer* image, int32_t width, int32_t height);
    virtual bool DrawImageAt(const cPoint* point, const cImageBuffer* image, const cSize* size);
    // Alpha-blended drawing, scaled to size (null: the image's size).
    virtual bool DrawImageScaled(const cPoint* point, const cImageBuffer* image, const cSize* size);
    virtual bool DrawLine(const cPoint* from, const cPoint* to);
    virtual bool CopyArea(int32_t x, int32_t y, cCanvas* source, int32_t source_x, int32_t source_y, int32_t width,
                          int32_t height);
    // The image scaled to width x height at (x, y); only the visible part is
    // scaled. Mode 0 linear, 1 area averaging.
    virtual bool DrawThemeImage(const cImageBuffer* image, int32_t width, int32_t height, int32_t x, int32_t y,
                                int32_t mode);
    // Clip changes take effect with ApplyClip.
    virtual bool ExcludeClipRect(const cRect* rect);
    virtual bool IncludeClipRect(const cRect* rect);
    virtual bool SetLinePen(uint32_t colour, int32_t width);
    virtual bool SelectFont(cFontObject* font);
    virtual bool SelectFontBy(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                              bool italic);
    virtual cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                                 bool italic);
    virtual bool SetTextColours(uint32_t text_colour, uint32_t background_colour);
    virtual uint32_t GetBackgroundColour();
    virtual bool MeasureTextW(const wchar_t* text, int32_t length, cSize* size);
    virtual bool MeasureTextA(const char* text, int32_t length, cSize* size);
    // extents[i] = width of the first i + 1 characters.
    virtual bool FitTextW(const wchar_t* text, int32_t length, _typebuf<int32_t>& extents);
    virtual bool FitTextA(const char* text, int32_t length, _typebuf<int32_t>& extents);
    virtual bool IsRectVisible(const cRect* rect);
    virtual bool IsRectInside(const cRect* rect);
    virtual bool CopyPixels(cImageBuffer* image, const cRect* rect);
    virtual cCanvas* CreateSubCanvas(const cRect* rect);
    // Source -1, -1: the new canvas starts blank instead of with a copy.
    virtual cCanvas* CreateOffscreen(int32_t width, int32_t height, int32_t source_x, int32_t source_y);
    virtual bool ApplyClip();
};

#endif
