#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/window_maker.h"
#include "tests/gui/gui_test_elements.h"

namespace {

// A child that takes Tab focus, records its input, and holds the mouse
// while its left button is down.
class cProbe : public cChildElement {
public:
    bool DefaultTabStop() override { return true; }
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override
    {
        buttons.push_back(line_of(x, y, button, pressed));
        if (button == 1 && pressed)
            StartMouseCapture(false);
        else if (button == 1)
            StopMouseCapture();
    }
    void OnMouseMove(int32_t x, int32_t y) override { moves.push_back({x, y}); }
    bool OnMouseWheel(int32_t, int32_t, bool up, bool, int32_t steps) override
    {
        wheel_steps.push_back(up ? steps : -steps);
        return true;
    }

    std::vector<std::string> buttons;  // x y button pressed
    std::vector<cPoint> moves;
    std::vector<int32_t> wheel_steps;
};

// Real input, sent through the platform's queue while a dialog runs; each
// check runs from a timer, after the input before it has been delivered.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(maker.Init(nullptr, 0, 101)); }

    // Moves the pointer to a point of the host window's client area.
    void MoveTo(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(host, &point);
        send_mouse_move_to(point.x, point.y);
    }

    // Runs root with the probes a at (10, 10) and b at (100, 10), both
    // 50 x 40; script runs once the dialog is up.
    intptr_t Run(std::function<void()> script)
    {
        root = new cRecordingRoot;
        root->on_create = [this, script](cRecordingRoot* r) {
            r->AddChild(&a, 10, 10, 50, 40);
            r->AddChild(&b, 100, 10, 50, 40);
            host = host_of(r);
            SetForegroundWindow(GetParent(host));
            SetFocus(host);
            run_later(50, script);
        };
        return maker.RunDialog(L"input", 200, 120, root, nullptr, false);
    }

    void EndLater(intptr_t result = 1)
    {
        run_later(150, [this, result]() { root->EndModal(result); });
    }

    cWWMaker maker;
    cProbe a, b;
    cRecordingRoot* root = nullptr;
    HWND host = nullptr;
};

TEST_F(InputTest, ClickReachesTheElementUnderThePoint)
{
    EXPECT_EQ(Run([this]() {
                  POINT at = {120, 30};
                  ClientToScreen(host, &at);
                  send_click_at(at.x, at.y);
                  EndLater();
              }),
              1);
    EXPECT_EQ(b.buttons, (std::vector<std::string>{"20 20 1 1", "20 20 1 0"}));
    EXPECT_TRUE(a.buttons.empty());
}

TEST_F(InputTest, DragKeepsTheMouseAtThePressedElement)
{
    bool captured = false;
    Run([&]() {
        MoveTo(20, 20);
        run_later(100, [&]() {
            // Whatever the cursor crossed on its way to a is not the drag.
            b.moves.clear();
            send_mouse_button(true, false);
            // Across b and out of the window while the button is down.
            MoveTo(120, 30);
            MoveTo(260, 200);
            run_later(150, [&]() {
                captured = GetCapture() == host;
                send_mouse_button(true, true);
                EndLater();
            });
        });
    });
    EXPECT_TRUE(captured);
    // The release far outside still reached a, in its own coordinates.
    EXPECT_EQ(a.buttons, (std::vector<std::string>{"10 10 1 1", "250 190 1 0"}));
    EXPECT_TRUE(b.buttons.empty());
    EXPECT_TRUE(b.moves.empty());
    bool saw_outside = false;
    for (const cPoint& p : a.moves)
        saw_outside = saw_outside || p.x >= 50 || p.y >= 40;
    EXPECT_TRUE(saw_outside);
}

// The window loses the mouse in the middle of a drag, and the button comes
// up elsewhere: the tree lets go of it too, so the next click goes to the
// element under the pointer.
TEST_F(InputTest, CaptureTheWindowLosesIsReleasedInTheTree)
{
    HWND other = nullptr;
    const std::pair<const char*, std::function<void()>> losses[] = {
        {"another window takes the mouse",
         [&]() {
             other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
             SetCapture(other);
         }},
        {"the mode is cancelled", [&]() { SendMessageW(host, WM_CANCELMODE, 0, 0); }},
        {"a modal run opens over it",
         [&]() {
             cRecordingRoot* nested = new cRecordingRoot;
             nested->on_create = [](cRecordingRoot* r) { run_later(100, [r]() { r->EndModal(0); }); };
             root->ShowModal(L"nested", 100, 60, nested, false);
         }},
    };
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.first);
        a.buttons.clear();
        b.buttons.clear();
        Run([&]() {
            MoveTo(20, 20);
            send_mouse_button(true, false);
            run_later(100, [&]() {
                loss.second();
                MoveTo(260, 200);
                send_mouse_button(true, true);
                run_later(100, [&]() {
                    if (other)
                        DestroyWindow(other);
                    other = nullptr;
                    POINT at = {120, 30};
                    ClientToScreen(host, &at);
                    send_click_at(at.x, at.y);
                    EndLater();
                });
            });
        });
        EXPECT_EQ(a.buttons, std::vector<std::string>{"10 10 1 1"});
        EXPECT_EQ(b.buttons, (std::vector<std::string>{"20 20 1 1", "20 20 1 0"}));
    }
}

TEST_F(InputTest, TabAndShiftTabWalkTheFocusInOrderAndWrap)
{
    // Tab, Tab, Tab (wraps to the first), Shift+Tab (wraps to the last).
    std::vector<cChildElement*> focused;
    std::function<void(int)> press = [&](int left) {
        if (left == 0) {
            root->EndModal(1);
            return;
        }
        if (left == 1)
            send_key(VK_SHIFT, false);
        send_key_press(VK_TAB);
        if (left == 1)
            send_key(VK_SHIFT, true);
        run_later(100, [&, left]() {
            focused.push_back(root->GetFocusedChild());
            press(left - 1);
        });
    };
    Run([&]() { press(4); });
    EXPECT_EQ(focused, (std::vector<cChildElement*>{&a, &b, &a, &b}));
}

TEST_F(InputTest, WheelNotchesAccumulateAtTheElementUnderThePointer)
{
    Run([this]() {
        MoveTo(120, 30);
        run_later(100, [this]() {
            // A third of a notch at a time, then one notch back.
            for (int delta : {40, 40, 40, -120})
                send_mouse(MOUSEEVENTF_WHEEL, 0, 0, delta);
            EndLater();
        });
    });
    EXPECT_EQ(b.wheel_steps, (std::vector<int32_t>{1, -1}));
    EXPECT_TRUE(a.wheel_steps.empty());
}

TEST_F(InputTest, EnterAndEscapeReachTheTree)
{
    bool open_after_escape = false;
    std::vector<std::string> keys;
    EXPECT_EQ(Run([&]() {
                  send_key_press(VK_RETURN);
                  send_key_press(VK_ESCAPE);
                  run_later(150, [&]() {
                      open_after_escape = IsWindowVisible(GetParent(host)) != 0;
                      keys = root->input;
                      root->EndModal(8);
                  });
              }),
              8);
    // The dialog's own key handling neither ate them nor ended the run.
    EXPECT_TRUE(open_after_escape);
    EXPECT_EQ(keys, (std::vector<std::string>{"key 13 0 0 0", "key 27 0 0 0"}));
}

}  // namespace
