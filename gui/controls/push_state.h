#ifndef GUI_CONTROLS_PUSH_STATE_H
#define GUI_CONTROLS_PUSH_STATE_H

#include <stdint.h>

class cChildElement;

// The hover and press bookkeeping of a push button. A click is a press and
// a release of the left button inside the button (the mouse capture brings
// the release back from anywhere), or Enter or Space while the button holds
// the keyboard focus; it is reported as a plain code-0 action posted to the
// button. While the button's input is switched off (IsVisible false) it
// takes no buttons or keys, and hover changes are not redrawn.
class cPushState {
public:
    cPushState() : hover(false), pressed(false) {}

    void Reset() { hover = pressed = false; }
    void MouseButton(cChildElement* button, int32_t x, int32_t y, int32_t which, bool down);
    void KeyDown(cChildElement* button, uint32_t key);
    void SetHover(cChildElement* button, bool over);
    // Redraws while the button takes input: hover and focus changes show.
    void Refresh(cChildElement* button);

    bool hover;
    bool pressed;
};

#endif
