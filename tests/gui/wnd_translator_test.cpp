#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/catalog.h"
#include "gui/language.h"
#include "gui/window_class.h"
#include "gui/window_maker.h"
#include "gui/wnd_translator.h"
#include "tests/gui/gui_test_elements.h"

namespace {

std::pair<int32_t, int32_t> client_size(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

class TranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(register_window_class(nullptr, nullptr));
        root = new cRecordingRoot(&root_destroyed);
        ASSERT_TRUE(wnd.Create(nullptr, L"host", 300, 200, root, true, 60, 70));
        window = wnd.GetHandle();
        ASSERT_NE(window, nullptr);
    }

    LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0)
    {
        return SendMessageW(window, message, wparam, lparam);
    }

    void TakeFocus()
    {
        SetForegroundWindow(window);
        SetFocus(window);
        pump_messages();
        ASSERT_EQ(GetFocus(), window);
    }

    bool root_destroyed = false;
    cRecordingRoot* root = nullptr;
    cWndTranslator wnd;
    HWND window = nullptr;
};

TEST_F(TranslatorTest, CreationBuildsTheTreeAtTheClientSize)
{
    EXPECT_EQ(root->creates, 1);
    EXPECT_EQ(root->GetRequestTarget(), static_cast<cWindowRequestTarget*>(&wnd));
    EXPECT_EQ(wnd.GetWindow(), &wnd);
    EXPECT_EQ(client_size(window), std::make_pair(300, 200));
    ASSERT_FALSE(root->sizes.empty());
    EXPECT_EQ(root->sizes.back(), std::make_pair(300, 200));
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_THICKFRAME | WS_SYSMENU | WS_CHILD),
              LONG(WS_THICKFRAME | WS_SYSMENU));
    MoveWindow(window, 0, 0, 420, 330, TRUE);
    EXPECT_EQ(root->sizes.back(), client_size(window));
}

TEST_F(TranslatorTest, LoneAltAsksTheChildrenOnceAltWithALetterNothing)
{
    Send(WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    EXPECT_EQ(wnd.GetAltState(), 1);
    EXPECT_EQ(Send(WM_SYSKEYUP, VK_MENU, LPARAM(0xC0380001)), 0);
    EXPECT_EQ(root->queries, 1);
    EXPECT_EQ(wnd.GetAltState(), 0);
    EXPECT_TRUE(root->input.empty());

    Send(WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    Send(WM_SYSKEYDOWN, 'F', 0x20210001);
    EXPECT_EQ(wnd.GetAltState(), 2);
    Send(WM_SYSKEYUP, 'F', LPARAM(0xE0210001));
    Send(WM_SYSKEYUP, VK_MENU, LPARAM(0xC0380001));
    EXPECT_EQ(root->queries, 1);
    EXPECT_EQ(Send(WM_MENUCHAR, MAKEWPARAM('f', MF_SYSMENU), 0), 0x10000);
    EXPECT_EQ(Send(WM_GETDLGCODE), LRESULT(DLGC_WANTALLKEYS));
}

TEST_F(TranslatorTest, RealAltPressReachesTheWindow)
{
    TakeFocus();
    send_key_press(VK_MENU);
    pump_messages();
    EXPECT_EQ(root->queries, 1);
}

int WINAPI two_character_layout(UINT key, UINT, const BYTE*, LPWSTR buffer, int, UINT)
{
    buffer[0] = key == VK_OEM_102 ? L'a' : L'z';
    buffer[1] = L'e';
    return key == VK_OEM_102 ? 2 : 1;
}

TEST_F(TranslatorTest, CharacterKeyGivesCharacterThenKey)
{
    Send(WM_KEYDOWN, 'A', 0x001E0001);
    Send(WM_KEYDOWN, VK_LEFT, 0x014B0001);
    // The modifier keys themselves give nothing.
    Send(WM_KEYDOWN, VK_SHIFT, 0x002A0001);
    Send(WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    Send(WM_IME_CHAR, 0x4E2D, 0);
    // A key typing two characters reaches nothing.
    wnd.UseKeyTranslation(two_character_layout);
    Send(WM_KEYDOWN, VK_OEM_102, 0x00560001);
    Send(WM_KEYDOWN, 'Z', 0x002C0001);
    EXPECT_EQ(root->input, (std::vector<std::string>{"char 97", "key 65 0 0 0", "key 37 0 0 0", "char 20013",
                                                     "char 122", "key 90 0 0 0"}));
}

TEST_F(TranslatorTest, DoubleClickIsASecondPressWhereverTheButtonIsNow)
{
    // The cursor rests outside the window, so the real button goes
    // elsewhere: the first double click comes with the button up again, the
    // second while it is down.
    SetCursorPos(1270, 1010);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 12));
    send_mouse_button(true, false);
    pump_messages();
    ASSERT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, MAKELPARAM(10, 12));
    send_mouse_button(true, true);
    pump_messages();
    EXPECT_EQ(root->input, (std::vector<std::string>{"button 10 12 1 1 0 0", "button 10 12 1 1 1 0"}));
}

TEST_F(TranslatorTest, ButtonsAndWheelCarryTheirModifiersAndClientPoints)
{
    Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
    Send(WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
    Send(WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(5, 6));
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 240), MAKELPARAM(origin.x + 15, origin.y + 25));
    // button: x y button pressed ctrl shift; wheel: x y up ctrl steps
    EXPECT_EQ(root->input, (std::vector<std::string>{"button 3 4 2 1 0 1", "button 3 4 2 0 0 0",
                                                     "button 5 6 1 0 1 0", "wheel 15 25 1 1 2"}));
}

TEST_F(TranslatorTest, CloseAsksTheTree)
{
    root->can_close = false;
    EXPECT_EQ(Send(WM_CLOSE), 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(root->close_asks, 1);
    root->can_close = true;
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(root_destroyed);
}

TEST_F(TranslatorTest, RequestTargetDestroyUnbindsFirst)
{
    wnd.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wnd.GetHandle(), nullptr);
    EXPECT_FALSE(root_destroyed);
    // Nobody is left to drain: a wake-up fails and is not posted elsewhere.
    EXPECT_FALSE(wnd.PostPendingPosted(root));
    EXPECT_FALSE(wnd.PostPendingSent(root));
    MSG stray;
    EXPECT_FALSE(PeekMessageW(&stray, HWND(-1), 0, 0, PM_REMOVE));
}

TEST_F(TranslatorTest, WindowOperationsActOnTheNativeWindow)
{
    wnd.SetTitle(L"new title");
    wchar_t title[64];
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"new title");
    EXPECT_TRUE(wnd.MoveWindow(20, 30, 400, 300));
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 20);
    EXPECT_EQ(outer.bottom - outer.top, 300);
    EXPECT_TRUE(wnd.SetMouseCapture(true));
    EXPECT_EQ(GetCapture(), window);
    EXPECT_TRUE(wnd.SetMouseCapture(false));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(wnd.SetCursorShape(3));
    EXPECT_EQ(HCURSOR(GetClassLongPtrW(window, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_HAND));
    EXPECT_TRUE(wnd.SetWindowFocus());
    EXPECT_EQ(GetFocus(), window);
    EXPECT_GT(wnd.GetDpi(), 0);
    EXPECT_TRUE(wnd.IsResizable());
    // Focus leaving and coming back saves and restores the tree's focus.
    int saves = root->focus_saves, restores = root->focus_restores;
    Send(WM_KILLFOCUS);
    Send(WM_SETFOCUS);
    EXPECT_EQ(root->focus_saves, saves + 1);
    EXPECT_EQ(root->focus_restores, restores + 1);
}

TEST_F(TranslatorTest, ClientSizeLimitsHoldTheFrameWindow)
{
    ASSERT_TRUE(wnd.SetMinClientSize(250, 150));
    RECT outer;
    GetWindowRect(window, &outer);
    std::pair<int32_t, int32_t> client = client_size(window);
    int32_t frame_width = (outer.right - outer.left) - client.first;
    int32_t frame_height = (outer.bottom - outer.top) - client.second;
    RECT proposed = {100, 100, 150, 120};
    Send(WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&proposed));
    EXPECT_EQ(proposed.right - proposed.left, 250 + frame_width);
    EXPECT_EQ(proposed.bottom - proposed.top, 150 + frame_height);
    // A side without a limit stays free.
    ASSERT_TRUE(wnd.SetMaxClientSize(-1, 400));
    proposed = RECT{0, 0, 2000, 2000};
    Send(WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&proposed));
    EXPECT_EQ(proposed.right, 2000);
    EXPECT_EQ(proposed.bottom, 400 + frame_height);
    ASSERT_TRUE(wnd.SetMaxClientSize(500, 400));
    proposed = RECT{0, 0, 2000, 2000};
    Send(WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&proposed));
    EXPECT_EQ(proposed.right, 500 + frame_width);
    EXPECT_EQ(proposed.bottom, 400 + frame_height);
    // A maximised window keeps the same client limit.
    ShowWindow(window, SW_MAXIMIZE);
    pump_messages();
    EXPECT_EQ(client_size(window), std::make_pair(500, 400));
    EXPECT_EQ(root->sizes.back(), std::make_pair(500, 400));
    EXPECT_FALSE(wnd.IsResizable()) << "no grip while maximised";
}

TEST_F(TranslatorTest, StringTablesComeFromTheCatalog)
{
    EXPECT_EQ(wnd.GetStringTable(L"ciom::filechoose"), nullptr);
    cCIOMLang provider;
    ASSERT_TRUE(set_language(0));
    wnd.SetCatalog(get_global_catalog());
    const cStringArray* table = wnd.GetStringTable(L"ciom::filechoose");
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(get_catalog_string(table, 1), L"Accept");
    EXPECT_EQ(wnd.GetStringTable(L"no::such"), nullptr);
}

TEST_F(TranslatorTest, PopupWithoutActivationKeepsTheFocus)
{
    TakeFocus();
    bool popup_root_destroyed = false;
    cWindowHolder* holder = wnd.ShowPopup(100, 120, 80, 40, new cRecordingRoot(&popup_root_destroyed), false);
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(holder->IsNative());
    HWND popup_window = holder->GetRequestTarget()->GetWindow()->GetHandle();
    EXPECT_TRUE(IsWindowVisible(popup_window));
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(GetWindowLongW(popup_window, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              LONG(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_EQ(GetClassLongPtrW(popup_window, GCL_STYLE) & (CS_DROPSHADOW | CS_DBLCLKS),
              ULONG_PTR(CS_DROPSHADOW | CS_DBLCLKS));
    EXPECT_EQ(client_size(popup_window), std::make_pair(80, 40));
    holder->Close();
    EXPECT_FALSE(IsWindow(popup_window));
    EXPECT_FALSE(popup_root_destroyed);
    delete holder;
    EXPECT_TRUE(popup_root_destroyed);
}

TEST_F(TranslatorTest, DeactivationReachesTheRootOfAWindowAndOfAModalPopup)
{
    TakeFocus();
    HWND other = CreateWindowW(L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 80, 60, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    pump_messages();
    EXPECT_EQ(root->deactivations, 1);

    // A popup list whose item holds the focus ends its run when another
    // window becomes active, as it does on a click elsewhere.
    cRecordingRoot* popup = new cRecordingRoot;
    cChildElement item;
    popup->on_create = [&](cRecordingRoot* r) {
        r->AddChild(&item, 0, 0, 40, 20);
        run_later(50, [&, r]() { r->SetFocusTo(&item); });
        run_later(150, [&]() { SetForegroundWindow(other); });
        run_later(5000, [r]() { r->EndModal(-1); });
    };
    popup->on_deactivated = [](cRecordingRoot* r) { r->EndModal(5); };
    SetForegroundWindow(window);
    EXPECT_EQ(wnd.RunPopupModal(100, 100, 60, 40, popup), 5);
    DestroyWindow(other);
}

TEST_F(TranslatorTest, ReleasedPopupKeepsItsRoot)
{
    bool kept_destroyed = false;
    cRecordingRoot* kept = new cRecordingRoot(&kept_destroyed);
    cWindowHolder* holder = wnd.ShowPopup(0, 0, 10, 10, kept, true);
    ASSERT_NE(holder, nullptr);
    holder->Release(true);
    EXPECT_FALSE(kept_destroyed);
    EXPECT_EQ(kept->GetRequestTarget(), nullptr);
    delete kept;
    EXPECT_EQ(wnd.ShowPopup(0, 0, 10, 10, nullptr, true), nullptr);
}

// Paints its background blue and a red square at (10, 10) of 20 x 20.
class cSquareRoot : public cChildElement {
public:
    void Paint(cCanvas* canvas) override
    {
        ++paints;
        cRect whole = {0, 0, GetWidth(), GetHeight()};
        canvas->FillRect(&whole, 0xFF0000, 0xFF0000);
        cRect square = {10, 10, 20, 20};
        canvas->FillRect(&square, 0x0000FF, 0x0000FF);
    }
    int paints = 0;
};

TEST(TranslatorPainting, TreeIsPaintedDirectlyAndThroughABackBuffer)
{
    ASSERT_TRUE(register_window_class(nullptr, nullptr));
    for (bool back_buffer : {false, true}) {
        SCOPED_TRACE(back_buffer);
        cSquareRoot* root = new cSquareRoot;
        cWndTranslator wnd;
        ASSERT_TRUE(wnd.Create(nullptr, L"paint", 120, 90, root, false, 200, 200));
        root->SetBackBuffer(back_buffer);
        InvalidateRect(wnd.GetHandle(), nullptr, FALSE);
        UpdateWindow(wnd.GetHandle());
        EXPECT_GE(root->paints, 1);
        RECT update;
        EXPECT_FALSE(GetUpdateRect(wnd.GetHandle(), &update, FALSE));
        EXPECT_EQ(pixel_of(wnd.GetHandle(), 15, 15), RGB(255, 0, 0));
        EXPECT_EQ(pixel_of(wnd.GetHandle(), 29, 29), RGB(255, 0, 0));
        EXPECT_EQ(pixel_of(wnd.GetHandle(), 60, 60), RGB(0, 0, 255));
        EXPECT_EQ(pixel_of(wnd.GetHandle(), 5, 5), RGB(0, 0, 255));
    }
}

TEST(TranslatorLifetime, RootIsDestroyedWhenReplacedAndWithTheWindow)
{
    ASSERT_TRUE(register_window_class(nullptr, nullptr));
    bool first_destroyed = false, second_destroyed = false;
    HWND window;
    {
        cWndTranslator wnd;
        EXPECT_FALSE(wnd.Create(nullptr, L"none", 10, 10, nullptr, false, 0, 0));
        ASSERT_TRUE(wnd.Create(nullptr, L"one", 50, 50, new cRecordingRoot(&first_destroyed), false, -1, -1));
        RECT outer, desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        GetWindowRect(wnd.GetHandle(), &outer);
        // -1 centres the window's position on the desktop.
        EXPECT_EQ(outer.left, (desktop.right - 50) / 2);
        HWND first_window = wnd.GetHandle();
        ASSERT_TRUE(wnd.Create(nullptr, L"two", 50, 50, new cRecordingRoot(&second_destroyed), false, 0, 0));
        EXPECT_TRUE(first_destroyed);
        // The object's earlier window went with it.
        EXPECT_FALSE(IsWindow(first_window));
        EXPECT_FALSE(second_destroyed);
        window = wnd.GetHandle();
    }
    EXPECT_TRUE(second_destroyed);
    EXPECT_FALSE(IsWindow(window));
}

TEST(TranslatorLifetime, WithoutRootItIsAPlainWindow)
{
    ASSERT_TRUE(register_window_class(nullptr, nullptr));
    cWndTranslator wnd;
    ASSERT_TRUE(create_class_window(L"plain", 0, WS_OVERLAPPEDWINDOW, 0, 0, 40, 40, nullptr, &wnd));
    EXPECT_EQ(SendMessageW(wnd.GetHandle(), WM_GETDLGCODE, 0, 0), 0);
    SendMessageW(wnd.GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(wnd.GetHandle(), nullptr);
}

}  // namespace
