#ifndef TESTS_GUI_ELEMENT_PROBE_H
#define TESTS_GUI_ELEMENT_PROBE_H

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/child_element.h"
#include "tests/gui/element_test_host.h"

using cEvents = std::vector<std::string>;

// An element that writes every hook call into a shared event log, so tests
// can check what reached which element and in what order.
class cProbeElement : public cChildElement {
public:
    cProbeElement(const char* probe_name, cEvents* event_log) : name(probe_name), log(event_log) {}

    void OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed) override
    {
        Note("button " + std::to_string(button) + (pressed ? " down " : " up ") + Point(px, py));
    }
    void OnMouseMove(int32_t px, int32_t py) override { Note("move " + Point(px, py)); }
    bool OnMouseWheel(int32_t px, int32_t py, bool up, bool ctrl, int32_t steps) override
    {
        Note("wheel " + Point(px, py) + (up ? " up" : " down") + (ctrl ? " ctrl " : " ") + std::to_string(steps));
        return takes_wheel;
    }
    void OnMouseEnter() override { Note("enter"); }
    void OnMouseLeave() override { Note("leave"); }
    void OnDoubleClick(int32_t px, int32_t py) override
    {
        Note("double " + Point(px, py));
        cChildElement::OnDoubleClick(px, py);
    }
    void OnChar(wchar_t character, bool, bool, bool) override { Note("char " + std::to_string(int(character))); }
    void OnKeyDown(uint32_t key, bool, bool, bool) override { Note("key " + std::to_string(key)); }
    void OnFocusGained(int32_t reason, bool flag1, bool flag2) override
    {
        Note("gained " + std::to_string(reason));
        cChildElement::OnFocusGained(reason, flag1, flag2);
    }
    void OnFocusLost(bool, bool) override { Note("lost"); }
    void OnShownChanged(bool now_shown) override { Note(now_shown ? "shown" : "hidden"); }
    void Paint(cCanvas*) override { Note("paint"); }
    void Layout() override { Note("layout"); }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        const cProbeElement* from = static_cast<const cProbeElement*>(sender);
        std::string detail;
        if (action->code == 2) {
            const cCtxRequestAction* request = static_cast<const cCtxRequestAction*>(action);
            detail = " at " + Point(request->x, request->y) + " flags " + std::to_string(request->ctrl) +
                     std::to_string(request->shift) + std::to_string(request->third);
        } else if (action->code == 1) {
            detail = " reason " + std::to_string(static_cast<const cFocusAction*>(action)->reason);
        } else if (action->code == 3) {
            const cDoubleClickAction* click = static_cast<const cDoubleClickAction*>(action);
            detail = " at " + Point(click->x, click->y);
        }
        Note("action " + std::to_string(action->code) + " from " + (from ? from->name : "null") + detail);
        return handles_actions || cChildElement::HandleAction(sender, action);
    }
    bool ConsumesArrowKeys() override { return consumes_arrows; }
    bool DefaultTabStop() override { return tab_stop_default; }

    void SetPostsDoubleClicks(bool on) { posts_double_clicks = on; }
    bool IsCreated() const { return created; }
    bool IsShownFlag() const { return shown; }
    cChildElement* CaptureChild() const { return capture_child; }
    cChildElement* HoverElement() const { return hover_element; }

    std::string name;
    cEvents* log;
    bool takes_wheel = false;
    bool handles_actions = false;
    bool consumes_arrows = false;
    bool tab_stop_default = false;

private:
    void Note(const std::string& event)
    {
        if (log)
            log->push_back(name + ": " + event);
    }
    static std::string Point(int32_t px, int32_t py) { return std::to_string(px) + "," + std::to_string(py); }
};

// A probe that a hook destroys. Its freed memory is filled with 0xDD and
// kept, so that a later write into it shows (TouchedAfterFree) and a read
// through it crashes instead of finding the old values.
class cDoomedProbe : public cProbeElement {
public:
    using cProbeElement::cProbeElement;

    // Blocks come from a pool of their own and go back to it only here.
    static void* operator new(size_t size)
    {
        return size <= slot_size && used < slot_count ? pool[used++] : nullptr;
    }
    static void operator delete(void* block, size_t size) { memset(block, 0xDD, size); }
    // Checks every block handed out since the last check, then frees them.
    static bool TouchedAfterFree()
    {
        bool touched = false;
        for (size_t slot = 0; slot < used; ++slot) {
            for (size_t i = 0; i < sizeof(cDoomedProbe); ++i)
                touched = touched || pool[slot][i] != 0xDD;
        }
        used = 0;
        return touched;
    }

    void OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed) override
    {
        cProbeElement::OnMouseButton(px, py, button, pressed);
        if (destroy_on_button)
            delete this;
    }
    void OnFocusLost(bool flag1, bool flag2) override
    {
        cProbeElement::OnFocusLost(flag1, flag2);
        if (destroy_on_focus_lost)
            delete this;
    }
    // As a list that drops its in-place editor when the focus leaves it.
    void OnFocusReleased(cChildElement* child, bool, bool) override
    {
        if (destroy_released_child)
            delete child;
    }

    bool destroy_on_button = false;
    bool destroy_on_focus_lost = false;
    bool destroy_released_child = false;

private:
    static const size_t slot_size = 512;
    static const size_t slot_count = 4;
    alignas(16) static inline unsigned char pool[slot_count][slot_size];
    static inline size_t used = 0;
};

// A root probe of the given class in a width x height test window, and
// probe children it places and destroys before the root.
template <int32_t width, int32_t height, class Root = cProbeElement>
class cElementFixture : public ::testing::Test {
protected:
    void SetUp() override { attach_test_root(root, host, width, height); }

    template <class Element = cProbeElement>
    Element* Add(const char* name, int32_t x, int32_t y, int32_t w, int32_t h, cChildElement* parent = nullptr)
    {
        Element* child = new Element(name, &log);
        owned.emplace_back(child);
        EXPECT_TRUE((parent ? parent : &root)->AddChild(child, x, y, w, h)) << name;
        return child;
    }

    cEvents log;
    cTestHost host;
    Root root{"root", &log};
    std::vector<std::unique_ptr<cChildElement>> owned;
};

#endif
