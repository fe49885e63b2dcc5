#include "tools/shell/product_icons.h"

#include "base/file_io.h"
#include "gui/image_buffer.h"
#include "pict/file_props.h"
#include "pict/pict_base.h"
#include "tools/shell/default_icons.h"

namespace {

// Area averaging: icons are only ever made smaller or kept.
const int32_t scale_mode_area = 1;

void read_icon(cFileObjectProps* props, cFileIO& file, int32_t size, cImageBuffer& out)
{
    props->Reset();
    props->icon_width = size;
    props->icon_height = size;
    if (!file.Seek(0) || !props->Read(&file, 0, true))
        return;
    cPictPropImage* icon = props->FindIcon();
    if (icon && icon->picture)
        copy_icon_picture(icon->picture, size, size, out);
}

}  // namespace

bool copy_icon_picture(cPictBase* picture, int32_t width, int32_t height, cImageBuffer& out)
{
    _typebuf<uint32_t> pixels;
    int32_t source_width = picture ? picture->GetWidth() : 0;
    int32_t source_height = picture ? picture->GetHeight() : 0;
    if (source_width < 1 || source_height < 1 || !picture->CopyPixels32(pixels) ||
        int64_t(pixels.Count()) != int64_t(source_width) * source_height)
        return false;
    if (source_width == width && source_height == height)
        return out.Attach(pixels, width, height);
    cImageBuffer source;
    if (!source.Attach(pixels, source_width, source_height))
        return false;
    cImageBuffer scaled;
    if (!cImageBuffer::Scale(scale_mode_area, &source, width, height, &scaled) || scaled.GetWidth() != width ||
        scaled.GetHeight() != height)
        return false;
    return out.Attach(scaled.pixels, width, height);
}

void load_product_icons(const wchar_t* path, cImageBuffer& small, cImageBuffer& large)
{
    small.Init();
    large.Init();
    cFileIO file;
    if (path && path[0] && file.Open(path, FILE_MODE_READ)) {
        cFileObjectProps* props = file_props_open(&file);
        if (props) {
            read_icon(props, file, 16, small);
            read_icon(props, file, 48, large);
            delete props;
        }
    }
    if (!small.GetPixels())
        small.SetPixels(default_icon_16, 16, 16, false);
    if (!large.GetPixels())
        large.SetPixels(default_icon_48, 48, 48, false);
}
