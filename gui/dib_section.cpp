#include "gui/dib_section.h"

BITMAPINFO dib_info(int32_t width, int32_t height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biXPelsPerMeter = 3000;
    info.bmiHeader.biYPelsPerMeter = 3000;
    return info;
}

HBITMAP create_dib_section(HDC dc, int32_t width, int32_t height, uint32_t** bits)
{
    *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = dib_info(width, height);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap || !pixels) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
}

cDibSurface::~cDibSurface()
{
    if (dc) {
        if (previous)
            SelectObject(dc, previous);
        DeleteDC(dc);
    }
    if (bitmap)
        DeleteObject(bitmap);
}

bool cDibSurface::Create(HDC compatible, int32_t surface_width, int32_t surface_height)
{
    dc = CreateCompatibleDC(compatible);
    if (!dc)
        return false;
    bitmap = create_dib_section(dc, surface_width, surface_height, &bits);
    if (!bitmap)
        return false;
    previous = SelectObject(dc, bitmap);
    width = surface_width;
    height = surface_height;
    return true;
}
