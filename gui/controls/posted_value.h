#ifndef GUI_CONTROLS_POSTED_VALUE_H
#define GUI_CONTROLS_POSTED_VALUE_H

#include <stdint.h>

#include "base/critical_section.h"
#include "gui/child_element.h"

// Whether the calling thread may touch the element's drawing state now: it
// runs the element's host window, or the element has no window yet.
bool element_on_ui_thread(cChildElement* element);

// A value that any thread hands to an element, which applies it on its UI
// thread. The caller builds the value on its own thread; the box keeps the
// newest one, and one plain wake-up action of the box's code at a time is
// queued on the element, so a worker that sets faster than the UI thread
// drains neither floods the queue nor makes the element show stale values.
// A value set directly on the UI thread is newer than one still on its way:
// the setter drops that one. T has a default constructor and Swap(T&).
template <class T>
class cPostedValue {
public:
    explicit cPostedValue(uint32_t action_code) : code(action_code), waiting(false), posted(false) {}
    cPostedValue(const cPostedValue&) = delete;
    cPostedValue& operator=(const cPostedValue&) = delete;

    // Any thread but the UI thread. The value goes into the box; the caller
    // gets the older one left there, to free on its own thread.
    void Post(cChildElement* element, T& value)
    {
        bool wake;
        {
            cSafeCriticalSectionAccess access(&lock);
            pending.Swap(value);
            waiting = true;
            wake = !posted;
            posted = true;
        }
        if (!wake)
            return;
        cChildElement::cChildAction* action = new cChildElement::cChildAction(code);
        // Without a wake-up the next value tries again.
        if (!action || !element->PostAction(action)) {
            cSafeCriticalSectionAccess access(&lock);
            posted = false;
        }
    }

    // UI thread: forgets a value still on its way.
    void Drop()
    {
        cSafeCriticalSectionAccess access(&lock);
        waiting = false;
    }

    // UI thread, from the element's HandleAction: true when the action is
    // the box's wake-up. A waiting value is then swapped into value (which
    // gives the box the element's old one) and *arrived set.
    bool Receive(cChildElement* element, cChildElement* sender, cChildElement::cChildAction* action, T& value,
                 bool* arrived)
    {
        *arrived = false;
        if (sender != element || action->code != code)
            return false;
        cSafeCriticalSectionAccess access(&lock);
        posted = false;
        if (waiting) {
            value.Swap(pending);
            waiting = false;
            *arrived = true;
        }
        return true;
    }

private:
    cCriticalSection lock;
    uint32_t code;
    T pending;
    bool waiting;  // pending holds a value to apply
    bool posted;   // a wake-up action is queued
};

#endif
