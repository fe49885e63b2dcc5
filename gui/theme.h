#ifndef GUI_THEME_H
#define GUI_THEME_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/typebuf.h"
#include "gui/geometry.h"
#include "gui/image_buffer.h"

class cImageCache;

const int32_t theme_metric_count = 25;
const int32_t theme_colour_count = 62;
const int32_t theme_image_count = 157;

struct cThemeMetric {
    int32_t default_value;
    int32_t minimum;
    int32_t maximum;
};

struct cThemeImageDescriptor {
    uint32_t width;
    uint32_t height;
    uint32_t pixel_or_flags;
    const uint32_t* pixels;  // width x height, bottom-up rows; or null
};

// What a theme is built from: 25 metrics, 62 colours, 157 images.
struct cThemeDescriptor {
    const cThemeMetric* metrics;
    const uint32_t* colours;
    const cThemeImageDescriptor* images;
};

// An image of the theme with its own copy of the pixels. The pixel-or-flags
// word doubles as the pixel of a 1 x 1 image.
struct cThemeImageRecord {
    cThemeImageRecord() : width(0), height(0), pixel_or_flags(0xFFFFFFFF) {}

    uint32_t width;
    uint32_t height;
    uint32_t pixel_or_flags;
    cImageBuffer image;
};

// The look of the whole GUI, one per process: metrics in pixels, colours
// 0x00BBGGRR and images, looked up by index. GUI thread only.
class cCITheme {
public:
    // Null descriptor: every metric and colour 0, every image empty.
    explicit cCITheme(const cThemeDescriptor* descriptor);
    virtual ~cCITheme();
    cCITheme(const cCITheme&) = delete;
    cCITheme& operator=(const cCITheme&) = delete;

    // Replaces the process-wide theme; false when none could be built.
    static bool Install(const cThemeDescriptor* descriptor);

    // Index 0 to 61; 0 for any other.
    uint32_t GetColour(int32_t index);
    // Column 0 default, 1 minimum, 2 maximum; 0 past index 24 or column 2.
    // Throws the bounds failure when the metrics could not be allocated.
    int32_t GetMetric(uint32_t index, uint32_t column);
    // Null past index 156 and for an image without pixels.
    cImageBuffer* GetImage(uint32_t index);
    // Null past index 156; else size (when given) := the image's size, and
    // the pixels: for a 1 x 1 image the pixel-or-flags word, which is then
    // its pixel; otherwise the image's pixel block (null when none).
    const uint32_t* GetPixels(uint32_t index, cSize* size);

private:
    _classbuf<cThemeMetric> metrics;
    _typebuf<uint32_t> colours;
    _classbuf<cThemeImageRecord> images;
};

// The process-wide theme, built from the built-in tables on first use; null
// when it cannot be built.
cCITheme* get_theme();

// The current theme's colour, default metric (column 0) and image: 0, 0
// and null without a theme.
uint32_t theme_colour(int32_t index);
int32_t theme_metric(uint32_t index);
cImageBuffer* theme_image(uint32_t index);

// Fills a control's shared cache once: keys 0 to count - 1 borrow the
// theme images of the indexes; nothing when key 0 is present already.
void theme_fill_cache(cImageCache* cache, const uint32_t* indexes, int32_t count);

// The program's built-in theme tables.
extern const cThemeDescriptor builtin_theme;

#endif
