#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/window_class.h"
#include "gui/window_proc.h"
#include "gui/wnd_lite.h"
#include "tests/gui/gui_test_elements.h"

namespace {

// Records what the dispatcher calls, one line a call.
class cRecordingWnd : public cWndLite {
public:
    cRecordingWnd() : cWndLite("RecordingWnd") {}

    void OnCreate() override { calls.push_back("create"); }
    LRESULT OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override
    {
        calls.push_back(line_of("wheel", x, y, up, ctrl, steps));
        return 0;
    }
    void OnSizing(RECT* rect) override { sizing_seen = *rect; }
    void OnSize(int32_t width, int32_t height) override { calls.push_back(line_of("size", width, height)); }
    LRESULT OnUserMessage(WPARAM wparam, LPARAM lparam) override
    {
        calls.push_back(line_of("user", wparam, lparam));
        return 77;
    }
    void OnUserSignal2(int32_t high, int32_t low) override { calls.push_back(line_of("signal2", high, low)); }
    void OnUserSignal6(LPARAM lparam) override { calls.push_back(line_of("signal6", lparam)); }
    void OnLButtonDown(int32_t x, int32_t y, uint32_t flags) override
    {
        calls.push_back(line_of("press", x, y, flags));
    }
    void OnKeyDown(uint32_t key, uint32_t data) override { calls.push_back(line_of("key", key, data)); }
    void OnMouseEnter(int32_t, int32_t) override { calls.push_back("enter"); }
    void OnMouseLeave() override { calls.push_back("leave"); }

    std::vector<std::string> calls;
    RECT sizing_seen = {};
};

using lines = std::vector<std::string>;

class WndLiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(register_window_class(nullptr, nullptr));
        ASSERT_TRUE(create_class_window(L"lite", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50, 320, 200, nullptr, &wnd));
        window = wnd.GetHandle();
        ASSERT_NE(window, nullptr);
    }

    cRecordingWnd wnd;
    HWND window = nullptr;
};

TEST_F(WndLiteTest, CreationBindsObjectAndGivesExactClientSize)
{
    EXPECT_EQ(window_object_of(window), &wnd);
    EXPECT_EQ(std::count(wnd.calls.begin(), wnd.calls.end(), "create"), 1);
    EXPECT_FALSE(wnd.IsDialog());
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    wchar_t class_name[256];
    ASSERT_GT(GetClassNameW(window, class_name, 256), 0);
    EXPECT_STREQ(class_name, L"cGUIWndClass::RecordingWnd");
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(get_gui_instance(), L"cGUIWndClass::RecordingWnd", &info));
    EXPECT_EQ(info.style & (CS_DBLCLKS | CS_GLOBALCLASS), UINT(CS_DBLCLKS | CS_GLOBALCLASS));
}

TEST_F(WndLiteTest, WheelTurnsMakeWholeStepsAndKeepTheRemainder)
{
    // The point is passed as given (screen coordinates): x y up ctrl steps.
    struct Turn {
        int16_t delta;
        WPARAM keys;
        const char* call;  // null: none yet
        int32_t remainder;
    };
    const Turn turns[] = {
        {30, 0, nullptr, 30},  {30, 0, nullptr, 60},  {30, 0, nullptr, 90}, {40, 0, "wheel 400 300 1 0 1", 10},
        {250, 0, "wheel 400 300 1 0 2", 20}, {-270, MK_CONTROL, "wheel 400 300 0 1 2", -10},
        {-110, 0, "wheel 400 300 0 0 1", 0},
    };
    for (const Turn& t : turns) {
        SCOPED_TRACE(t.delta);
        wnd.calls.clear();
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(t.keys, uint16_t(t.delta)), MAKELPARAM(400, 300));
        EXPECT_EQ(wnd.calls, t.call ? lines{t.call} : lines{});
        EXPECT_EQ(wnd.GetWheelRemainder(), t.remainder);
    }
}

TEST_F(WndLiteTest, SizingIsClampedToTheLimits)
{
    RECT free_rect = {10, 20, 30, 40};
    SendMessageW(window, WM_SIZING, WMSZ_LEFT, LPARAM(&free_rect));
    EXPECT_EQ(free_rect.left, 10) << "no limits set yet";
    wnd.SetMinimumSize(300, 150);
    wnd.SetMaximumSize(600, 400);
    struct Case {
        WPARAM edge;
        RECT proposed, expected;
    };
    const Case cases[] = {
        {WMSZ_LEFT, {250, 100, 500, 300}, {200, 100, 500, 300}},  // the dragged edge gives way
        {WMSZ_RIGHT, {100, 100, 350, 300}, {100, 100, 400, 300}},
        {WMSZ_BOTTOMLEFT, {0, 0, 900, 100}, {300, 0, 900, 150}},
        {WMSZ_TOP, {0, 0, 400, 500}, {0, 100, 400, 500}},
        {WMSZ_TOPRIGHT, {0, 400, 700, 500}, {0, 350, 600, 500}},
        {WMSZ_BOTTOM, {10, 10, 410, 20}, {10, 10, 410, 160}},
        {WMSZ_BOTTOMRIGHT, {10, 10, 410, 210}, {10, 10, 410, 210}},  // inside the limits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        RECT rect = c.proposed;
        EXPECT_EQ(SendMessageW(window, WM_SIZING, c.edge, LPARAM(&rect)), 1);
        EXPECT_TRUE(EqualRect(&rect, &c.expected));
        EXPECT_TRUE(EqualRect(&wnd.sizing_seen, &c.expected));
    }
}

TEST_F(WndLiteTest, MessagesReachTheirOperations)
{
    wnd.calls.clear();
    EXPECT_EQ(SendMessageW(window, WM_USER, 0x1234, 0x5678), 77);
    // Signals do not reach the general operation.
    SendMessageW(window, WM_USER, WPARAM(-2), MAKELPARAM(uint16_t(-7), 9));
    SendMessageW(window, WM_USER, WPARAM(-6), 0x7654321);
    // A press takes the focus; a key passes its data without the repeat count.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(uint16_t(-3), 44));
    EXPECT_EQ(GetFocus(), window);
    SendMessageW(window, WM_KEYDOWN, 'Q', 0x00100001);
    // The first move enters once, until the pointer leaves.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(7, 7));
    EXPECT_EQ(wnd.calls, (lines{line_of("user", 0x1234, 0x5678), "signal2 9 -7", line_of("signal6", 0x7654321),
                                line_of("press", -3, 44, MK_LBUTTON | MK_SHIFT), "key 81 16", "enter", "leave",
                                "enter"}));
}

TEST_F(WndLiteTest, FontIsStoredAndResizeReportsClientSize)
{
    HFONT font = HFONT(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(window, WM_SETFONT, WPARAM(font), 0);
    EXPECT_EQ(HFONT(SendMessageW(window, WM_GETFONT, 0, 0)), font);
    MoveWindow(window, 0, 0, 500, 400, TRUE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(wnd.calls.back(), line_of("size", client.right, client.bottom));
}

TEST_F(WndLiteTest, MaximisedWindowIsHeldToTheMaximumAndCentred)
{
    wnd.SetMaximumSize(300, 200);
    SendMessageW(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1000, 900));
    RECT client, outer, desktop;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    GetWindowRect(GetDesktopWindow(), &desktop);
    // The limits are outer sizes, as when dragging an edge.
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 200);
    EXPECT_LT(client.right, 300);
    EXPECT_EQ(outer.left, (desktop.right - 300) / 2);
    EXPECT_EQ(outer.top, (desktop.bottom - 200) / 2);
}

TEST_F(WndLiteTest, BackgroundColourFillsWhatIsPaintedAlsoThroughPostedRepaints)
{
    wnd.SetBackgroundColour(RGB(10, 200, 30));
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(pixel_of(window, 5, 5), RGB(10, 200, 30));
    EXPECT_EQ(pixel_of(window, 300, 180), RGB(10, 200, 30));
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    wnd.SetBackgroundColour(RGB(200, 20, 20));
    wnd.PostRepaint(nullptr);
    pump_messages();
    EXPECT_EQ(pixel_of(window, 100, 100), RGB(200, 20, 20));
}

TEST_F(WndLiteTest, CloseDestroysPlainWindowAndClearsHandle)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wnd.GetHandle(), nullptr);
}

TEST(WndLiteLifetime, DestroyingObjectDestroysOwnedWindowAndUnbindsAKeptOne)
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
    {
        cRecordingWnd kept;
        ASSERT_TRUE(create_class_window(L"t", 0, WS_POPUP, 0, 0, 50, 50, nullptr, &kept));
        window = kept.GetHandle();
        kept.SetOwnsWindow(false);
    }
    // The window outlives its object, and its messages no longer reach it.
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(window_object_of(window), nullptr);
    EXPECT_EQ(SendMessageW(window, WM_USER, 5, 5), 0);
    DestroyWindow(window);
}

TEST(WndLiteClass, ClassNamesAndTheMainClassRegisteredOnce)
{
    EXPECT_STREQ(cWndLite(nullptr).GetWindowClassName(), "Base");
    EXPECT_STREQ(cWndLite("").GetWindowClassName(), "Base");
    wchar_t name[256];
    ASSERT_TRUE(format_window_class_name("cWndTranslator", name));
    EXPECT_STREQ(name, L"cGUIWndClass::cWndTranslator");
    EXPECT_FALSE(format_window_class_name(std::string(300, 'x').c_str(), name));

    ASSERT_TRUE(register_window_class(nullptr, LoadIconA(nullptr, IDI_APPLICATION)));
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
