#include "gui/controls/posted_value.h"

#include <windows.h>

#include "gui/request_target.h"
#include "gui/wnd_translator.h"

bool element_on_ui_thread(cChildElement* element)
{
    cWindowRequestTarget* target = element->GetRequestTarget();
    cWndTranslator* window = target ? target->GetWindow() : nullptr;
    HWND handle = window ? window->GetHandle() : nullptr;
    return !handle || GetWindowThreadProcessId(handle, nullptr) == GetCurrentThreadId();
}
