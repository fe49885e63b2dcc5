#ifndef TESTS_GUI_ELEMENT_TEST_HOST_H
#define TESTS_GUI_ELEMENT_TEST_HOST_H

#include <functional>
#include <string.h>

#include <mutex>
#include <string>
#include <vector>

#include "gui/catalog.h"
#include "gui/child_element.h"
#include "gui/request_target.h"

// A host window stand-in for element tests: records what the tree asks of
// its window (invalidations, capture, cursors, wake-ups, focus) and answers
// with configurable values. Wake-ups may arrive from any thread.
class cTestHost : public cWindowRequestTarget {
public:
    struct Invalidation {
        bool whole;
        cRectEdges edges;
    };

    void DestroyWindow() override { ++destroy_window_calls; }
    void EndModal(intptr_t result) override { modal_results.push_back(result); }
    bool Minimize() override { return true; }
    bool Maximize() override { return true; }
    bool MoveWindow(int32_t, int32_t, int32_t, int32_t) override { return move_answer; }
    cWndTranslator* GetWindow() override { return nullptr; }
    void InvalidateWindow(const cRectEdges* rect) override
    {
        invalidations.push_back(rect ? Invalidation{false, *rect} : Invalidation{true, {0, 0, 0, 0}});
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
        clipboard.assign(reinterpret_cast<const uint8_t*>(text), reinterpret_cast<const uint8_t*>(text) + size_in_bytes);
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
    bool SetMinClientSize(int32_t width, int32_t height) override
    {
        min_client = cSize{width, height};
        return true;
    }
    bool SetMaxClientSize(int32_t width, int32_t height) override
    {
        max_client = cSize{width, height};
        return true;
    }
    bool GetWindowBounds(cRect* bounds) override
    {
        *bounds = window_bounds;
        return true;
    }
    bool GetWorkArea(cSize* size) override
    {
        *size = cSize{1024, 768};
        return true;
    }
    void SetTitle(const wchar_t*) override {}
    cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                         bool italic) override
    {
        font_requests.push_back(std::to_wstring(width) + L"x" + std::to_wstring(height) + L" " + face +
                                (bold ? L" b" : L"") + (underline ? L" u" : L"") + (italic ? L" i" : L""));
        return nullptr;
    }
    const cStringArray* GetStringTable(const wchar_t* section) override
    {
        table_requests.push_back(section);
        return table_section == section ? &table : nullptr;
    }
    bool MeasureText(cFontObject*, const wchar_t*, cSize*) override { return false; }
    cWindowHolder* ShowPopup(int32_t, int32_t, int32_t, int32_t, cChildElement*, bool) override { return nullptr; }
    intptr_t RunModal(const wchar_t*, int32_t, int32_t, cChildElement*, bool) override { return -1; }
    intptr_t RunPopupModal(int32_t, int32_t, int32_t, int32_t, cChildElement*) override { return -1; }
    bool SetWindowFocus() override
    {
        ++window_focus_requests;
        return true;
    }

    size_t PostedWakeups()
    {
        std::lock_guard<std::mutex> guard(lock);
        return posted_wakeups.size();
    }
    size_t SentWakeups()
    {
        std::lock_guard<std::mutex> guard(lock);
        return sent_wakeups.size();
    }

    std::mutex lock;  // guards the wake-up records and hooks
    std::vector<cChildElement*> posted_wakeups;
    std::vector<cChildElement*> sent_wakeups;
    std::function<bool(cChildElement*)> on_posted;
    std::function<bool(cChildElement*)> on_sent;
    bool wake_answer = true;

    std::vector<Invalidation> invalidations;
    std::vector<bool> capture_calls;
    std::vector<uint32_t> cursor_kinds;
    std::vector<intptr_t> modal_results;
    std::vector<uint8_t> clipboard;
    std::vector<std::wstring> font_requests;
    std::vector<std::wstring> table_requests;
    std::wstring table_section = L"ciom::messages";
    cStringArray table;  // the strings of table_section; every other section is missing
    cRect window_bounds{100, 200, 640, 480};
    cSize min_client{-2, -2};
    cSize max_client{-2, -2};
    bool capture_answer = true;
    bool move_answer = true;
    int destroy_window_calls = 0;
    int window_focus_requests = 0;

private:
    bool Wake(std::vector<cChildElement*>& records, std::function<bool(cChildElement*)>& hook_slot,
              cChildElement* element)
    {
        std::function<bool(cChildElement*)> hook;
        {
            std::lock_guard<std::mutex> guard(lock);
            records.push_back(element);
            hook = hook_slot;
        }
        return hook ? hook(element) : wake_answer;
    }
};

// A root element bound to a test host, created as the window layer does.
inline void attach_test_root(cChildElement& root, cTestHost& host, int32_t width, int32_t height)
{
    root.AttachWindow(&host, 0, 0, width, height);
    root.Create();
}

// Handles every wake-up the host received, as the window does; the drains
// results in order, posted queues first.
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
