#ifndef TOOLS_SHELL_DEFAULT_ICONS_H
#define TOOLS_SHELL_DEFAULT_ICONS_H

#include <stdint.h>

// The icon the main window shows for a product without one of its own, at
// both of its sizes: 0xAARRGGBB pixels, rows bottom-up, drawn at build time
// by tools/shell/resources/draw_default_icons.py.
extern const uint32_t default_icon_16[16 * 16];
extern const uint32_t default_icon_48[48 * 48];

#endif
