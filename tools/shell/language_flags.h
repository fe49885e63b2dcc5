#ifndef TOOLS_SHELL_LANGUAGE_FLAGS_H
#define TOOLS_SHELL_LANGUAGE_FLAGS_H

#include <stdint.h>

// A flag picture: 0xAARRGGBB pixels, rows bottom-up.
struct cFlagPicture {
    int32_t width;
    int32_t height;
    const uint32_t* pixels;
};

// One flag per language id 0 to 9, drawn at build time by
// tools/shell/flags/draw_flags.py: 27 x 22 and 18 x 14.
const uint32_t language_flag_count = 10;
extern const cFlagPicture language_flags_large[language_flag_count];
extern const cFlagPicture language_flags_small[language_flag_count];

#endif
