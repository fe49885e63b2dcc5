#include "gui/win_canvas.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/gui/canvas_probe.h"

namespace {

const uint32_t red = 0x0000FF;
const uint32_t green = 0x00FF00;
const uint32_t white = 0xFFFFFF;
const int32_t client_width = 160;
const int32_t client_height = 90;

// A plain borderless window whose client area is the whole window, shared
// by the tests (showing and destroying windows is slow without a window
// manager).
class WindowCanvas : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW window_class = {};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"CanvasTestWindow";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, L"CanvasTestWindow", L"canvas", WS_POPUP | WS_VISIBLE, 40, 40, client_width,
                                 client_height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    static void TearDownTestSuite()
    {
        if (window)
            DestroyWindow(window);
        window = nullptr;
    }

    void SetUp() override { ASSERT_NE(window, nullptr); }

    // Paints the whole client area as the window layer does: through an
    // offscreen canvas copied onto the window canvas.
    void PaintWhole(uint32_t colour)
    {
        InvalidateRect(window, nullptr, FALSE);
        std::unique_ptr<cWinCanvas> canvas(new cWinCanvas);
        ASSERT_TRUE(canvas->BeginWindowPaint(nullptr, window));
        std::unique_ptr<cCanvas> back(canvas->CreateOffscreen(client_width, client_height, -1, -1));
        ASSERT_TRUE(back);
        paint_canvas(*back, colour);
        ASSERT_TRUE(canvas->CopyArea(0, 0, back.get(), 0, 0, 0, 0));
        ValidateRect(window, nullptr);
    }

    // The client area as it shows now, copied through an offscreen canvas.
    cCanvasPixels Shown()
    {
        cCanvasPixels pixels;
        std::unique_ptr<cWinCanvas> canvas(new cWinCanvas);
        EXPECT_TRUE(canvas->BeginWindowPaint(nullptr, window));
        std::unique_ptr<cCanvas> copy(canvas->CreateOffscreen(client_width, client_height, 0, 0));
        EXPECT_TRUE(copy);
        if (copy)
            pixels.Read(*copy);
        return pixels;
    }

    static HWND window;
};

HWND WindowCanvas::window = nullptr;

}  // namespace

TEST_F(WindowCanvas, PaintingThroughAnOffscreenCanvasReachesTheWindow)
{
    PaintWhole(green);
    cCanvasPixels pixels = Shown();
    ASSERT_EQ(pixels.width, client_width);
    ASSERT_EQ(pixels.height, client_height);
    EXPECT_EQ(pixels.Count(green), client_width * client_height);
}

TEST_F(WindowCanvas, ClipIsTheClientAreaWithinTheUpdateRegion)
{
    PaintWhole(white);
    RECT band = {0, 30, client_width, 45};
    InvalidateRect(window, &band, FALSE);
    {
        std::unique_ptr<cWinCanvas> canvas(new cWinCanvas);
        ASSERT_TRUE(canvas->BeginWindowPaint(nullptr, window));
        EXPECT_EQ(canvas->GetWidth(), client_width);
        EXPECT_EQ(canvas->GetHeight(), client_height);
        const cRect in_band = {10, 32, 20, 5};
        const cRect above = {10, 5, 20, 5};
        EXPECT_TRUE(canvas->IsRectVisible(&in_band));
        EXPECT_FALSE(canvas->IsRectVisible(&above));
        ASSERT_TRUE(canvas->ApplyClip());
        paint_canvas(*canvas, red);
        ValidateRect(window, nullptr);
    }
    cCanvasPixels pixels = Shown();
    for (int32_t y = 0; y < client_height; ++y)
        for (int32_t x = 0; x < client_width; ++x)
            ASSERT_EQ(pixels.At(x, y), y >= 30 && y < 45 ? red : white) << x << "," << y;
}

TEST_F(WindowCanvas, GivenAreaMovesTheCanvasOrigin)
{
    PaintWhole(white);
    InvalidateRect(window, nullptr, FALSE);
    {
        std::unique_ptr<cWinCanvas> canvas(new cWinCanvas);
        const cRect area = {10, 20, 50, 30};
        ASSERT_TRUE(canvas->BeginWindowPaint(&area, window));
        EXPECT_EQ(canvas->GetWidth(), 50);
        EXPECT_EQ(canvas->GetHeight(), 30);
        ASSERT_TRUE(canvas->ApplyClip());
        const cRect beyond = {-5, -5, 100, 100};
        ASSERT_TRUE(canvas->FillRect(&beyond, red, red));
        ValidateRect(window, nullptr);
    }
    cCanvasPixels pixels = Shown();
    for (int32_t y = 0; y < client_height; ++y)
        for (int32_t x = 0; x < client_width; ++x)
            ASSERT_EQ(pixels.At(x, y), x >= 10 && x < 60 && y >= 20 && y < 50 ? red : white) << x << "," << y;
}

TEST_F(WindowCanvas, ReleasedCanvasCanBeSetUpAgain)
{
    cWinCanvas canvas;
    ASSERT_TRUE(canvas.BeginWindowPaint(nullptr, window));
    canvas.Release();
    EXPECT_EQ(canvas.GetDeviceContext(), nullptr);
    const cRect rect = {0, 0, 5, 5};
    EXPECT_FALSE(canvas.FillRect(&rect, red, red));
    EXPECT_FALSE(canvas.ApplyClip());
    ASSERT_TRUE(canvas.BeginWindowPaint(nullptr, window));
    EXPECT_TRUE(canvas.FillRect(&rect, red, red));
}
