#include "gui/offscreen_canvas.h"
#include "gui/window_maker.h"

cCanvas* cWWMaker::CreateOffscreenCanvas(int32_t width, int32_t height)
{
    if (width < 1 || height < 1)
        return nullptr;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    cWOffscreenCanvas* canvas = new cWOffscreenCanvas;
    bool ready = canvas && canvas->InitOffscreen(screen, width, height, -1, -1);
    ReleaseDC(nullptr, screen);
    if (!ready) {
        delete canvas;
        return nullptr;
    }
    return canvas;
}
