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
    }
    cWndLite wnd{"CursorScreen"};
};

TEST_F(CursorScreenTest, KindsLoadTheirSystemCursors)
{
    struct Case {
        uint32_t kind;
        LPCSTR id;
    };
    const Case cases[] = {{0, IDC_ARROW},    {1, IDC_IBEAM},    {2, IDC_WAIT},      {3, IDC_HAND},
                          {4, IDC_SIZEWE},   {6, IDC_SIZEWE},   {5, IDC_SIZENS},    {7, IDC_SIZENS},
                          {8, IDC_SIZENESW}, {9, IDC_SIZENWSE}, {10, IDC_ARROW},    {0xFFFFFFFF, IDC_ARROW}};
    for (const Case& c : cases)
        EXPECT_EQ(load_cursor_for_kind(c.kind), LoadCursorA(nullptr, c.id)) << c.kind;
}

TEST_F(CursorScreenTest, ShapeBecomesCurrentAndClassCursor)
{
    cCursorShape shape;
    EXPECT_EQ(shape.GetKind(), -1);
    HWND window = wnd.GetHandle();
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

TEST_F(CursorScreenTest, TopLevelBoundsAreTheAreaBelowTheTitleBar)
{
    HWND window = wnd.GetHandle();
    cRect bounds;
    ASSERT_TRUE(window_bounds(window, &bounds));
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    // With no menu and no scroll bars the area inside the frame below the
    // title bar is the client area.
    EXPECT_EQ(bounds.x, origin.x);
    EXPECT_EQ(bounds.y, origin.y);
    EXPECT_EQ(bounds.width, client.right);
    EXPECT_EQ(bounds.height, client.bottom);
}

TEST_F(CursorScreenTest, ChildAndCaptionlessBoundsAreTheOuterRectangle)
{
    cWndLite child("CursorScreenChild");
    ASSERT_TRUE(create_class_window(nullptr, 0, WS_CHILD | WS_VISIBLE, 10, 20, 50, 40, &wnd, &child));
    cRect bounds;
    ASSERT_TRUE(window_bounds(child.GetHandle(), &bounds));
    RECT outer;
    GetWindowRect(child.GetHandle(), &outer);
    EXPECT_EQ(bounds.x, outer.left);
    EXPECT_EQ(bounds.y, outer.top);
    EXPECT_EQ(bounds.width, 50);
    EXPECT_EQ(bounds.height, 40);

    cWndLite popup("CursorScreenPopup");
    ASSERT_TRUE(create_class_window(nullptr, 0, WS_POPUP | WS_VISIBLE, 30, 40, 70, 60, nullptr, &popup));
    ASSERT_TRUE(window_bounds(popup.GetHandle(), &bounds));
    EXPECT_EQ(bounds.x, 30);
    EXPECT_EQ(bounds.y, 40);
    EXPECT_EQ(bounds.width, 70);
    EXPECT_EQ(bounds.height, 60);
    EXPECT_FALSE(window_bounds(nullptr, &bounds));
}

TEST_F(CursorScreenTest, WorkAndScreenAreasFitTheScreen)
{
    cSize work = {};
    ASSERT_TRUE(window_work_area(wnd.GetHandle(), &work));
    RECT expected;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &expected, 0));
    EXPECT_EQ(work.width, expected.right - expected.left);
    EXPECT_EQ(work.height, expected.bottom - expected.top);
    cSize screen = {};
    ASSERT_TRUE(window_screen_area(wnd.GetHandle(), &screen));
    EXPECT_GT(screen.width, 0);
    EXPECT_GT(screen.height, 0);
    EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXMAXTRACK) - 2 * GetSystemMetrics(SM_CXFRAME));
    EXPECT_GT(screen_dpi(), 0);
}

TEST(Power, KeepAwakeAndAllowSleep)
{
    EXPECT_TRUE(system_keep_awake());
    EXPECT_TRUE(system_allow_sleep());
}

}  // namespace
