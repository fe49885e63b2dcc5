#ifndef TOOLS_SHELL_PRODUCT_ICONS_H
#define TOOLS_SHELL_PRODUCT_ICONS_H

#include <stdint.h>

class cPictBase;
struct cImageBuffer;

// A product's icons for the main window: the icon of the file at path (an
// executable's first icon group, or a picture) at 16 x 16 into small and
// 48 x 48 into large. A size the file cannot give (no path, no such file,
// no icon) gets the built-in default icon.
void load_product_icons(const wchar_t* path, cImageBuffer& small, cImageBuffer& large);

// The picture's pixels into out at exactly width x height, scaled when the
// picture has another size. False, out untouched, for an empty picture or
// one whose pixels do not match its size.
bool copy_icon_picture(cPictBase* picture, int32_t width, int32_t height, cImageBuffer& out);

#endif
