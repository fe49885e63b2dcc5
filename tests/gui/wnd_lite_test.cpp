#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "gui/window_class.h"
#include "gui/window_proc.h"
#include "gui/wnd_lite.h"

namespace {

struct WheelCall {
    int32_t x, y;
    bool up, ctrl;
    int32_t steps;
};

// Records what the dispatcher calls.
class cRecordingWnd : public cWndLite {
public:
    cRecordingWnd() : cWndLite("RecordingWnd") {}

    void OnCreate() override { ++creates; }
    LRESULT OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override
    {
        wheel.push_back({x, y, up, ctrl, steps});
        return 0;
    }
    void OnSizing(RECT* rect) override { sizing_seen = *rect; }
    void OnSize(int32_t width, int32_t height) override
    {
        size_width = width;
        size_height = height;
    }
    LRESULT OnUserMessage(WPARAM wparam, LPARAM lparam) override
    {
        user_wparam = wparam;
        user_lparam = lparam;
        return 77;
    }
    void OnUserSignal2(int32_t high, int32_t low) override
    {
        signal2_high = high;
        signal2_low = low;
    }
    void OnUserSignal6(LPARAM lparam) override { signal6 = lparam; }
    void OnLButtonDown(int32_t x, int32_t y, uint32_t flags) override
    {
        press_x = x;
        press_y = y;
        press_flags = flags;
    }
    void OnKeyDown(uint32_t key, uint32_t data) override
    {
        key_down = key;
        key_data = data;
    }
    void OnMouseEnter(int32_t, int32_t) override { ++enters; }
    void OnMouseLeave() override { ++leaves; }

    int creates = 0;
    std::vector<WheelCall> wheel;
    RECT sizing_seen = {};
    int32_t size_width = -1, size_height = -1;
    WPARAM user_wparam = 0;
    LPARAM user_lparam = 0;
    int32_t signal2_high = 0, signal2_low = 0;
    LPARAM signal6 = 0;
    int32_t press_x = -1, press_y = -1;
    uint32_t press_flags = 0;
    uint32_t key_down = 0, key_data = 0;
    int enters = 0, leaves = 0;
};

class WndLiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(register_window_class(nullptr, nullptr));
        ASSERT_TRUE(create_class_window(L"lite", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50, 320, 200, nullptr, &wnd));
        window = wnd.GetHandle();
        ASSERT_NE(window, nullptr);
    }

    LRESULT Wheel(int16_t delta, WPARAM keys = 0)
    {
        return SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, uint16_t(delta)), MAKELPARAM(400, 300));
    }

    cRecordingWnd wnd;
    HWND window = nullptr;
};

TEST_F(WndLiteTest, CreationBindsObjectAndGivesExactClientSize)
{
    EXPECT_EQ(window_object_of(window), &wnd);
    EXPECT_EQ(wnd.creates, 1);
    EXPECT_FALSE(wnd.IsDialog());
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right - client.left, 320);
    EXPECT_EQ(client.bottom - client.top, 200);
    wchar_t class_name[256];
    ASSERT_GT(GetClassNameW(window, class_name, 256), 0);
    EXPECT_STREQ(class_name, L"cGUIWndClass::RecordingWnd");
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(get_gui_instance(), L"cGUIWndClass::RecordingWnd", &info));
    EXPECT_EQ(info.style & (CS_DBLCLKS | CS_GLOBALCLASS), UINT(CS_DBLCLKS | CS_GLOBALCLASS));
}

TEST_F(WndLiteTest, FourSmallWheelTurnsMakeOneStep)
{
    for (int i = 0; i < 3; ++i) {
        Wheel(30);
        EXPECT_TRUE(wnd.wheel.empty());
    }
    Wheel(30);
    ASSERT_EQ(wnd.wheel.size(), 1u);
    EXPECT_TRUE(wnd.wheel[0].up);
    EXPECT_EQ(wnd.wheel[0].steps, 1);
    EXPECT_FALSE(wnd.wheel[0].ctrl);
    // The point is passed as given (screen coordinates).
    EXPECT_EQ(wnd.wheel[0].x, 400);
    EXPECT_EQ(wnd.wheel[0].y, 300);
    EXPECT_EQ(wnd.GetWheelRemainder(), 0);
}

TEST_F(WndLiteTest, LargeBackwardTurnKeepsRemainder)
{
    Wheel(-250, MK_CONTROL);
    ASSERT_EQ(wnd.wheel.size(), 1u);
    EXPECT_FALSE(wnd.wheel[0].up);
    EXPECT_TRUE(wnd.wheel[0].ctrl);
    EXPECT_EQ(wnd.wheel[0].steps, 2);
    EXPECT_EQ(wnd.GetWheelRemainder(), -10);
    Wheel(-110);
    ASSERT_EQ(wnd.wheel.size(), 2u);
    EXPECT_EQ(wnd.wheel[1].steps, 1);
    EXPECT_EQ(wnd.GetWheelRemainder(), 0);
}

struct SizingCase {
    WPARAM edge;
    RECT proposed;
    RECT expected;
};

TEST_F(WndLiteTest, SizingIsClampedToTheLimits)
{
    wnd.SetMinimumSize(300, 150);
    wnd.SetMaximumSize(600, 400);
    const SizingCase cases[] = {
        // Left edge dragged to a width of 250: the left edge gives way.
        {WMSZ_LEFT, {250, 100, 500, 300}, {200, 100, 500, 300}},
        {WMSZ_RIGHT, {100, 100, 350, 300}, {100, 100, 400, 300}},
        {WMSZ_BOTTOMLEFT, {0, 0, 900, 100}, {300, 0, 900, 150}},
        {WMSZ_TOP, {0, 0, 400, 500}, {0, 100, 400, 500}},
        {WMSZ_TOPRIGHT, {0, 400, 700, 500}, {0, 350, 600, 500}},
        {WMSZ_BOTTOM, {10, 10, 410, 20}, {10, 10, 410, 160}},
        // Inside the limits nothing moves.
        {WMSZ_BOTTOMRIGHT, {10, 10, 410, 210}, {10, 10, 410, 210}},
    };
    for (const SizingCase& c : cases) {
        RECT rect = c.proposed;
        EXPECT_EQ(SendMessageW(window, WM_SIZING, c.edge, LPARAM(&rect)), 1);
        EXPECT_EQ(rect.left, c.expected.left) << c.edge;
        EXPECT_EQ(rect.top, c.expected.top) << c.edge;
        EXPECT_EQ(rect.right, c.expected.right) << c.edge;
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.edge;
        EXPECT_EQ(wnd.sizing_seen.left, c.expected.left);
    }
}

TEST_F(WndLiteTest, SizingWithoutLimitsLeavesTheRectangle)
{
    RECT rect = {10, 20, 30, 40};
    SendMessageW(window, WM_SIZING, WMSZ_LEFT, LPARAM(&rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.right, 30);
}

TEST_F(WndLiteTest, UserMessagesReachTheirOperations)
{
    EXPECT_EQ(SendMessageW(window, WM_USER, 0x1234, 0x5678), 77);
    EXPECT_EQ(wnd.user_wparam, WPARAM(0x1234));
    EXPECT_EQ(wnd.user_lparam, LPARAM(0x5678));
    SendMessageW(window, WM_USER, WPARAM(-2), MAKELPARAM(uint16_t(-7), 9));
    EXPECT_EQ(wnd.signal2_high, 9);
    EXPECT_EQ(wnd.signal2_low, -7);
    SendMessageW(window, WM_USER, WPARAM(-6), 0x7654321);
    EXPECT_EQ(wnd.signal6, LPARAM(0x7654321));
    // Signals do not reach the general operation.
    EXPECT_EQ(wnd.user_wparam, WPARAM(0x1234));
}

TEST_F(WndLiteTest, ButtonPressTakesFocusAndPassesPoint)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(uint16_t(-3), 44));
    EXPECT_EQ(wnd.press_x, -3);
    EXPECT_EQ(wnd.press_y, 44);
    EXPECT_EQ(wnd.press_flags, uint32_t(MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(GetFocus(), window);
    SendMessageW(window, WM_KEYDOWN, 'Q', 0x00100001);
    EXPECT_EQ(wnd.key_down, uint32_t('Q'));
    EXPECT_EQ(wnd.key_data, 0x0010u);
}

TEST_F(WndLiteTest, FirstMoveEntersOnce)
{
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(wnd.enters, 1);
    SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(wnd.leaves, 1);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(7, 7));
    EXPECT_EQ(wnd.enters, 2);
}

TEST_F(WndLiteTest, FontIsStoredAndAnswered)
{
    HFONT font = HFONT(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(window, WM_SETFONT, WPARAM(font), 0);
    EXPECT_EQ(HFONT(SendMessageW(window, WM_GETFONT, 0, 0)), font);
}

TEST_F(WndLiteTest, ResizeReportsClientSize)
{
    MoveWindow(window, 0, 0, 500, 400, TRUE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(wnd.size_width, client.right);
    EXPECT_EQ(wnd.size_height, client.bottom);
}

TEST_F(WndLiteTest, MaximisedWindowIsHeldToTheMaximumAndCentred)
{
    wnd.SetMaximumSize(300, 200);
    SendMessageW(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1000, 900));
    RECT client, outer, desktop;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(outer.left, (desktop.right - 300) / 2);
    EXPECT_EQ(outer.top, (desktop.bottom - 200) / 2);
}

TEST_F(WndLiteTest, BackgroundColourFillsWhatIsPainted)
{
    wnd.SetBackgroundColour(RGB(10, 200, 30));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(dc, 300, 180), RGB(10, 200, 30));
    ReleaseDC(window, dc);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    // Posted repaints arrive through the queue.
    wnd.SetBackgroundColour(RGB(200, 20, 20));
    wnd.PostRepaint(nullptr);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 100, 100), RGB(200, 20, 20));
    ReleaseDC(window, dc);
}

TEST_F(WndLiteTest, CloseDestroysPlainWindowAndClearsHandle)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wnd.GetHandle(), nullptr);
}

TEST(WndLiteLifetime, DestroyingObjectDestroysOwnedWindowAndUnbinds)
{
    ASSERT_TRUE(register_window_class(nullptr, nullptr));
    HWND window;
    {
        cRecordingWnd wnd;
        ASSERT_TRUE(create_class_window(L"t", 0, WS_POPUP, 0, 0, 50, 50, nullptr, &wnd));
        window = wnd.GetHandle();
        ASSERT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));

    cRecordingWnd kept;
    ASSERT_TRUE(create_class_window(L"t", 0, WS_POPUP, 0, 0, 50, 50, nullptr, &kept));
    window = kept.GetHandle();
    kept.SetOwnsWindow(false);
    {
        cRecordingWnd* other = new cRecordingWnd;
        ASSERT_TRUE(create_class_window(L"t", 0, WS_POPUP, 0, 0, 50, 50, nullptr, other));
        HWND other_window = other->GetHandle();
        other->SetOwnsWindow(false);
        delete other;
        // The window outlives its object, and its messages no longer reach it.
        EXPECT_TRUE(IsWindow(other_window));
        EXPECT_EQ(window_object_of(other_window), nullptr);
        EXPECT_EQ(SendMessageW(other_window, WM_USER, 5, 5), 0);
        DestroyWindow(other_window);
    }
    DestroyWindow(window);
}

TEST(WndLiteClass, EmptyClassNameMeansBase)
{
    cWndLite lite(nullptr);
    EXPECT_STREQ(lite.GetWindowClassName(), "Base");
    cWndLite empty("");
    EXPECT_STREQ(empty.GetWindowClassName(), "Base");
    wchar_t name[256];
    ASSERT_TRUE(format_window_class_name("cWndTranslator", name));
    EXPECT_STREQ(name, L"cGUIWndClass::cWndTranslator");
    std::string long_name(300, 'x');
    EXPECT_FALSE(format_window_class_name(long_name.c_str(), name));
}

TEST(WndLiteClass, MainClassIsRegisteredOnce)
{
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(register_window_class(nullptr, icon));
    EXPECT_TRUE(window_class_registered());
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(get_gui_instance(), L"cGUILWndClass", &info));
    EXPECT_EQ(info.lpfnWndProc, &window_proc);
    EXPECT_TRUE(register_window_class(nullptr, nullptr));
}

TEST(MessageLoop, EndsWithQuitAndAnswersZero)
{
    PostQuitMessage(0);
    EXPECT_EQ(message_loop(), 0);
}

}  // namespace
