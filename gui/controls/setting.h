#ifndef GUI_CONTROLS_SETTING_H
#define GUI_CONTROLS_SETTING_H

#include "gui/child_element.h"

// The pattern of the controls' setters: a value that differs is stored and
// the element redrawn when redraw asks for it; true when it changed.
template <class T>
bool store_setting(cChildElement* element, T* field, T value, bool redraw)
{
    if (*field == value)
        return false;
    *field = value;
    if (redraw)
        element->Redraw(nullptr);
    return true;
}

#endif
