#include "gui/element_clock.h"

#include <windows.h>

namespace {

cTickSource tick_source = nullptr;

}  // namespace

void set_element_tick_source(cTickSource source)
{
    tick_source = source;
}

uint32_t element_tick_count()
{
    return tick_source ? tick_source() : GetTickCount();
}
