#include "gui/win_canvas.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/gui/canvas_probe.h"

namespace {

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

    static void TearDownTestSuite() { DestroyWindow(window); }

    void SetUp() override { ASSERT_NE(window, nullptr); }

    // Paints the whole client area as the window layer does: through an
    // offscreen canvas copied onto the window canvas.
    void PaintWhole(uint32_t colour)
    {
        InvalidateRect(window, nullptr, FALSE);
        cWinCanvas canvas;
        ASSERT_TRUE(canvas.BeginWindowPaint(nullptr, window));
        std::unique_ptr<cCanvas> back(canvas.CreateOffscreen(client_width, client_height, -1, -1));
        ASSERT_TRUE(back);
        paint_canvas(*back, colour);
        ASSERT_TRUE(canvas.CopyArea(0, 0, back.get(), 0, 0, 0, 0));
        ValidateRect(window, nullptr);
    }

    // The client area as it shows now, copied through an offscreen canvas.
    cCanvasPixels Shown()
    {
        cWinCanvas canvas;
        EXPECT_TRUE(canvas.BeginWindowPaint(nullptr, window));
        std::unique_ptr<cCanvas> copy(canvas.CreateOffscreen(client_width, client_height, 0, 0));
        cCanvasPixels pixels = copy ? read_pixels(*copy) : cCanvasPixels();
        EXPECT_EQ(pixels.width, client_width);
        EXPECT_EQ(pixels.height, client_height);
        return pixels;
    }

    static HWND window;
};

HWND WindowCanvas::window = nullptr;

}  // namespace

// The canvas covers the given area of the client (all of it by default) and
// draws only where the update region lets it.
TEST_F(WindowCanvas, ClipIsTheGivenAreaWithinTheUpdateRegion)
{
    const RECT band = {0, 30, client_width, 45};
    const cRect area = {10, 20, 50, 30};
    const struct {
        const RECT* invalid;
        const cRect* area;
        cRect painted;
    } cases[] = {{&band, nullptr, {0, 30, client_width, 15}}, {nullptr, &area, area}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.area ? "given area" : "band invalidated");
        PaintWhole(white);
        InvalidateRect(window, c.invalid, FALSE);
        {
            cWinCanvas canvas;
            ASSERT_TRUE(canvas.BeginWindowPaint(c.area, window));
            EXPECT_EQ(canvas.GetWidth(), c.area ? area.width : client_width);
            EXPECT_EQ(canvas.GetHeight(), c.area ? area.height : client_height);
            if (!c.area) {
                const cRect in_band = {10, 32, 20, 5};
                const cRect above = {10, 5, 20, 5};
                EXPECT_TRUE(canvas.IsRectVisible(&in_band));
                EXPECT_FALSE(canvas.IsRectVisible(&above));
            }
            ASSERT_TRUE(canvas.ApplyClip());
            const cRect beyond = {-5, -5, 2 * client_width, 2 * client_height};
            ASSERT_TRUE(canvas.FillRect(&beyond, red, red));
            ValidateRect(window, nullptr);
        }
        expect_only_rect(Shown(), c.painted, red, white);
    }
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
