#ifndef GUI_THEME_IMAGES_THEME_IMAGES_H
#define GUI_THEME_IMAGES_THEME_IMAGES_H

#include "gui/theme.h"

// The built-in theme's images, written by generate.py beside this header.
extern const cThemeImageDescriptor builtin_theme_images[theme_image_count];

#endif
