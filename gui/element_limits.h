#ifndef GUI_ELEMENT_LIMITS_H
#define GUI_ELEMENT_LIMITS_H

#include <stdint.h>

// Size limits of elements; -1 (any negative) is no limit. Insertion lets the
// minimum win a conflict, every later layout the maximum.

inline int32_t clamp_minimum_wins(int32_t value, int32_t minimum, int32_t maximum)
{
    if (maximum >= 0 && value > maximum)
        value = maximum;
    if (minimum >= 0 && value < minimum)
        value = minimum;
    return value;
}

inline int32_t clamp_maximum_wins(int32_t value, int32_t minimum, int32_t maximum)
{
    if (minimum >= 0 && value < minimum)
        value = minimum;
    if (maximum >= 0 && value > maximum)
        value = maximum;
    return value;
}

// A negative placement value counts from the far edge of the box: -1 is the
// box size itself.
inline int32_t resolve_anchor(int32_t value, int32_t box)
{
    return value < 0 ? value + box + 1 : value;
}

#endif
