#include "gui/controls/progress_child.h"

#include "gui/canvas.h"
#include "gui/controls/setting.h"
#include "gui/theme.h"

namespace {

// The wake-up of a maximum set from another thread.
const uint32_t range_arrived_code = 8;
const uint32_t value_request_code = 6;
const uint32_t fade_request_code = 7;

// The bar's gradients from top to bottom, 0x00RRGGBB.
const int32_t gradient_length = 20;
const uint32_t fill_gradient[gradient_length] = {
    0xA9EF9E, 0x9AE587, 0x97E383, 0x8FE078, 0x87DE6D, 0x84DD69, 0x84DD69, 0x84DD69, 0x84DD69, 0x84DD69,
    0x84DD69, 0x84DD69, 0x84DD69, 0x84DD69, 0xC6EBB7, 0xC8EBBA, 0xCCEDBF, 0xD5EFCC, 0xD6F2CF, 0xE2FCE0,
};
const uint32_t track_gradient[gradient_length] = {
    0xF3F1F0, 0xE6E1DD, 0xE4DFDB, 0xE2DDD9, 0xE1DDD9, 0xE0DCD8, 0xE0DCD8, 0xE0DCD8, 0xE0DCD8, 0xE0DCD9,
    0xE0DCD9, 0xE0DCD9, 0xE0DDD9, 0xE1DDDA, 0xE9E6E3, 0xEBE8E4, 0xF0ECE9, 0xF4F0ED, 0xFAF7F3, 0xF8F8F7,
};
const uint32_t border_pixel = 0xF1D5C6;

// The gradient resampled to the height, as an upright image one pixel wide;
// nothing when it has that height already.
void fit_column(cImageBuffer* column, const uint32_t* gradient, int32_t column_height)
{
    if (column->GetHeight() == column_height)
        return;
    _typebuf<uint32_t> resampled;
    if (cImageBuffer::ResampleRows(gradient, gradient_length, 1, column_height, resampled))
        column->SetPixels(resampled.Data(), 1, column_height, true);
}

// One channel of the background mixed over the bar's pixel: background
// weight a, bar weight b.
uint32_t mix(uint32_t background, uint32_t bar, int32_t background_shift, int32_t bar_shift, double a, double b)
{
    double mixed = double((background >> background_shift) & 0xFF) * a + double((bar >> bar_shift) & 0xFF) * b;
    return uint32_t(mixed) & 0xFF;
}

}  // namespace

void cProgressChild::cPostedRange::Swap(cPostedRange& other)
{
    int32_t kept = maximum;
    maximum = other.maximum;
    other.maximum = kept;
}

cProgressChild::cProgressChild()
    : maximum(0), value(0), fade(1.0), frame_colour(0), posted_range(range_arrived_code)
{
    job.SetElement(this);
}

// The animation thread posts to this element: it ends first.
cProgressChild::~cProgressChild()
{
    job.Stop(4000);
}

void cProgressChild::InitDefaults()
{
    cChildElement::InitDefaults();
    job.Start();
    fade = 1.0;
    maximum = 0;
    value = 0;
    frame_colour = theme_colour(21);
    Render();
}

void cProgressChild::Start()
{
    job.Activate();
}

void cProgressChild::SetPosition(int32_t new_value, bool no_wait)
{
    int32_t limit = job.GetMaximum();
    if (new_value > limit)
        new_value = limit;
    if (new_value < 0)
        new_value = 0;
    job.MoveTo(new_value, no_wait);
}

void cProgressChild::Stop(bool immediately)
{
    job.Deactivate(immediately);
}

// The animation takes the maximum at once; the drawing state follows on the
// UI thread.
void cProgressChild::SetRange(int32_t new_maximum)
{
    if (new_maximum < 1)
        return;
    job.SetRange(new_maximum);
    if (element_on_ui_thread(this)) {
        posted_range.Drop();
        ApplyRange(new_maximum);
        return;
    }
    cPostedRange range;
    range.maximum = new_maximum;
    posted_range.Post(this, range);
}

void cProgressChild::ApplyRange(int32_t new_maximum)
{
    maximum = new_maximum;
    if (value > maximum)
        value = maximum;
}

void cProgressChild::SetBackgroundColour(uint32_t colour, bool redraw)
{
    store_setting(this, &background_colour, colour & 0xFFFFFF, redraw);
}

bool cProgressChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    cPostedRange arrived;
    bool has_value;
    if (posted_range.Receive(this, sender, action, arrived, &has_value)) {
        if (has_value)
            ApplyRange(arrived.maximum);
        return true;
    }
    if (sender != this || (action->code != value_request_code && action->code != fade_request_code))
        return cChildElement::HandleAction(sender, action);
    if (action->code == value_request_code)
        value = static_cast<cSetProgressRequestAction*>(action)->value;
    else
        fade = static_cast<cSetOpacityRequestAction*>(action)->fade;
    Render();
    Redraw(nullptr);
    return true;
}

void cProgressChild::Layout()
{
    Render();
}

void cProgressChild::Render()
{
    int32_t w = width;
    int32_t h = height;
    if (w <= 2 || h <= 2)
        return;
    int32_t filled = 0;
    if (maximum > 0) {
        int32_t shown = value < 0 ? 0 : value > maximum ? maximum : value;
        filled = int32_t(double(shown) * w / maximum);
    }
    int32_t inner = h - 2;
    fit_column(&fill_column, fill_gradient, inner);
    fit_column(&track_column, track_gradient, inner);
    if ((rendered.GetWidth() != w || rendered.GetHeight() != h) && !rendered.Resize(w, h))
        return;
    if (fill_column.GetHeight() != inner || track_column.GetHeight() != inner)
        return;
    double a = fade < 0.0 ? 0.0 : fade > 1.0 ? 1.0 : fade;
    double b = 1.0 - a;
    uint32_t background = background_colour;
    uint32_t* pixels = rendered.GetPixels();
    // Rows are stored bottom-up; y counts from the top.
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = pixels + size_t(h - 1 - y) * size_t(w);
        if (y == 0 || y == h - 1) {
            for (int32_t x = 0; x < w; ++x)
                row[x] = (row[x] & 0xFF000000) | border_pixel;
            continue;
        }
        // The columns are upright images: gradient row y - 1 is stored at
        // inner - y.
        uint32_t fill = fill_column.GetPixels()[inner - y];
        uint32_t track = track_column.GetPixels()[inner - y];
        row[0] = (row[0] & 0xFF000000) | border_pixel;
        row[w - 1] = (row[w - 1] & 0xFF000000) | border_pixel;
        for (int32_t x = 1; x < w - 1; ++x) {
            uint32_t bar = x < filled ? fill : track;
            // The background is 0x00BBGGRR, the pixel 0xAARRGGBB.
            row[x] = (row[x] & 0xFF000000) | mix(background, bar, 0, 16, a, b) << 16 |
                     mix(background, bar, 8, 8, a, b) << 8 | mix(background, bar, 16, 0, a, b);
        }
    }
}

void cProgressChild::Draw(cCanvas* canvas, int32_t x, int32_t y)
{
    if (job.IsAnimating() && job.IsActive() && width >= 3 && height >= 3 && rendered.GetWidth() == width &&
        rendered.GetHeight() == height) {
        canvas->DrawImage(x, y, &rendered, -1, -1);
        return;
    }
    cRect area{x, y, width, height};
    canvas->FillRect(&area, background_colour, frame_colour);
}

void cProgressChild::Paint(cCanvas* canvas)
{
    Draw(canvas, 0, 0);
}

bool cProgressChild::PaintBackground(cCanvas* canvas, const cRect* rect)
{
    if (!canvas || !rect)
        return false;
    Draw(canvas, -rect->x, -rect->y);
    return true;
}
