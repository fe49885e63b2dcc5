#ifndef TESTS_GUI_ACTION_TEST_ACTIONS_H
#define TESTS_GUI_ACTION_TEST_ACTIONS_H

#include <atomic>

#include "gui/child_element.h"

// What happened to the actions of a test: how many were completed after
// being offered (OnDone), dropped unoffered (OnDiscarded) and destroyed.
struct cActionCounts {
    std::atomic<int> done{0};
    std::atomic<int> discarded{0};
    std::atomic<int> destroyed{0};
};

class cCountedAction : public cChildElement::cChildAction {
public:
    cCountedAction(uint32_t action_code, int32_t action_number, cActionCounts* action_counts)
        : cChildAction(action_code), number(action_number), counts(action_counts)
    {
    }
    ~cCountedAction() override { ++counts->destroyed; }
    void OnDone() override { ++counts->done; }
    void OnDiscarded() override { ++counts->discarded; }

    int32_t number;
    cActionCounts* counts;
};

class cCountedSentAction : public cChildElement::cSentChildAction {
public:
    cCountedSentAction(uint32_t action_code, cActionCounts* action_counts, int* answer_slot = nullptr)
        : cSentChildAction(action_code), counts(action_counts), answer(answer_slot)
    {
    }
    ~cCountedSentAction() override { ++counts->destroyed; }
    void OnDone() override
    {
        ++counts->done;
        cSentChildAction::OnDone();
    }
    void OnDiscarded() override
    {
        ++counts->discarded;
        cSentChildAction::OnDiscarded();
    }

    cActionCounts* counts;
    int* answer;  // where the handler writes the user's answer; owned by the sender
};

#endif
