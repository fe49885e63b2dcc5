#include "gui/child_element.h"
#include "gui/win_canvas.h"
#include "gui/wnd_translator.h"

// The whole tree is painted on every WM_PAINT, clipped to the update
// region; a root that asks for it is painted into a back buffer first, so
// that nothing flickers. BeginPaint is not used: the canvas reads the update
// region itself and the window is validated afterwards.
LRESULT cWndTranslator::PaintTree()
{
    HWND window = GetHandle();
    cWinCanvas canvas;
    if (canvas.BeginWindowPaint(nullptr, window) && root) {
        cCanvas* back_buffer = nullptr;
        if (root->GetBackBuffer())
            back_buffer = canvas.CreateOffscreen(canvas.GetWidth(), canvas.GetHeight(), -1, -1);
        if (back_buffer) {
            root->PaintTree(back_buffer);
            canvas.CopyArea(0, 0, back_buffer, 0, 0, back_buffer->GetWidth(), back_buffer->GetHeight());
            delete back_buffer;
        } else {
            root->PaintTree(&canvas);
        }
    }
    ValidateRect(window, nullptr);
    canvas.Release();
    return 0;
}
