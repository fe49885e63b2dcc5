#include "gui/theme.h"
#include "gui/theme_images/theme_images.h"

namespace {

// {default, minimum, maximum} in pixels. Row 5's default lies above its
// maximum; the theme takes values as they stand and never clamps.
const cThemeMetric builtin_metrics[theme_metric_count] = {
    {30, 16, 100},  // form top band height
    {5, 0, 20},     // form side width
    {40, 16, 80},   // form bottom band height
    {5, 0, 10},  {5, 0, 10},  {22, 0, 10}, {44, 0, 50},  {24, 0, 40},  {16, 0, 20},
    {10, 0, 20}, {7, 0, 10},  {5, 0, 10},  {3, 0, 10},   {24, 24, 40}, {7, 0, 10},
    {14, 10, 16}, {3, 1, 5},  {12, 12, 24}, {20, 12, 24}, {14, 10, 20}, {20, 10, 40},
    {48, 32, 100}, {12, 12, 30}, {18, 18, 24}, {18, 18, 24},
};

// 0x00BBGGRR: light blue-greys, white fields, dark grey text and the blue
// accent 0xFF9933.
const uint32_t builtin_colours[theme_colour_count] = {
    0xF3E5DF, 0xF3E5DF, 0xF3E5DF, 0xF3E5DF, 0x404040, 0x808080, 0x606060, 0xFF4040,
    0xA0A0A0, 0xFFFFFF, 0xFFFFFF, 0xF0FFFF, 0xC0C0C0, 0x404040, 0xFFFFFF, 0xFCF6F0,
    0xFF9933, 0xFF9933, 0xF1EBE5, 0xF1EBE5, 0xFFFFFF, 0xF1D5C6, 0xF1D5C6, 0xDCB6A9,
    0xFCF3E1, 0xCA9685, 0xE4CDC3, 0xFCF7F5, 0xFFFCFA, 0xFFFFFF, 0xF0F0F0, 0xF0F0FF,
    0xF1D5C6, 0xDCB6A9, 0xCA9685, 0xFFFFFF, 0xFFFFFF, 0xFBF7F6, 0xF4E4DB, 0xF3E5DF,
    0x404040, 0x404040, 0xF3E5DF, 0xD6ADA0, 0xA0A0A0, 0xE0E0E0, 0xB0B0B0, 0xC0C0C0,
    0xFCF7F5, 0x404040, 0x404040, 0xFFFFFF, 0xFFFFFF, 0xEFD8CE, 0xEFD8CE, 0xEFD8CE,
    0xEFD8CE, 0xEFD8CE, 0xEFD8CE, 0xE8DBD6, 0xE8DBD6, 0x908280,
};

}  // namespace

const cThemeDescriptor builtin_theme = {builtin_metrics, builtin_colours, builtin_theme_images};
