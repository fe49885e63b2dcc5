#ifndef GUI_THEME_H
#define GUI_THEME_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/typebuf.h"
#include "gui/geometry.h"
#include "gui/image_buffer.h"

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

struct cThemeImageRecord {
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

    uint32_t GetColour(int32_t index);
    // Column 0 default, 1 minimum, 2 maximum.
    int32_t GetMetric(uint32_t index, uint32_t column);
    cImageBuffer* GetImage(uint32_t index);
    const uint32_t* GetPixels(uint32_t index, cSize* size);

private:
    _typebuf<int32_t> metrics;
    _typebuf<uint32_t> colours;
    _classbuf<cThemeImageRecord> images;
};

// The process-wide theme, built from the built-in tables on first use; null
// when it cannot be built.
cCITheme* get_theme();

// The program's built-in theme tables.
extern const cThemeDescriptor builtin_theme;

#endif
