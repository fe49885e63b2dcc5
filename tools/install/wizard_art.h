#ifndef TOOLS_INSTALL_WIZARD_ART_H
#define TOOLS_INSTALL_WIZARD_ART_H

#include <stdint.h>

// The install wizard's pictures, drawn at build time by
// tools/install/resources/draw_wizard.py.

// The background, 636 x 443, as a PNG file.
const int32_t wizard_background_width = 636;
const int32_t wizard_background_height = 443;
extern const uint8_t wizard_background_png[];
extern const uint32_t wizard_background_png_size;

// The step markers, 0xAARRGGBB with straight alpha, rows bottom-up, under
// their picture-cache ids: 1 to 7 a step still to come (the number of
// steps up to it), 20 a step done, 21 the current step.
const int32_t wizard_marker_count = 9;
const int32_t wizard_marker_width = 16;
const int32_t wizard_marker_height = 14;
const int32_t wizard_marker_done = 20;
const int32_t wizard_marker_current = 21;
extern const int32_t wizard_marker_ids[wizard_marker_count];
extern const uint32_t wizard_marker_pixels[wizard_marker_count][wizard_marker_width * wizard_marker_height];

// The folder page's picture, 29 x 22, as the markers.
const int32_t wizard_folder_width = 29;
const int32_t wizard_folder_height = 22;
extern const uint32_t wizard_folder_pixels[wizard_folder_width * wizard_folder_height];

#endif
