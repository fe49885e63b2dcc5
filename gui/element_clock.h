#ifndef GUI_ELEMENT_CLOCK_H
#define GUI_ELEMENT_CLOCK_H

#include <stdint.h>

// The millisecond clock of double-click detection: GetTickCount unless a
// test puts its own clock in place. UI thread.
typedef uint32_t (*cTickSource)();

// Null restores GetTickCount.
void set_element_tick_source(cTickSource source);
uint32_t element_tick_count();

#endif
