#include "pict/pict_fit.h"

#include "pict/pict_factory.h"
#include "pict/pict_target.h"

namespace {

// The size of a width x height picture shrunk (never enlarged) into the
// maxima with its aspect kept; false when a side comes to 0.
bool fitted_size(int32_t width, int32_t height, int32_t maximum_width, int32_t maximum_height,
                 int32_t* fitted_width, int32_t* fitted_height)
{
    double zoom = double(maximum_width) / width;
    double across = double(maximum_height) / height;
    zoom = across < zoom ? across : zoom;
    zoom = zoom < 1.0 ? zoom : 1.0;
    *fitted_width = int32_t(width * zoom + 0.5);
    *fitted_height = int32_t(height * zoom + 0.5);
    return *fitted_width > 0 && *fitted_height > 0;
}

// A target over the whole target picture, margins in the background colour.
void target_over(cPictTarget* target, cPictBase* picture, uint32_t background)
{
    pict_target_init(target, picture);
    target->background = background;
}

// pict_load_fit's codes for a decoded picture: its pixels move into target
// when they fit, else it is rendered into a target picture of the fitted
// size.
int32_t fit_decoded(cPictBase* picture, cPictBase* target, int32_t maximum_width, int32_t maximum_height,
                    uint32_t background)
{
    if (picture->width <= maximum_width && picture->height <= maximum_height) {
        target->TakePixels(picture);
        return 0;
    }
    int32_t width, height;
    if (!fitted_size(picture->width, picture->height, maximum_width, maximum_height, &width, &height))
        return 1;
    if (!target->AllocPixels32(width, height))
        return 2;
    cPictTarget output;
    target_over(&output, target, background);
    return pict_target_render(&output, picture) ? 0 : 2;
}

}  // namespace

int32_t pict_load_fit(const cPictInfo* info, cPictBase* picture, cFileIOTarget* stream, cPictBase* target,
                      int32_t maximum_width, int32_t maximum_height, bool full_decode_allowed, uint32_t background)
{
    if (!info || !picture || !stream || !target || maximum_width < 1 || maximum_height < 1 || info->width < 1 ||
        info->height < 1)
        return 1;
    int32_t width, height;
    if (!fitted_size(info->width, info->height, maximum_width, maximum_height, &width, &height))
        return 1;
    if (info->has_preview) {
        // The preview's size is read back from the picture it filled.
        cPictDummy scratch;
        if (picture->LoadPreview(stream, &scratch, maximum_width, maximum_height) && scratch.width > 0 &&
            scratch.height > 0)
            return fit_decoded(&scratch, target, maximum_width, maximum_height, background);
    }
    if (!full_decode_allowed)
        return 5;
    if (!target->AllocPixels32(width, height))
        return 2;
    cPictTarget output;
    target_over(&output, target, background);
    if (!stream->Seek(0))
        return 4;
    if (picture->CanDecodeToTarget()) {
        picture->SetOutputTarget(&output);
        bool loaded = picture->Load(stream);
        // A decode that stopped half-way still holds the target.
        picture->FinishOutput();
        return loaded ? 0 : 4;
    }
    if (!picture->Load(stream))
        return 4;
    return pict_target_render(&output, picture) ? 0 : 2;
}

int32_t pict_decode_to_box(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width, int32_t maximum_height)
{
    if (maximum_width < 1 || maximum_height < 1)
        return 1;
    cPictInfo info = {};
    cPictBase* picture = pict_open_stream(stream, &info);
    if (!picture)
        return 3;
    int32_t code = 1;
    if (info.width >= 1 && info.height >= 1)
        code = pict_load_fit(&info, picture, stream, target, maximum_width, maximum_height, true, 0xFFFFFF);
    delete picture;
    return code;
}

bool pict_fit_into(cPictBase* picture, cPictBase* target, int32_t maximum_width, int32_t maximum_height,
                   uint32_t background)
{
    if (!picture || !target || picture->width <= 0 || picture->height <= 0 || picture->deep ||
        !picture->pixels32.Data() || maximum_width < 1 || maximum_height < 1)
        return false;
    if (fit_decoded(picture, target, maximum_width, maximum_height, background) != 0)
        return false;
    picture->FreePixels();
    return true;
}

bool pict_load_page_fitted(cPictBase* picture, cFileIOTarget* stream, int32_t page, int32_t width, int32_t height,
                           cPictBase* target, int32_t maximum_width, int32_t maximum_height, uint32_t background)
{
    if (!picture || !target || maximum_width < 1 || maximum_height < 1 || width < 1 || height < 1)
        return false;
    if (width <= maximum_width && height <= maximum_height) {
        if (!picture->LoadPage(stream, page))
            return false;
        target->TakePixels(picture);
        return true;
    }
    // A side that comes to 0 is kept at 1.
    int32_t fitted_width, fitted_height;
    fitted_size(width, height, maximum_width, maximum_height, &fitted_width, &fitted_height);
    if (!target->AllocPixels32(fitted_width > 0 ? fitted_width : 1, fitted_height > 0 ? fitted_height : 1))
        return false;
    cPictTarget output;
    target_over(&output, target, background);
    picture->SetOutputTarget(&output);
    bool loaded = picture->LoadPage(stream, page);
    picture->FinishOutput();
    return loaded;
}
