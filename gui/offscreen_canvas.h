#ifndef GUI_OFFSCREEN_CANVAS_H
#define GUI_OFFSCREEN_CANVAS_H

#include <stdint.h>
#include <windows.h>

#include "gui/win_canvas.h"

// A canvas that draws into a 32-bit DIB section (its back buffer) and can
// hand the pixels out as an image. Set up with InitOffscreen.
class cWOffscreenCanvas : public cWinCanvas {
public:
    cWOffscreenCanvas();
    ~cWOffscreenCanvas() override;

    // The rectangle (null: the whole buffer) is in canvas coordinates, top
    // row first, and must lie inside the buffer; the image receives its
    // pixels bottom row first, as images store them.
    bool CopyPixels(cImageBuffer* image, const cRect* rect) override;

protected:
    bool CreateBackBuffer(int32_t width, int32_t height) override;
    void DeleteBackBuffer() override;

private:
    HBITMAP back_buffer;
    uint32_t* pixels;  // first stored row: the bottom row
};

#endif
