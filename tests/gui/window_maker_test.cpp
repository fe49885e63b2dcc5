#include <gtest/gtest.h>
#include <windows.h>

#include "gui/window_class.h"
#include "gui/window_maker.h"
#include "gui/wnd_translator_dlg.h"
#include "tests/gui/gui_test_elements.h"
#include "tests/support/heap_probe.h"

namespace {

// Where a running dialog stands: its client area on the screen.
struct DialogGeometry {
    RECT outer = {};
    RECT client_on_screen = {};
    HWND shell = nullptr;
    HWND host = nullptr;
};

DialogGeometry geometry_of(cChildElement* root)
{
    DialogGeometry g;
    g.host = root->GetRequestTarget()->GetWindow()->GetHandle();
    g.shell = GetParent(g.host);
    GetWindowRect(g.shell, &g.outer);
    RECT client;
    GetClientRect(g.shell, &client);
    POINT origin = {0, 0};
    ClientToScreen(g.shell, &origin);
    g.client_on_screen = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return g;
}

const uint32_t step_measure = 100;

class MakerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(maker.Init(nullptr, 0, 101)); }

    // A root that measures its dialog once it runs and then ends it with
    // the result.
    cRecordingRoot* MeasuringRoot(intptr_t result, bool* destroyed = nullptr)
    {
        cRecordingRoot* root = new cRecordingRoot(destroyed);
        root->on_create = [](cRecordingRoot* r) { r->PostStep(step_measure); };
        root->on_action = [this, result](cRecordingRoot* r, uint32_t code) {
            if (code != step_measure)
                return;
            seen = geometry_of(r);
            r->EndModal(result);
        };
        return root;
    }

    cWWMaker maker;
    DialogGeometry seen;
};

TEST_F(MakerTest, DialogWithoutOwnerIsCentredOnTheDesktop)
{
    bool destroyed = false;
    EXPECT_EQ(maker.RunDialog(L"centred", 320, 240, MeasuringRoot(17, &destroyed), nullptr, false), 17);
    EXPECT_TRUE(destroyed);
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    const RECT& c = seen.client_on_screen;
    EXPECT_EQ(c.right - c.left, 320);
    EXPECT_EQ(c.bottom - c.top, 240);
    // The dialog's corner goes where the client area would be centred,
    // raised by half the caption height, so that the whole dialog with its
    // caption sits in the middle.
    EXPECT_EQ(seen.outer.left, (desktop.right - 320) / 2);
    EXPECT_EQ(seen.outer.top, (desktop.bottom - caption - 240) / 2);
    EXPECT_FALSE(IsWindow(seen.shell));
}

TEST_F(MakerTest, DialogLargerThanTheDesktopIsShrunk)
{
    EXPECT_EQ(maker.RunDialog(L"big", 5000, 4000, MeasuringRoot(1), nullptr, false), 1);
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(seen.client_on_screen.right - seen.client_on_screen.left, desktop.right);
    EXPECT_LE(seen.client_on_screen.bottom - seen.client_on_screen.top, desktop.bottom);
    EXPECT_GT(seen.client_on_screen.bottom - seen.client_on_screen.top, desktop.bottom / 2);
    EXPECT_EQ(seen.outer.left, 0);
}

TEST_F(MakerTest, HostFillsTheShellAndFollowsItsSize)
{
    cRecordingRoot* root = new cRecordingRoot;
    HWND host = nullptr;
    root->on_create = [](cRecordingRoot* r) { r->PostStep(step_measure); };
    root->on_action = [&](cRecordingRoot* r, uint32_t code) {
        if (code != step_measure)
            return;
        host = r->GetRequestTarget()->GetWindow()->GetHandle();
        HWND shell = GetParent(host);
        MoveWindow(shell, 10, 10, 500, 450, TRUE);
        RECT shell_client, host_client;
        GetClientRect(shell, &shell_client);
        GetClientRect(host, &host_client);
        EXPECT_EQ(host_client.right, shell_client.right);
        EXPECT_EQ(host_client.bottom, shell_client.bottom);
        EXPECT_EQ(r->sizes.back(), std::make_pair(int32_t(host_client.right), int32_t(host_client.bottom)));
        EXPECT_TRUE(GetWindowLongW(shell, GWL_STYLE) & WS_THICKFRAME);
        EXPECT_TRUE(GetWindowLongW(host, GWL_STYLE) & WS_CHILD);
        EXPECT_TRUE(GetWindowLongW(shell, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        ASSERT_NE(window_object_of(shell), nullptr);
        EXPECT_TRUE(window_object_of(shell)->IsDialog());
        EXPECT_FALSE(window_object_of(host)->IsDialog());
        wchar_t title[32];
        GetWindowTextW(shell, title, 32);
        EXPECT_STREQ(title, L"sized");
        r->GetRequestTarget()->SetTitle(L"retitled");
        GetWindowTextW(shell, title, 32);
        EXPECT_STREQ(title, L"retitled");
        r->EndModal(2);
    };
    EXPECT_EQ(maker.RunDialog(L"sized", 200, 100, root, nullptr, true), 2);
    EXPECT_NE(host, nullptr);
}

VOID CALLBACK end_from_timer(HWND, UINT, UINT_PTR id, DWORD);
cChildElement* timer_root = nullptr;

VOID CALLBACK end_from_timer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    timer_root->EndModal(55);
}

TEST_F(MakerTest, ElementEndsTheRunFromATimer)
{
    cRecordingRoot* root = new cRecordingRoot;
    timer_root = root;
    root->on_create = [](cRecordingRoot*) { SetTimer(nullptr, 0, 10, end_from_timer); };
    EXPECT_EQ(maker.RunDialog(L"timer", 100, 80, root, nullptr, false), 55);
}

TEST_F(MakerTest, CloseBoxAsksTheTree)
{
    cRecordingRoot* root = new cRecordingRoot;
    root->can_close = false;
    root->on_create = [](cRecordingRoot* r) { r->PostStep(1000); };
    int refused_attempts = 0;
    root->on_action = [&](cRecordingRoot* r, uint32_t code) {
        HWND shell = GetParent(r->GetRequestTarget()->GetWindow()->GetHandle());
        if (code == 1000) {
            // What the close box sends.
            PostMessageW(shell, WM_SYSCOMMAND, SC_CLOSE, 0);
            r->PostStep(1001);
        } else if (code == 1001) {
            // Still running: the tree refused.
            ++refused_attempts;
            EXPECT_TRUE(IsWindowVisible(shell));
            r->can_close = true;
            PostMessageW(shell, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    };
    EXPECT_EQ(maker.RunDialog(L"close", 100, 80, root, nullptr, false), 0);
    EXPECT_EQ(refused_attempts, 1);
}

// A screen point on the window's close box, found by asking the window.
bool close_box_point(HWND window, POINT* point)
{
    RECT outer;
    GetWindowRect(window, &outer);
    for (int y = outer.top; y < outer.top + 40; ++y)
        for (int x = outer.right - 1; x > outer.right - 80; --x)
            if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                *point = POINT{x, y};
                return true;
            }
    return false;
}

TEST_F(MakerTest, ClickOnTheCloseBoxEndsTheRunWithZero)
{
    cRecordingRoot* root = new cRecordingRoot;
    bool found = false;
    root->on_create = [&](cRecordingRoot* r) {
        HWND shell = GetParent(r->GetRequestTarget()->GetWindow()->GetHandle());
        run_later(50, [&, shell]() {
            POINT box = {0, 0};
            found = close_box_point(shell, &box);
            if (!found) {
                r->EndModal(-5);
                return;
            }
            send_mouse_move_to(box.x, box.y);
            send_mouse_button(true, false);
            send_mouse_button(true, true);
        });
    };
    EXPECT_EQ(maker.RunDialog(L"close box", 150, 80, root, nullptr, false), 0);
    EXPECT_TRUE(found);
}

void press_alt_f4()
{
    send_key(VK_MENU, false);
    send_key_press(VK_F4);
    send_key(VK_MENU, true);
}

TEST_F(MakerTest, AltF4ClosesOnlyWhenTheTreeAgrees)
{
    cRecordingRoot* root = new cRecordingRoot;
    root->can_close = false;
    int asks_while_refusing = 0;
    bool open_while_refusing = false;
    int alt_queries = -1;
    root->on_create = [&](cRecordingRoot* r) {
        HWND host = r->GetRequestTarget()->GetWindow()->GetHandle();
        SetForegroundWindow(GetParent(host));
        SetFocus(host);
        press_alt_f4();
        run_later(300, [&, r, host]() {
            asks_while_refusing = r->close_asks;
            open_while_refusing = IsWindowVisible(host) != 0;
            alt_queries = r->queries;
            r->can_close = true;
            press_alt_f4();
        });
    };
    EXPECT_EQ(maker.RunDialog(L"altf4", 100, 80, root, nullptr, false), 0);
    EXPECT_GE(asks_while_refusing, 1);
    EXPECT_TRUE(open_while_refusing);
    // Alt went down with another key: no lone-Alt query.
    EXPECT_EQ(alt_queries, 0);
}

TEST_F(MakerTest, ModalFromAWindowIsCentredOnItsBounds)
{
    cRecordingRoot* owner_root = new cRecordingRoot;
    cWindowHolder* holder = maker.CreateHostWindow(L"owner", 600, 400, owner_root, nullptr, false, 50, 60);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(maker.FirstHostWindow(), holder);
    cRect bounds;
    ASSERT_TRUE(holder->GetRequestTarget()->GetWindowBounds(&bounds));
    EXPECT_EQ(owner_root->ShowModal(L"inner", 200, 100, MeasuringRoot(9), false), 9);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(seen.outer.left, (bounds.width - 200) / 2 + bounds.x);
    EXPECT_EQ(seen.outer.top, (bounds.height - caption - 100) / 2 + bounds.y);
    EXPECT_EQ(GetWindow(seen.shell, GW_OWNER), nullptr);  // gone after the run
    maker.CloseHostWindow(holder);
    EXPECT_EQ(maker.FirstHostWindow(), nullptr);
}

TEST_F(MakerTest, ModalFromAMinimisedWindowIsCentredOnTheWorkArea)
{
    cRecordingRoot* owner_root = new cRecordingRoot;
    cWindowHolder* holder = maker.CreateHostWindow(L"owner", 300, 200, owner_root, nullptr, true, 10, 10);
    ASSERT_NE(holder, nullptr);
    HWND owner_window = holder->GetRequestTarget()->GetWindow()->GetHandle();
    ShowWindow(owner_window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(owner_window));
    EXPECT_EQ(owner_root->ShowModal(L"inner", 200, 100, MeasuringRoot(4), false), 4);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(seen.outer.left, (work.right - work.left - 200) / 2);
    EXPECT_EQ(seen.outer.top, (work.bottom - work.top - caption - 100) / 2);
    maker.CloseHostWindow(nullptr);
}

TEST_F(MakerTest, RunDialogWithAnOwnerIsCentredOnTheOwnersBounds)
{
    cWindowHolder* holder = maker.CreateHostWindow(L"owner", 500, 300, new cRecordingRoot, nullptr, false, 100, 90);
    ASSERT_NE(holder, nullptr);
    cRect bounds;
    ASSERT_TRUE(holder->GetRequestTarget()->GetWindowBounds(&bounds));
    EXPECT_EQ(maker.RunDialog(L"owned", 120, 80, MeasuringRoot(6), holder->GetRequestTarget(), false), 6);
    EXPECT_EQ(seen.outer.left, (bounds.width - 120) / 2 + bounds.x);
    EXPECT_EQ(seen.outer.top, (bounds.height - 80) / 2 + bounds.y);
    maker.CloseHostWindow(nullptr);
}

TEST_F(MakerTest, PopupModalRunsAtItsPlace)
{
    cWindowHolder* holder = maker.CreateHostWindow(L"owner", 300, 200, new cRecordingRoot, nullptr, false, 0, 0);
    ASSERT_NE(holder, nullptr);
    cWindowRequestTarget* target = holder->GetRequestTarget();
    EXPECT_EQ(target->RunPopupModal(0, 0, 10, 10, nullptr), -1);
    EXPECT_EQ(target->RunModal(L"none", 10, 10, nullptr, false), -1);
    EXPECT_EQ(target->RunPopupModal(140, 150, 90, 60, MeasuringRoot(12)), 12);
    EXPECT_EQ(seen.client_on_screen.left, 140);
    EXPECT_EQ(seen.client_on_screen.top, 150);
    EXPECT_EQ(seen.client_on_screen.right - seen.client_on_screen.left, 90);
    maker.CloseHostWindow(nullptr);
}

TEST_F(MakerTest, NestedRunsReturnTheirOwnResults)
{
    cRecordingRoot* outer = new cRecordingRoot;
    intptr_t inner_result = 0;
    outer->on_create = [](cRecordingRoot* r) { r->PostStep(3000); };
    outer->on_action = [&](cRecordingRoot* r, uint32_t code) {
        if (code != 3000)
            return;
        inner_result = r->ShowModal(L"inner", 50, 50, MeasuringRoot(31), false);
        r->EndModal(32);
    };
    EXPECT_EQ(maker.RunDialog(L"outer", 200, 200, outer, nullptr, false), 32);
    EXPECT_EQ(inner_result, 31);
}

TEST_F(MakerTest, HostWindowsAndCanvasesAndScreen)
{
    EXPECT_EQ(maker.CreateHostWindow(L"none", 10, 10, nullptr, nullptr, false, 0, 0), nullptr);
    bool first = false, second = false;
    cWindowHolder* a = maker.CreateHostWindow(L"a", 100, 50, new cRecordingRoot(&first), nullptr, false, 0, 0);
    cWindowHolder* b = maker.CreateHostWindow(L"b", 100, 50, new cRecordingRoot(&second), a->GetRequestTarget(),
                                              false, -1, -1);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    HWND child = b->GetRequestTarget()->GetWindow()->GetHandle();
    // With an owner the window is its child, placed at 0, 0.
    EXPECT_EQ(GetParent(child), a->GetRequestTarget()->GetWindow()->GetHandle());
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    maker.CloseHostWindow(b);
    EXPECT_TRUE(second);
    EXPECT_FALSE(first);
    EXPECT_EQ(maker.CreateOffscreenCanvas(0, 10), nullptr);
    EXPECT_EQ(maker.CreateOffscreenCanvas(10, -1), nullptr);
    cSize screen;
    ASSERT_TRUE(maker.GetScreenSize(&screen));
    EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.height, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(MakerTest, RunsAndHostWindowsGiveBackTheirMemory)
{
    auto one_round = [this]() {
        maker.RunDialog(L"round", 100, 80, MeasuringRoot(1), nullptr, false);
        cWindowHolder* holder = maker.CreateHostWindow(L"h", 60, 40, new cRecordingRoot, nullptr, false, 0, 0);
        cWindowHolder* popup = holder->GetRequestTarget()->ShowPopup(0, 0, 20, 20, new cRecordingRoot, false);
        delete popup;
        maker.CloseHostWindow(holder);
    };
    // The first round fills the process's lasting caches.
    one_round();
    int busy = heap_busy_blocks();
    one_round();
    EXPECT_EQ(heap_busy_blocks(), busy);
}

TEST(MakerLifetime, DestroyingTheMakerDestroysItsWindows)
{
    bool destroyed = false;
    HWND window;
    {
        cWWMaker maker;
        ASSERT_TRUE(maker.Init(nullptr, 0, 101));
        cWindowHolder* holder =
            maker.CreateHostWindow(L"kept", 60, 40, new cRecordingRoot(&destroyed), nullptr, false, 0, 0);
        ASSERT_NE(holder, nullptr);
        window = holder->GetRequestTarget()->GetWindow()->GetHandle();
    }
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(window));
}

TEST(DialogTemplate, ShellThatDoesNotOwnItsWindowRunsNothing)
{
    cWndTranslatorDlg shell;
    shell.SetOwnsWindow(false);
    EXPECT_EQ(build_dialog_template(&shell, nullptr, L"x", WS_POPUP, 0, 0, 10, 10), -1);
    EXPECT_EQ(build_dialog_template(nullptr, nullptr, L"x", WS_POPUP, 0, 0, 10, 10), -1);
    bool destroyed = false;
    cWndTranslatorDlg other;
    EXPECT_EQ(other.RunModal(nullptr, L"x", 10, 10, nullptr, false, 0, 0), -1);
    {
        cWndTranslatorDlg refusing;
        refusing.SetOwnsWindow(false);
        EXPECT_EQ(refusing.RunModal(nullptr, L"x", 10, 10, new cRecordingRoot(&destroyed), false, 0, 0), -1);
    }
    // The root passed to the run is destroyed also when nothing ran.
    EXPECT_TRUE(destroyed);
}

}  // namespace
