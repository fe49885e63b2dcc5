#include "gui/canvas.h"

// The abstract surface draws nothing; window and offscreen canvases do.

cCanvas::~cCanvas() {}

int32_t cCanvas::GetWidth() { return 0; }
int32_t cCanvas::GetHeight() { return 0; }
bool cCanvas::DrawTextColoured(int32_t, int32_t, bool, const wchar_t*, int32_t) { return false; }
bool cCanvas::DrawTextUtf8(int32_t, int32_t, bool, const char*, int32_t) { return false; }
bool cCanvas::FillRect(const cRect*, uint32_t, uint32_t) { return false; }
bool cCanvas::DrawImage(int32_t, int32_t, const cImageBuffer*, int32_t, int32_t) { return false; }
bool cCanvas::DrawImageAt(const cPoint*, const cImageBuffer*, const cSize*) { return false; }
bool cCanvas::DrawImageScaled(const cPoint*, const cImageBuffer*, const cSize*) { return false; }
bool cCanvas::DrawLine(const cPoint*, const cPoint*) { return false; }
bool cCanvas::CopyArea(int32_t, int32_t, cCanvas*, int32_t, int32_t, int32_t, int32_t) { return false; }
bool cCanvas::ExcludeClipRect(const cRect*) { return false; }
bool cCanvas::IncludeClipRect(const cRect*) { return false; }
bool cCanvas::SetLinePen(uint32_t, int32_t) { return false; }
bool cCanvas::SelectFont(cFontObject*) { return false; }
bool cCanvas::SelectFontBy(int32_t, int32_t, const wchar_t*, bool, bool, bool) { return false; }
cFontObject* cCanvas::GetFont(int32_t, int32_t, const wchar_t*, bool, bool, bool) { return nullptr; }
bool cCanvas::SetTextColours(uint32_t, uint32_t) { return false; }
uint32_t cCanvas::GetBackgroundColour() { return 0; }
bool cCanvas::MeasureTextW(const wchar_t*, int32_t, cSize*) { return false; }
bool cCanvas::MeasureTextA(const char*, int32_t, cSize*) { return false; }
bool cCanvas::FitTextW(const wchar_t*, int32_t, _typebuf<int32_t>&) { return false; }
bool cCanvas::FitTextA(const char*, int32_t, _typebuf<int32_t>&) { return false; }
bool cCanvas::IsRectVisible(const cRect*) { return false; }
bool cCanvas::CopyPixels(cImageBuffer*, const cRect*) { return false; }
cCanvas* cCanvas::CreateSubCanvas(const cRect*) { return nullptr; }
cCanvas* cCanvas::CreateOffscreen(int32_t, int32_t, int32_t, int32_t) { return nullptr; }
bool cCanvas::ApplyClip() { return true; }

bool cCanvas::IsRectInside(const cRect* rect)
{
    if (!rect)
        return false;
    return !(rect->x > GetWidth() || rect->y > GetHeight() || int64_t(rect->x) + rect->width < 0 ||
             int64_t(rect->y) + rect->height < 0);
}
