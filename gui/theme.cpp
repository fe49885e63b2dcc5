#include "gui/theme.h"

#include "gui/image_cache.h"

namespace {

// The process-wide theme; GUI thread only, so no lock.
cCITheme* current_theme = nullptr;

void replace_current_theme(cCITheme* theme)
{
    delete current_theme;
    current_theme = theme;
}

}  // namespace

cCITheme::cCITheme(const cThemeDescriptor* descriptor)
    : metrics(theme_metric_count), colours(theme_colour_count), images(theme_image_count)
{
    for (int32_t i = 0; i < metrics.Count(); ++i)
        metrics[i] = descriptor ? descriptor->metrics[i] : cThemeMetric{0, 0, 0};
    for (int32_t i = 0; i < colours.Count(); ++i)
        colours[i] = descriptor ? descriptor->colours[i] : 0;
    if (!descriptor)
        return;
    for (int32_t i = 0; i < images.Count(); ++i) {
        const cThemeImageDescriptor& source = descriptor->images[i];
        cThemeImageRecord& record = images[i];
        record.width = source.width;
        record.height = source.height;
        record.pixel_or_flags = source.pixel_or_flags;
        if (source.pixels)
            record.image.SetPixels(source.pixels, int32_t(source.width), int32_t(source.height), false);
    }
}

cCITheme::~cCITheme() {}

bool cCITheme::Install(const cThemeDescriptor* descriptor)
{
    cCITheme* theme = new cCITheme(descriptor);
    replace_current_theme(theme);
    return theme != nullptr;
}

uint32_t cCITheme::GetColour(int32_t index)
{
    if (index < 0 || index >= theme_colour_count)
        return 0;
    return colours[index];
}

int32_t cCITheme::GetMetric(uint32_t index, uint32_t column)
{
    if (index >= uint32_t(theme_metric_count) || column > 2)
        return 0;
    const cThemeMetric& metric = metrics[int32_t(index)];
    return column == 0 ? metric.default_value : column == 1 ? metric.minimum : metric.maximum;
}

cImageBuffer* cCITheme::GetImage(uint32_t index)
{
    if (index >= uint32_t(theme_image_count))
        return nullptr;
    cImageBuffer& image = images[int32_t(index)].image;
    return image.GetPixels() ? &image : nullptr;
}

const uint32_t* cCITheme::GetPixels(uint32_t index, cSize* size)
{
    if (index >= uint32_t(theme_image_count))
        return nullptr;
    cThemeImageRecord& record = images[int32_t(index)];
    if (size) {
        size->width = int32_t(record.width);
        size->height = int32_t(record.height);
    }
    if (record.width == 1 && record.height == 1)
        return &record.pixel_or_flags;
    return record.image.GetPixels();
}

cCITheme* get_theme()
{
    if (!current_theme)
        replace_current_theme(new cCITheme(&builtin_theme));
    return current_theme;
}

uint32_t theme_colour(int32_t index)
{
    cCITheme* theme = get_theme();
    return theme ? theme->GetColour(index) : 0;
}

int32_t theme_metric(uint32_t index)
{
    cCITheme* theme = get_theme();
    return theme ? theme->GetMetric(index, 0) : 0;
}

cImageBuffer* theme_image(uint32_t index)
{
    cCITheme* theme = get_theme();
    return theme ? theme->GetImage(index) : nullptr;
}

void theme_fill_cache(cImageCache* cache, const uint32_t* indexes, int32_t count)
{
    if (cache->Get(0))
        return;
    for (int32_t key = 0; key < count; ++key)
        cache->Put(key, theme_image(indexes[key]));
}
