#ifndef GUI_GEOMETRY_H
#define GUI_GEOMETRY_H

#include <stdint.h>

// Plain geometry records of the GUI. Rectangles are origin and size; only
// invalidation, which climbs the element tree, works with corners.

struct cPoint {
    int32_t x;
    int32_t y;
};

struct cSize {
    int32_t width;
    int32_t height;
};

struct cRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// Corners of a rectangle; right and bottom are exclusive, as Windows takes
// them.
struct cRectEdges {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

#endif
