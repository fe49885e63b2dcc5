#include <gtest/gtest.h>
#include <windows.h>

#include "gui/cursor_shape.h"
#include "gui/screen_area.h"
#include "gui/window_class.h"
#include "gui/wnd_lite.h"

namespace {

class CursorScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(register_window_class(nullptr, nullptr));
        ASSERT_TRUE(create_class_window(L"bounds", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 300, 200, nullptr,
                                        &wnd));
        window = wnd.GetHandle();
    }

    static void ExpectBounds(HWND window, cRect expected)
    {
        cRect bounds;
        ASSERT_TRUE(window_bounds(window, &bounds));
        EXPECT_EQ(bounds.x, expected.x);
        EXPECT_EQ(bounds.y, expected.y);
        EXPECT_EQ(bounds.width, expected.width);
        EXPECT_EQ(bounds.height, expected.height);
    }

    cWndLite wnd{"CursorScreen"};
    HWND window = nullptr;
};

TEST_F(CursorScreenTest, KindsLoadTheirSystemCursors)
{
    const std::pair<uint32_t, LPCSTR> cases[] = {
        {0, IDC_ARROW},    {1, IDC_IBEAM},    {2, IDC_WAIT},      {3, IDC_HAND},
        {4, IDC_SIZEWE},   {6, IDC_SIZEWE},   {5, IDC_SIZENS},    {7, IDC_SIZENS},
        {8, IDC_SIZENESW}, {9, IDC_SIZENWSE}, {10, IDC_ARROW},    {0xFFFFFFFF, IDC_ARROW}};
    for (const auto& c : cases)
        EXPECT_EQ(load_cursor_for_kind(c.first), LoadCursorA(nullptr, c.second)) << c.first;
}

TEST_F(CursorScreenTest, ShapeBecomesCurrentAndClassCursor)
{
    cCursorShape shape;
    EXPECT_EQ(shape.GetKind(), -1);
    ASSERT_TRUE(shape.Set(window, 1));
    EXPECT_EQ(shape.GetKind(), 1);
    HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    EXPECT_EQ(GetCursor(), beam);
    EXPECT_EQ(HCURSOR(GetClassLongPtrW(window, GCLP_HCURSOR)), beam);
    // The same kind again restores it when something else replaced it.
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    ASSERT_TRUE(shape.Set(window, 1));
    EXPECT_EQ(GetCursor(), beam);
    ASSERT_TRUE(shape.Set(window, 9));
    EXPECT_EQ(HCURSOR(GetClassLongPtrW(window, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_SIZENWSE));
}

TEST_F(CursorScreenTest, BoundsAreBelowTheTitleBarOrTheOuterRectangle)
{
    // A top-level window with no menu and no scroll bars: the area inside
    // the frame below the title bar is the client area.
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    ExpectBounds(window, {origin.x, origin.y, client.right, client.bottom});

    cWndLite child("CursorScreenChild");
    ASSERT_TRUE(create_class_window(nullptr, 0, WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, &wnd, &child));
    RECT outer;
    GetWindowRect(child.GetHandle(), &outer);
    ExpectBounds(child.GetHandle(), {outer.left, outer.top, 50, 40});

    cWndLite popup("CursorScreenPopup");
    ASSERT_TRUE(create_class_window(nullptr, 0, WS_POPUP | WS_VISIBLE, 30, 40, 70, 60, nullptr, &popup));
    ExpectBounds(popup.GetHandle(), {30, 40, 70, 60});
    cRect bounds;
    EXPECT_FALSE(window_bounds(nullptr, &bounds));
}

TEST_F(CursorScreenTest, WorkAndScreenAreasFitTheScreen)
{
    cSize work = {}, screen = {};
    ASSERT_TRUE(window_work_area(window, &work));
    RECT expected;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &expected, 0));
    EXPECT_EQ(work.width, expected.right - expected.left);
    EXPECT_EQ(work.height, expected.bottom - expected.top);
    ASSERT_TRUE(window_screen_area(window, &screen));
    EXPECT_GT(screen.height, 0);
    EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXMAXTRACK) - 2 * GetSystemMetrics(SM_CXFRAME));
    EXPECT_GT(screen_dpi(), 0);
}

}  // namespace
