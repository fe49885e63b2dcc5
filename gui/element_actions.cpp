#include "base/critical_section.h"
#include "base/event.h"
#include "gui/child_element.h"
#include "gui/element_registry.h"

// Action queues between any thread and the UI thread. One process-wide lock
// guards every queue; it is held only to append, count or take actions,
// never while an action is handled or completed.

namespace {

cCriticalSection& action_lock()
{
    static cCriticalSection lock;
    return lock;
}

void queue_action(cOwnedList& queue, cChildElement::cChildAction* action)
{
    cSafeCriticalSectionAccess access(&action_lock());
    objlist_append(queue, action);
}

// Every action of the list is told that it was dropped, then destroyed.
void discard_actions(cOwnedList& list)
{
    while (cListItem* item = objlist_take_first(list)) {
        cChildElement::cChildAction* action = static_cast<cChildElement::cChildAction*>(item);
        action->OnDiscarded();
        delete action;
    }
}

}  // namespace

void cChildElement::cChildAction::OnDone() {}

void cChildElement::cChildAction::OnDiscarded() {}

void cChildElement::cSentChildAction::OnDone()
{
    if (delivered)
        *delivered = true;
    if (event)
        event->Set();
}

void cChildElement::cSentChildAction::OnDiscarded()
{
    if (delivered)
        *delivered = false;
    if (event)
        event->Set();
}

bool cChildElement::PostAction(cChildAction* action)
{
    if (!action) {
        action = new cChildAction(0);
        if (!action)
            return false;
    }
    queue_action(posted_queue, action);
    return NotifyPostedPending(this);
}

bool cChildElement::SendAction(cChildAction* action)
{
    if (!action)
        return false;
    queue_action(sent_queue, action);
    return NotifySentPending(this);
}

bool cChildElement::SendActionAndWait(cSentChildAction* action)
{
    if (!action)
        return false;
    cEvent event;
    if (!event.Create(nullptr, false, false)) {
        delete action;
        return false;
    }
    bool delivered = false;
    action->event = &event;
    action->delivered = &delivered;
    queue_action(sent_queue, action);
    if (!NotifySentPending(this)) {
        // Nobody will drain for this call: withdraw the action unless a
        // drain already holds it, which then completes it.
        bool withdrawn;
        {
            cSafeCriticalSectionAccess access(&action_lock());
            withdrawn = objlist_unlink(sent_queue, action);
        }
        if (withdrawn) {
            delete action;
            return false;
        }
    }
    // The UI thread completes the action (handled or discarded) and then
    // destroys it; it is not touched here after the wait.
    event.Wait();
    return delivered;
}

bool cChildElement::DispatchAction(cChildElement* sender, cChildAction* action)
{
    uint32_t own_serial = serial;
    if (HandleAction(sender, action))
        return true;
    // A handler may have destroyed this element: then nobody is left above.
    if (!element_registry_holds(this, own_serial))
        return false;
    return parent ? parent->DispatchAction(sender, action) : false;
}

bool cChildElement::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (!action)
        return false;
    if (sender == this && action->code == 5) {
        delete tooltip;
        tooltip = nullptr;
        return true;
    }
    if (action->code == 4) {
        GetTopElement()->SetFocusTo(sender);
        return true;
    }
    return false;
}

// Actions are taken from the queue one at a time, so that a handler that
// runs a nested message loop lets that loop's drains go on with the rest
// in queue order (and answer a waiting sender there), instead of leaving
// the rest held here until the nested loop ends. A drain handles at most
// what was queued when it began: later actions have wake-ups of their own.
bool drain_action_queue(cChildElement* element, bool sent)
{
    if (!element || !is_element_alive(element))
        return false;
    uint32_t serial = element->serial;
    cOwnedList& queue = sent ? element->sent_queue : element->posted_queue;
    int32_t waiting = 0;
    {
        cSafeCriticalSectionAccess access(&action_lock());
        for (cListItem* item = queue.first; item; item = item->next)
            ++waiting;
    }
    bool all_handled = true;
    for (; waiting > 0; --waiting) {
        // A handler may have destroyed the element (or an ancestor that
        // owned it): its destruction dropped the rest of the queue.
        if (!element_registry_holds(element, serial))
            return false;
        cChildElement::cChildAction* action;
        {
            cSafeCriticalSectionAccess access(&action_lock());
            action = static_cast<cChildElement::cChildAction*>(objlist_take_first(queue));
        }
        if (!action)
            break;
        bool handled = sent ? element->HandleAction(element, action) : element->DispatchAction(element, action);
        if (!handled)
            all_handled = false;
        action->OnDone();
        delete action;
    }
    return all_handled;
}

bool cChildElement::DrainPostedActions(cChildElement* element)
{
    return drain_action_queue(element, false);
}

bool cChildElement::DrainSentActions(cChildElement* element)
{
    return drain_action_queue(element, true);
}

void cChildElement::DiscardQueues()
{
    cOwnedList posted;
    cOwnedList sent;
    {
        cSafeCriticalSectionAccess access(&action_lock());
        objlist_take(posted_queue, posted);
        objlist_take(sent_queue, sent);
    }
    // Waiters on sent actions wake with a false answer.
    discard_actions(posted);
    discard_actions(sent);
}
