#ifndef GUI_WIN_CANVAS_H
#define GUI_WIN_CANVAS_H

#include <stdint.h>
#include <windows.h>

#include "gui/canvas.h"

class cWinFont;

// A canvas drawn with GDI on a device context: a window's during painting,
// a memory device context (offscreen canvases), or a rectangle of another
// canvas whose device context it borrows (sub-canvases). Drawing
// coordinates are relative to the area's top-left corner; the regions are
// in device coordinates. Clip changes take effect with ApplyClip.
class cWinCanvas : public cCanvas {
public:
    cWinCanvas();
    ~cWinCanvas() override;

    // Sets the canvas up on the window's device context for the area (null:
    // the client rectangle); the clip is the area within the window's
    // update region. Released with ReleaseDC on that window.
    bool BeginWindowPaint(const cRect* area_or_null, HWND window);
    // Sets up a memory device context compatible with source and a back
    // buffer of width x height, copied from the source at (source_x,
    // source_y) unless both are -1. Only an offscreen canvas has a back
    // buffer; on any other canvas this answers false.
    bool InitOffscreen(HDC source, int32_t width, int32_t height, int32_t source_x, int32_t source_y);
    // Gives back the device context (unless borrowed), the regions and the
    // back buffer; the canvas may be set up again afterwards.
    void Release();
    // Null until set up.
    HDC GetDeviceContext() const { return dc; }

    int32_t GetWidth() override;
    int32_t GetHeight() override;
    bool DrawTextColoured(int32_t x, int32_t y, bool transparent, const wchar_t* text, int32_t length) override;
    bool DrawTextUtf8(int32_t x, int32_t y, bool transparent, const char* text, int32_t length) override;
    bool FillRect(const cRect* rect, uint32_t fill_colour, uint32_t frame_colour) override;
    bool DrawImage(int32_t x, int32_t y, const cImageBuffer* image, int32_t width, int32_t height) override;
    bool DrawImageAt(const cPoint* point, const cImageBuffer* image, const cSize* size) override;
    bool DrawImageScaled(const cPoint* point, const cImageBuffer* image, const cSize* size) override;
    bool DrawLine(const cPoint* from, const cPoint* to) override;
    bool CopyArea(int32_t x, int32_t y, cCanvas* source, int32_t source_x, int32_t source_y, int32_t width,
                  int32_t height) override;
    bool ExcludeClipRect(const cRect* rect) override;
    bool IncludeClipRect(const cRect* rect) override;
    bool SetLinePen(uint32_t colour, int32_t width) override;
    bool SelectFont(cFontObject* font) override;
    bool SelectFontBy(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                      bool italic) override;
    cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                         bool italic) override;
    bool SetTextColours(uint32_t text_colour, uint32_t background_colour) override;
    uint32_t GetBackgroundColour() override;
    bool MeasureTextW(const wchar_t* text, int32_t length, cSize* size) override;
    bool MeasureTextA(const char* text, int32_t length, cSize* size) override;
    bool FitTextW(const wchar_t* text, int32_t length, _typebuf<int32_t>& extents) override;
    bool FitTextA(const char* text, int32_t length, _typebuf<int32_t>& extents) override;
    bool IsRectVisible(const cRect* rect) override;
    cCanvas* CreateSubCanvas(const cRect* rect) override;
    cCanvas* CreateOffscreen(int32_t width, int32_t height, int32_t source_x, int32_t source_y) override;
    bool ApplyClip() override;

protected:
    // The back buffer of an offscreen canvas, made and selected into the
    // canvas's memory device context; the window canvas has none.
    virtual bool CreateBackBuffer(int32_t width, int32_t height);
    // Called by Release after the device context is gone.
    virtual void DeleteBackBuffer();

    struct cCachedPen {
        HPEN handle;
        uint32_t colour;  // 0xFFFFFFFF: none made yet
        int32_t width;
    };
    struct cCachedBrush {
        HBRUSH handle;
        uint32_t colour;  // 0xFFFFFFFF: none made yet
    };

    cRectEdges area;
    HDC dc;
    HWND window;     // null: a memory device context
    HRGN clip;       // the canvas's own clip
    HRGN update;     // what needs painting
    HRGN inherited;  // sub-canvases: the parent's clip within the area
    bool borrowed;   // the device context belongs to another canvas
    cCachedPen frame_pen;
    cCachedPen line_pen;
    cCachedBrush brush;
    cWinFont* font;  // not owned: fonts live in the process-wide cache
    uint32_t text_colour;
    uint32_t background_colour;

private:
    void SetUpDefaults();
    bool UsePen(cCachedPen& pen, uint32_t colour, int32_t width);
    bool UseBrush(uint32_t colour);
    void ReselectFont();
    void DeselectOwnObjects();
    bool ChangeClip(const cRect* rect, int mode);
    bool BlendText(int32_t x, int32_t y, const wchar_t* text, int32_t length);
};

#endif
