#ifndef GUI_CHILD_ELEMENT_H
#define GUI_CHILD_ELEMENT_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/owned_list.h"
#include "base/tree_map.h"
#include "gui/geometry.h"

class cCanvas;
class cEvent;
class cFontObject;
class cWindowHolder;
class cWindowRequestTarget;
struct cStringArray;

// The base of every widget, panel and form: a node of an element tree whose
// root is hosted by a window. Elements paint on canvases, take mouse, keys
// and focus routed down the tree, and exchange actions queued on them.
// Children are not owned by their parent. Everything runs on the UI thread
// except PostAction, SendAction and SendActionAndWait.
class cChildElement {
public:
    // An action queued on an element and handled on the UI thread. Codes
    // 0-6 have framework meanings (0 click, 1 focus gained, 2 context menu,
    // 3 double click, 4 focus request, 5 close the tooltip, 6 form start and
    // control commands); receivers match the sender first, then the code.
    class cChildAction : public cListItem {
    public:
        explicit cChildAction(uint32_t action_code) : code(action_code) {}
        // Runs after the action was offered to its element (handled or not).
        virtual void OnDone();
        // Runs instead of OnDone when the action is dropped without being
        // offered: its element was destroyed first. Base: nothing.
        virtual void OnDiscarded();

        uint32_t code;
    };

    // An action a thread may wait on. OnDone marks it delivered and sets the
    // waiter's event; OnDiscarded sets the event with the mark left false.
    // Subclasses that override either call the base.
    class cSentChildAction : public cChildAction {
    public:
        explicit cSentChildAction(uint32_t action_code)
            : cChildAction(action_code), event(nullptr), delivered(nullptr)
        {
        }
        void OnDone() override;
        void OnDiscarded() override;

        // Both point into the waiting thread's stack; null when nobody waits.
        cEvent* event;
        bool* delivered;
    };

    class cFocusAction : public cChildAction {
    public:
        // Reason 2 set by SetFocusTo, 1 by a mouse press, 0 other.
        explicit cFocusAction(uint32_t focus_reason) : cChildAction(1), reason(focus_reason) {}
        uint32_t reason;
    };

    class cCtxRequestAction : public cChildAction {
    public:
        cCtxRequestAction(int32_t at_x, int32_t at_y, bool ctrl_down, bool shift_down, bool third_flag)
            : cChildAction(2), x(at_x), y(at_y), ctrl(ctrl_down), shift(shift_down), third(third_flag)
        {
        }
        int32_t x;
        int32_t y;
        uint8_t ctrl;
        uint8_t shift;
        uint8_t third;  // alt from the keyboard, 0 from the mouse
    };

    class cDoubleClickAction : public cChildAction {
    public:
        cDoubleClickAction(int32_t at_x, int32_t at_y) : cChildAction(3), x(at_x), y(at_y) {}
        int32_t x;
        int32_t y;
    };

    cChildElement();
    // Leaves its parent (as RemoveChild does), leaves its children without
    // a parent, destroys a root's window, and drops its queued actions
    // unhandled (waiters on them wake with false).
    virtual ~cChildElement();
    cChildElement(const cChildElement&) = delete;
    cChildElement& operator=(const cChildElement&) = delete;

    // Routing and focus.
    virtual void SetHoverElement(cChildElement* element);
    virtual bool FocusNext(bool forward);
    virtual bool FocusByArrow(bool forward, bool flag1, bool flag2);
    // Corners in this element's coordinates, right and bottom exclusive;
    // null = the whole element.
    virtual void InvalidateRect(const cRectEdges* rect);
    virtual bool CaptureMouse(cChildElement* child, bool on);
    virtual void RequestFocus(cChildElement* element, bool flag1, bool flag2);
    virtual void PaintTree(cCanvas* canvas);
    virtual void SetSize(int32_t width, int32_t height, bool force);
    virtual void RestoreFocus();
    // Reason -1 drops the bounds tests.
    virtual void FocusAtPoint(int32_t x, int32_t y, int32_t reason, bool flag1, bool flag2);
    virtual void SetFocusTo(cChildElement* target);
    // Button 1 left, 2 right.
    virtual void DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift);
    virtual void DispatchMouseMove(int32_t x, int32_t y);
    virtual bool DispatchMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps);
    virtual void SaveFocus();
    virtual void KillFocus(bool flag1, bool flag2);
    virtual bool DispatchChar(wchar_t character, bool shift, bool ctrl, bool alt);
    virtual bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt);

    // Actions.
    virtual bool DispatchAction(cChildElement* sender, cChildAction* action);
    // Called on the root for a wake-up; nothing for an element that no
    // longer exists. True when every action was handled. The drain stops
    // when a handler destroys the element; the rest is dropped.
    virtual bool DrainPostedActions(cChildElement* element);
    virtual bool DrainSentActions(cChildElement* element);
    virtual bool NotifyPostedPending(cChildElement* element);
    virtual bool NotifySentPending(cChildElement* element);

    virtual bool ClientToScreen(cPoint* point);
    virtual bool Create();
    virtual bool CanCloseTree();
    virtual void ForgetElement(cChildElement* element);
    virtual void BroadcastShown(bool shown);
    virtual bool DrawBackground(cCanvas* canvas, const cRect* rect);
    virtual bool EraseBackground(cCanvas* canvas, const cRect* rect);
    virtual bool RequestWindowFocus();
    virtual int32_t GetText(wchar_t* buffer, int32_t capacity);
    virtual const wchar_t* GetTextPtr();
    virtual const wchar_t* GetHintText();
    virtual void SetText(const wchar_t* text, int32_t length, bool redraw);
    virtual void ClearText();
    virtual void SetHintText(const wchar_t* text);
    virtual cSize GetSize();
    virtual cPoint GetScrollOrigin();
    virtual cRect GetClientRect();
    virtual void OnCreate();
    virtual void Paint(cCanvas* canvas);
    virtual bool PaintBackground(cCanvas* canvas, const cRect* rect);
    virtual void Layout();
    virtual void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed);
    virtual void OnMouseMove(int32_t x, int32_t y);
    virtual bool OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps);
    virtual void OnMouseEnter();
    virtual void OnMouseLeave();
    virtual void OnDoubleClick(int32_t x, int32_t y);
    virtual void OnChar(wchar_t character, bool shift, bool ctrl, bool alt);
    virtual void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt);
    virtual bool HandleAction(cChildElement* sender, cChildAction* action);
    virtual bool CanClose();
    virtual void OnShownChanged(bool shown);
    virtual void OnFocusGained(int32_t reason, bool flag1, bool flag2);
    virtual void OnFocusChange(bool flag1, bool flag2);
    virtual void OnFocusLost(bool flag1, bool flag2);
    virtual void OnFocusReleased(cChildElement* child, bool flag1, bool flag2);
    virtual bool QueryChildren();
    // Fix mode 1 both axes, 2 vertical, 3 horizontal: the child does not
    // scroll with this element on that axis.
    virtual bool InsertChild(cChildElement* child, int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t fix_mode);
    // Drops every focus, capture and hover reference to the child's subtree
    // and clears the child's parent; false when it is not a child.
    virtual bool RemoveChild(cChildElement* child);
    virtual bool SetBounds(int32_t x, int32_t y, int32_t width, int32_t height);
    virtual void StartMouseCapture(bool to_children);
    virtual void StopMouseCapture();
    virtual bool IsEnabled();
    virtual void SetEnabled(bool enabled);
    virtual bool WantsArrowKeys();
    virtual void SetWantsArrowKeys(bool wants);
    virtual void TakeFocus();
    virtual void SetTransparent(bool transparent);
    virtual cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                                 bool italic);
    virtual bool DefaultBackBuffer();
    virtual bool DefaultTabStop();
    virtual bool DefaultRepaintOnResize();
    virtual bool ConsumesArrowKeys();
    virtual bool DefaultFocusable();
    virtual bool DefaultArrowWrap();
    virtual uint32_t DefaultBorder();
    // The catalog section of this element's texts ("ciom::messages"), or null.
    virtual const wchar_t* GetStringSection();
    virtual uint32_t DefaultCursor();
    virtual bool SetCursor(uint32_t kind);
    virtual void InitDefaults();
    // The host window calls it on the root when its window stops being the
    // active one (the focus inside the tree is saved, so a focused child's
    // loss reaches no root hook). Base: nothing.
    virtual void OnWindowDeactivated();

    // Placement: a negative value counts from the parent's far edge
    // (value + size + 1), so x 0 with width -1 fills the width.
    bool AddChild(cChildElement* child, int32_t x, int32_t y, int32_t width, int32_t height);
    // Rect in this element's coordinates; null = the whole element.
    void Redraw(const cRect* rect);
    // Input on / off for the element and its subtree; painting is not
    // affected (that is EnablePainting / DisablePainting).
    void Show();
    void Hide(bool redraw);
    bool IsVisible();
    void EnablePainting(bool redraw);
    void DisablePainting(bool redraw);
    bool IsPaintable();
    void SetBackgroundColour(uint32_t colour) { background_colour = colour & 0xFFFFFF; }
    uint32_t GetBackgroundColour() const { return background_colour; }
    void SetCursorShape(uint32_t shape) { cursor_shape = shape; }
    void SetFocusable(bool focusable_flag) { focusable = focusable_flag; }
    bool GetBackBuffer() const { return back_buffer; }
    void SetBackBuffer(bool on) { back_buffer = on; }
    bool SetMinSize(int32_t width, int32_t height);
    bool SetMaxSize(int32_t width, int32_t height);
    int32_t GetMinWidth() const { return min_width < 0 ? 0 : min_width; }
    int32_t GetMinHeight() const { return min_height < 0 ? 0 : min_height; }
    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    cRect GetBounds() const { return cRect{x, y, width, height}; }
    cChildElement* GetParent() const { return parent; }
    cChildElement* GetTopElement();
    bool HasFocus() const { return has_focus; }
    cChildElement* GetFocusedChild() const { return focused_child; }
    // Binds a root to its host window without side effects.
    void AttachWindow(cWindowRequestTarget* target, int32_t x, int32_t y, int32_t width, int32_t height);
    void DetachWindow() { request_target = nullptr; }
    cWindowRequestTarget* GetRequestTarget();
    bool GetScreenPosition(cPoint* point);
    bool ContainsPoint(int32_t px, int32_t py) const { return px >= 0 && px < width && py >= 0 && py < height; }
    bool IsDescendant(cChildElement* element);
    // The host window lost the mouse (another window took it, or the system
    // cancelled the mode): the capture path from here down ends without
    // asking the window, which no longer holds it.
    void DropMouseCapture();
    bool GetDescendantBounds(cChildElement* child, cRect* bounds);
    bool MeasureText(const wchar_t* text, cSize* size, cFontObject* font);
    intptr_t ShowModal(const wchar_t* title, int32_t width, int32_t height, cChildElement* root, bool resizable);
    void EndModal(intptr_t result);
    cWindowHolder* ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root,
                             bool activate);
    intptr_t RunPopupModal(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root);
    bool ClipboardPutText(const wchar_t* text, int32_t length);
    bool ClipboardGetText(_typebuf<wchar_t>& out);
    bool ClipboardGetText(_guardchar<wchar_t>& out);
    bool GetWorkArea(cSize* size);
    // The string of this element's nearest catalog section, or null.
    const wchar_t* LookupString(int32_t id);
    // The same for an element not yet inserted under the parent.
    const wchar_t* LookupStringFor(cChildElement* would_be_parent, int32_t id);
    cFontObject* GetDefaultFont();

    // Any thread, on a live element. The element's queue owns the action
    // from here on (also when the answer is false). Post: handled by the
    // element or a parent; null queues a plain code-0 action. Send: handled
    // by the element alone. False when the window could not be woken; the
    // action then waits for a later wake-up or the element's destruction.
    bool PostAction(cChildAction* action);
    bool SendAction(cChildAction* action);
    // Worker threads only: blocks until the UI thread has offered the action
    // to the element. False when it was dropped unoffered (the element was
    // destroyed first) or nobody could be woken (the action is withdrawn).
    bool SendActionAndWait(cSentChildAction* action);

protected:
    cChildElement* tooltip;  // the open tooltip, owned
    _guardchar<wchar_t> hint_text;
    cOwnedList posted_queue;
    cOwnedList sent_queue;
    const cStringArray* string_entry;
    cWindowRequestTarget* request_target;
    _guardchar<wchar_t> text;
    int32_t min_width;
    int32_t min_height;
    int32_t max_width;
    int32_t max_height;
    cChildElement* focused_child;
    bool has_focus;
    cChildElement* saved_focus;
    cTreeMap<uint32_t, int32_t> child_set;          // element address -> insertion index
    cTreeMap<int32_t, cChildElement*> order_map;    // insertion index -> element
    cTreeMap<uint32_t, cRect> layout_specs;         // element address -> placement
    cChildElement* parent;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    bool transparent;
    bool shown;
    bool tab_stop;
    bool arrow_focus;
    bool arrow_wrap;
    bool back_buffer;
    bool repaint_on_resize;
    bool paintable;
    bool created;
    bool focusable;
    bool self_capture;
    uint32_t border;
    bool posts_double_clicks;
    cChildElement* capture_child;
    cChildElement* hover_element;
    cChildElement* fixed_vertically_against;
    cChildElement* fixed_horizontally_against;
    uint32_t last_click_time;
    int32_t last_click_x;
    int32_t last_click_y;
    uint32_t background_colour;
    uint32_t cursor_shape;

private:
    friend bool drain_action_queue(cChildElement* element, bool sent);

    uint32_t serial;  // from the live-element registry: tells this element from a later one at its address

    static uint32_t AddressKey(const cChildElement* element) { return uint32_t(uintptr_t(element)); }
    // Children in ascending address order: the first for null, else the one
    // after `after` (which need not be a child any more); null at the end.
    cChildElement* NextChild(const cChildElement* after);
    // Children in insertion order: the neighbour of index in the direction
    // (from the lowest or highest index for INT32_MIN / INT32_MAX); null at
    // the end. *found receives its index.
    cChildElement* NextInOrder(int32_t index, bool forward, int32_t* found);
    int32_t OrderIndexOf(const cChildElement* child);
    bool FixedHorizontallyHere(const cChildElement* child) const { return child->fixed_horizontally_against == this; }
    bool FixedVerticallyHere(const cChildElement* child) const { return child->fixed_vertically_against == this; }

    // Layout.
    cSize LayoutBox(const cChildElement* child, bool child_known);
    // Resizes and moves a child, redraws what changed, runs its Layout.
    void ApplyChildBounds(cChildElement* child, const cRect& target, bool repaint_whole);
    void RedrawChildArea(const cChildElement* child, const cRect& area);

    // Painting.
    bool ChildVisibleRect(const cChildElement* child, const cRect& client, cPoint origin, cRect* visible);
    void ExcludePaintedSiblings(cCanvas* canvas, const cChildElement* child, const cRect& client, cPoint origin,
                                const cRect& visible);
    void PaintSelf(cCanvas* canvas);
    void PaintContent(cCanvas* canvas);

    // Keys and characters: the focused child may take them now.
    bool FocusedChildTakesKeys();
    // Input: the element takes points with inclusive upper bounds.
    bool AcceptsPoint(int32_t px, int32_t py) const { return px >= 0 && px <= width && py >= 0 && py <= height; }
    // The point moved into the child's coordinates; with client_test the
    // point must lie in the client rectangle on the child's scrolling axes.
    // contains: the child's bounds hold the point.
    bool PointToChild(const cChildElement* child, int32_t px, int32_t py, bool client_test, cPoint* local,
                      bool* contains);
    cPoint CaptureToChild(const cChildElement* child, int32_t px, int32_t py);
    // The next child after `after` (null: from the first), in ascending
    // address order, that is painted (and with need_visible takes input)
    // and contains the point; *local receives the point in its coordinates.
    cChildElement* NextChildAt(const cChildElement* after, int32_t px, int32_t py, bool need_visible,
                               cPoint* local);
    void TrackLeftPress(int32_t px, int32_t py);
    bool MoveArrowFocus(bool forward, bool flag1, bool flag2);
    bool FocusNextFrom(int32_t index, bool forward);
    void ForgetHere(cChildElement* element);

    void DiscardQueues();
    // With a hint text and a registered opener, opens a tooltip.
    void OpenTooltip();
};

// The address belongs to an element that exists.
bool is_element_alive(const cChildElement* element);

#endif
