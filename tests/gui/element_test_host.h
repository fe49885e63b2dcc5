#ifndef TESTS_GUI_ELEMENT_TEST_HOST_H
#define TESTS_GUI_ELEMENT_TEST_HOST_H

#include <string.h>

#include <array>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "gui/catalog.h"
#include "gui/child_element.h"
#include "gui/request_target.h"

// A host window stand-in for element tests: records what the tree asks of
// its window and answers with configurable values. Wake-ups may arrive from
// any thread; a hook, when set, answers them instead of true.
class cTestHost : public cWindowRequestTarget {
public:
    void DestroyWindow() override { ++destroy_window_calls; }
    void EndModal(intptr_t) override {}
    bool Minimize() override { return true; }
    bool Maximize() override { return true; }
    bool MoveWindow(int32_t, int32_t, int32_t, int32_t) override { return move_answer; }
    cWndTranslator* GetWindow() override { return nullptr; }
    // A whole-window invalidation is recorded as all -1.
    void InvalidateWindow(const cRectEdges* rect) override
    {
        invalidations.push_back(rect ? *rect : cRectEdges{-1, -1, -1, -1});
    }
    bool PostPendingPosted(cChildElement* element) override { return Wake(posted_wakeups, on_posted, element); }
    bool PostPendingSent(cChildElement* element) override { return Wake(sent_wakeups, on_sent, element); }
    bool SetMouseCapture(bool on) override
    {
        capture_calls.push_back(on);
        return capture_answer;
    }
    bool SetCursorShape(uint32_t kind) override
    {
        cursor_kinds.push_back(kind);
        return true;
    }
    bool ClipboardPutText(const wchar_t* text, uint32_t size_in_bytes) override
    {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
        clipboard.assign(bytes, bytes + size_in_bytes);
        return true;
    }
    bool ClipboardGetText(_typebuf<uint8_t>& out) override
    {
        if (clipboard.empty())
            return false;
        out.Resize(int32_t(clipboard.size()));
        memcpy(out.Data(), clipboard.data(), clipboard.size());
        return true;
    }
    bool SetMinClientSize(int32_t width, int32_t height) override { return Store(min_client, width, height); }
    bool SetMaxClientSize(int32_t width, int32_t height) override { return Store(max_client, width, height); }
    bool GetWindowBounds(cRect* bounds) override
    {
        *bounds = window_bounds;
        return true;
    }
    bool GetWorkArea(cSize* size) override { return Store(*size, 1024, 768); }
    void SetTitle(const wchar_t*) override {}
    cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                         bool italic) override
    {
        font_requests.push_back(std::to_wstring(width) + L"x" + std::to_wstring(height) + L" " + face +
                                (bold ? L" b" : L"") + (underline ? L" u" : L"") + (italic ? L" i" : L""));
        return nullptr;
    }
    // Only "ciom::messages" exists; its strings are table's.
    const cStringArray* GetStringTable(const wchar_t* section) override
    {
        table_requests.push_back(section);
        return table_requests.back() == L"ciom::messages" ? &table : nullptr;
    }
    bool MeasureText(cFontObject*, const wchar_t*, cSize*) override { return false; }
    cWindowHolder* ShowPopup(int32_t, int32_t, int32_t, int32_t, cChildElement*, bool) override { return nullptr; }
    intptr_t RunModal(const wchar_t*, int32_t, int32_t, cChildElement*, bool) override { return -1; }
    intptr_t RunPopupModal(int32_t, int32_t, int32_t, int32_t, cChildElement*) override { return -1; }
    bool SetWindowFocus() override { return ++window_focus_requests > 0; }

    size_t PostedWakeups() { return Count(posted_wakeups); }
    size_t SentWakeups() { return Count(sent_wakeups); }

    std::mutex lock;  // guards the wake-up records and hooks
    std::vector<cChildElement*> posted_wakeups;
    std::vector<cChildElement*> sent_wakeups;
    std::function<bool(cChildElement*)> on_posted;
    std::function<bool(cChildElement*)> on_sent;

    std::vector<cRectEdges> invalidations;
    std::vector<bool> capture_calls;
    std::vector<uint32_t> cursor_kinds;
    std::vector<uint8_t> clipboard;
    std::vector<std::wstring> font_requests;
    std::vector<std::wstring> table_requests;
    cStringArray table;
    cRect window_bounds{100, 200, 640, 480};
    cSize min_client{-2, -2};
    cSize max_client{-2, -2};
    bool capture_answer = true;
    bool move_answer = true;
    int destroy_window_calls = 0;
    int window_focus_requests = 0;

private:
    static bool Store(cSize& slot, int32_t width, int32_t height)
    {
        slot = cSize{width, height};
        return true;
    }
    size_t Count(const std::vector<cChildElement*>& records)
    {
        std::lock_guard<std::mutex> guard(lock);
        return records.size();
    }
    bool Wake(std::vector<cChildElement*>& records, std::function<bool(cChildElement*)>& hook_slot,
              cChildElement* element)
    {
        std::function<bool(cChildElement*)> hook;
        {
            std::lock_guard<std::mutex> guard(lock);
            records.push_back(element);
            hook = hook_slot;
        }
        return hook ? hook(element) : true;
    }
};

// Rectangles as plain numbers, for comparisons that print well.
using cBox = std::array<int32_t, 4>;
inline cBox xywh(const cRect& r) { return {r.x, r.y, r.width, r.height}; }
inline cBox ltrb(const cRectEdges& e) { return {e.left, e.top, e.right, e.bottom}; }

// A root element bound to a test host, created as the window layer does.
inline void attach_test_root(cChildElement& root, cTestHost& host, int32_t width, int32_t height)
{
    root.AttachWindow(&host, 0, 0, width, height);
    root.Create();
}

// Handles every wake-up the host received, as the window does, posted
// queues first; gives the drains' results in order.
inline std::vector<bool> drain_wakeups(cChildElement& root, cTestHost& host)
{
    std::vector<cChildElement*> posted;
    std::vector<cChildElement*> sent;
    {
        std::lock_guard<std::mutex> guard(host.lock);
        posted.swap(host.posted_wakeups);
        sent.swap(host.sent_wakeups);
    }
    std::vector<bool> results;
    for (cChildElement* element : posted)
        results.push_back(root.DrainPostedActions(element));
    for (cChildElement* element : sent)
        results.push_back(root.DrainSentActions(element));
    return results;
}

#endif
