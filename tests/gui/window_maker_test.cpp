#include <gtest/gtest.h>
#include <windows.h>

#include "gui/canvas.h"
#include "gui/window_class.h"
#include "gui/window_maker.h"
#include "gui/wnd_translator_dlg.h"
#include "tests/gui/gui_test_elements.h"
#include "tests/support/heap_probe.h"

namespace {

// Where a running dialog stands: its frame and its client area on the screen.
struct DialogGeometry {
    RECT outer = {};
    RECT client_on_screen = {};
    HWND shell = nullptr;
};

const uint32_t step_measure = 100;

class MakerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(maker.Init(nullptr, 0, 101)); }

    // A root that measures its dialog once it runs and then ends it with
    // the result from its action handler.
    cRecordingRoot* MeasuringRoot(intptr_t result, bool* destroyed = nullptr)
    {
        cRecordingRoot* root = new cRecordingRoot(destroyed);
        root->on_create = [](cRecordingRoot* r) { r->PostStep(step_measure); };
        root->on_action = [this, result](cRecordingRoot* r, uint32_t code) {
            if (code != step_measure)
                return;
            seen.shell = GetParent(host_of(r));
            GetWindowRect(seen.shell, &seen.outer);
            GetClientRect(seen.shell, &seen.client_on_screen);
            MapWindowPoints(seen.shell, nullptr, reinterpret_cast<POINT*>(&seen.client_on_screen), 2);
            r->EndModal(result);
        };
        return root;
    }

    cWindowHolder* OwnerWindow(bool resizable = false)
    {
        return maker.CreateHostWindow(L"owner", 600, 400, new cRecordingRoot, nullptr, resizable, 50, 60);
    }

    cWWMaker maker;
    DialogGeometry seen;
};

TEST_F(MakerTest, ModalDialogsAreCentredOnWhatTheyBelongTo)
{
    enum Run { desktop, owner_show_modal, minimised_owner, owner_run_dialog };
    struct Case {
        const char* name;
        Run run;
        bool caption_counts;
    };
    const Case cases[] = {
        {"no owner: the desktop", desktop, true},
        {"modal from a window: its bounds", owner_show_modal, true},
        {"modal from a minimised window: the work area", minimised_owner, true},
        {"run with an owner: its bounds", owner_run_dialog, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool destroyed = false;
        cRecordingRoot* root = MeasuringRoot(17, &destroyed);
        cRect area = {0, 0, 0, 0};
        intptr_t result;
        if (c.run == desktop) {
            RECT desktop_rect;
            GetClientRect(GetDesktopWindow(), &desktop_rect);
            area = cRect{0, 0, desktop_rect.right, desktop_rect.bottom};
            result = maker.RunDialog(L"centred", 320, 240, root, nullptr, false);
        } else {
            cWindowHolder* holder = OwnerWindow(c.run == minimised_owner);
            ASSERT_NE(holder, nullptr);
            cWindowRequestTarget* target = holder->GetRequestTarget();
            ASSERT_TRUE(target->GetWindowBounds(&area));
            if (c.run == minimised_owner) {
                ShowWindow(target->GetWindow()->GetHandle(), SW_MINIMIZE);
                ASSERT_TRUE(IsIconic(target->GetWindow()->GetHandle()));
                RECT work;
                SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
                area = cRect{0, 0, work.right - work.left, work.bottom - work.top};
            }
            cChildElement* owner_root = target->GetWindow()->GetRoot();
            result = c.run == owner_run_dialog ? maker.RunDialog(L"owned", 320, 240, root, target, false)
                                               : owner_root->ShowModal(L"inner", 320, 240, root, false);
        }
        EXPECT_EQ(result, 17);
        EXPECT_TRUE(destroyed);
        EXPECT_FALSE(IsWindow(seen.shell));
        const RECT& client = seen.client_on_screen;
        EXPECT_EQ(client.right - client.left, 320);
        EXPECT_EQ(client.bottom - client.top, 240);
        // With a caption, the dialog's corner goes where the client area would
        // be centred raised by half the caption, so that the whole dialog sits
        // in the middle.
        int caption = c.caption_counts ? GetSystemMetrics(SM_CYCAPTION) : 0;
        EXPECT_EQ(seen.outer.left, (area.width - 320) / 2 + area.x);
        EXPECT_EQ(seen.outer.top, (area.height - caption - 240) / 2 + area.y);
        maker.CloseHostWindow(nullptr);
        EXPECT_EQ(maker.FirstHostWindow(), nullptr);
    }
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

TEST_F(MakerTest, DialogLargerThanTheWorkAreaKeepsItsTitleBarInIt)
{
    struct Case {
        const char* name;
        int32_t width, height;
    };
    const Case cases[] = {{"taller", 320, 1500}, {"wider", 1600, 240}, {"both", 1600, 1500}};
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT placed = {}, dragged = {};
        LRESULT hit = HTNOWHERE;
        cRecordingRoot* root = new cRecordingRoot;
        // A user drags the dialog by its title bar, 50 right and 40 down.
        root->on_create = [&](cRecordingRoot* r) {
            run_later(150, [&, r]() {
                HWND shell = GetParent(host_of(r));
                GetWindowRect(shell, &placed);
                RECT client;
                GetClientRect(shell, &client);
                MapWindowPoints(shell, nullptr, reinterpret_cast<POINT*>(&client), 2);
                POINT title = {placed.left + 60, (placed.top + client.top) / 2};
                hit = SendMessageW(shell, WM_NCHITTEST, 0, MAKELPARAM(title.x, title.y));
                send_mouse_move_to(title.x, title.y);
                send_mouse_button(true, false);
                send_mouse_move_to(title.x + 25, title.y + 20);
                send_mouse_move_to(title.x + 50, title.y + 40);
                send_mouse_button(true, true);
                run_later(300, [&, r, shell]() {
                    GetWindowRect(shell, &dragged);
                    r->EndModal(1);
                });
            });
        };
        cWindowHolder* holder = OwnerWindow();
        ASSERT_NE(holder, nullptr);
        cChildElement* owner_root = holder->GetRequestTarget()->GetWindow()->GetRoot();
        EXPECT_EQ(owner_root->ShowModal(L"large", c.width, c.height, root, false), 1);
        maker.CloseHostWindow(nullptr);
        // Inside the work area from the right and bottom edges, then from
        // the left and top ones: the frame's top left corner in it.
        EXPECT_GE(placed.top, work.top);
        EXPECT_GE(placed.left, work.left);
        if (c.height > work.bottom - work.top) {
            EXPECT_EQ(placed.top, work.top);
        }
        if (c.width > work.right - work.left) {
            EXPECT_EQ(placed.left, work.left);
        }
        EXPECT_EQ(hit, HTCAPTION);
        EXPECT_EQ(dragged.left - placed.left, 50);
        EXPECT_EQ(dragged.top - placed.top, 40);
    }
}

TEST_F(MakerTest, HostFillsTheShellAndFollowsItsSize)
{
    cRecordingRoot* root = new cRecordingRoot;
    HWND host = nullptr;
    root->on_create = [](cRecordingRoot* r) { r->PostStep(step_measure); };
    root->on_action = [&](cRecordingRoot* r, uint32_t code) {
        if (code != step_measure)
            return;
        host = host_of(r);
        HWND shell = GetParent(host);
        MoveWindow(shell, 10, 10, 500, 450, TRUE);
        RECT shell_client, host_client;
        GetClientRect(shell, &shell_client);
        GetClientRect(host, &host_client);
        EXPECT_TRUE(EqualRect(&host_client, &shell_client));
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
        run_later(50, [&, r]() {
            POINT box = {0, 0};
            found = close_box_point(GetParent(host_of(r)), &box);
            if (found)
                send_click_at(box.x, box.y);
            else
                r->EndModal(-5);
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
    int asks_while_refusing = 0, alt_queries = -1;
    bool open_while_refusing = false;
    root->on_create = [&](cRecordingRoot* r) {
        HWND host = host_of(r);
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

TEST_F(MakerTest, PopupModalRunsAtItsPlace)
{
    cWindowHolder* holder = OwnerWindow();
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
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(maker.FirstHostWindow(), a);
    cWindowHolder* b = maker.CreateHostWindow(L"b", 100, 50, new cRecordingRoot(&second), a->GetRequestTarget(),
                                              false, -1, -1);
    ASSERT_NE(b, nullptr);
    HWND child = b->GetRequestTarget()->GetWindow()->GetHandle();
    // With an owner the window is its child, placed at 0, 0.
    EXPECT_EQ(GetParent(child), a->GetRequestTarget()->GetWindow()->GetHandle());
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(std::make_pair(place.left, place.top), std::make_pair(0L, 0L));
    maker.CloseHostWindow(b);
    EXPECT_TRUE(second);
    EXPECT_FALSE(first);

    EXPECT_EQ(maker.CreateOffscreenCanvas(0, 10), nullptr);
    EXPECT_EQ(maker.CreateOffscreenCanvas(10, -1), nullptr);
    cCanvas* canvas = maker.CreateOffscreenCanvas(33, 21);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(std::make_pair(canvas->GetWidth(), canvas->GetHeight()), std::make_pair(33, 21));
    delete canvas;
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
        delete holder->GetRequestTarget()->ShowPopup(0, 0, 20, 20, new cRecordingRoot, false);
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

TEST(DialogTemplate, ShellThatDoesNotOwnItsWindowRunsNothingAndDestroysTheRoot)
{
    cWndTranslatorDlg shell;
    shell.SetOwnsWindow(false);
    EXPECT_EQ(build_dialog_template(&shell, nullptr, L"x", WS_POPUP, 0, 0, 10, 10), -1);
    EXPECT_EQ(build_dialog_template(nullptr, nullptr, L"x", WS_POPUP, 0, 0, 10, 10), -1);
    cWndTranslatorDlg other;
    EXPECT_EQ(other.RunModal(nullptr, L"x", 10, 10, nullptr, false, 0, 0), -1);
    bool destroyed = false;
    {
        cWndTranslatorDlg refusing;
        refusing.SetOwnsWindow(false);
        EXPECT_EQ(refusing.RunModal(nullptr, L"x", 10, 10, new cRecordingRoot(&destroyed), false, 0, 0), -1);
    }
    // The root passed to the run is destroyed also when nothing ran.
    EXPECT_TRUE(destroyed);
}

}  // namespace
