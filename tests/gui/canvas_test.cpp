#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <wchar.h>
#include <windows.h>

#include <psapi.h>

#include <cmath>
#include <memory>
#include <string>

#include "gui/image_buffer.h"
#include "gui/offscreen_canvas.h"
#include "gui/win_canvas.h"
#include "tests/gui/canvas_probe.h"
#include "tests/support/heap_probe.h"

TEST(Canvas, AbstractCanvasDrawsNothing)
{
    cCanvas canvas;
    cRect rect = {0, 0, 1, 1};
    EXPECT_EQ(canvas.GetWidth(), 0);
    EXPECT_FALSE(canvas.FillRect(&rect, 0, 0));
    EXPECT_FALSE(canvas.DrawTextColoured(0, 0, false, L"a", -1));
    EXPECT_EQ(canvas.CreateSubCanvas(&rect), nullptr);
    EXPECT_TRUE(canvas.ApplyClip());
    EXPECT_EQ(canvas.DrawTextLine(0, 0, 50, 20, 0, false, 0, 0, L"a", -1, nullptr, false), -1);
    EXPECT_FALSE(canvas.DrawTextWrapped(0, 0, 50, 20, 0, L"a", nullptr, false, 0.0));
}

TEST(Canvas, OffscreenCanvasNeedsAPositiveSizeAndOutlivesTheScreenContextItWasMadeFrom)
{
    cWOffscreenCanvas empty;
    EXPECT_FALSE(empty.InitOffscreen(nullptr, 0, 10, -1, -1));
    EXPECT_FALSE(empty.InitOffscreen(nullptr, 10, -1, -1, -1));
    cWinCanvas window_canvas;
    EXPECT_FALSE(window_canvas.InitOffscreen(nullptr, 10, 10, -1, -1)) << "only an offscreen canvas has a back buffer";
    EXPECT_FALSE(window_canvas.BeginWindowPaint(nullptr, nullptr));

    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    cWOffscreenCanvas canvas;
    bool set_up = canvas.InitOffscreen(screen, 40, 30, -1, -1);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(set_up);
    EXPECT_EQ(canvas.GetWidth(), 40);
    EXPECT_EQ(canvas.GetHeight(), 30);
    EXPECT_EQ(read_pixels(canvas).Count(black), 40 * 30) << "a blank start";
    paint_canvas(canvas, green);
    EXPECT_EQ(read_pixels(canvas).Count(green), 40 * 30);
}

TEST(Canvas, FillRectDrawsAOnePixelOutlineAroundTheFill)
{
    auto canvas = make_canvas(20, 16, blue);
    const cRect rect = {3, 4, 10, 6};
    ASSERT_TRUE(canvas->FillRect(&rect, white, black));
    EXPECT_FALSE(canvas->FillRect(nullptr, white, black));
    const cRect interior = {1, 1, rect.width - 2, rect.height - 2};
    auto outlined = [&](int32_t x, int32_t y) { return inside(x, y, interior) ? white : black; };
    expect_rect(read_pixels(*canvas), rect, outlined, blue);
}

TEST(Canvas, ClipLimitsDrawingToAnIncludedBandUntilTheWholeCanvasIsIncludedAgain)
{
    auto canvas = make_canvas(24, 18, white);
    const cRect all = {0, 0, 24, 18};
    const cRect band = {0, 5, 24, 3};
    const cRect above_band = {0, 0, 24, 4};
    const cRect outside = {30, 0, 5, 5};
    EXPECT_TRUE(canvas->IsRectVisible(&above_band));
    ASSERT_TRUE(canvas->ExcludeClipRect(&all));
    ASSERT_TRUE(canvas->IncludeClipRect(&band));
    EXPECT_FALSE(canvas->IsRectVisible(&above_band)) << "visibility follows the clip before it is applied";
    EXPECT_TRUE(canvas->IsRectVisible(&band));
    EXPECT_FALSE(canvas->IsRectVisible(&outside));
    EXPECT_FALSE(canvas->IsRectVisible(nullptr));
    ASSERT_TRUE(canvas->ApplyClip());
    ASSERT_TRUE(canvas->FillRect(&all, red, red));
    expect_only_rect(read_pixels(*canvas), band, red, white);

    ASSERT_TRUE(canvas->IncludeClipRect(&all));
    ASSERT_TRUE(canvas->ApplyClip());
    paint_canvas(*canvas, green);
    EXPECT_EQ(read_pixels(*canvas).Count(green), 24 * 18);
}

// Changes beyond the right or bottom edge are refused; those before the
// canvas change nothing, and those reaching into it are cut to it.
TEST(Canvas, ClipChangesAreCutToTheCanvas)
{
    auto canvas = make_canvas(20, 10);
    for (const cRect& beyond : {cRect{21, 0, 5, 5}, cRect{0, 11, 5, 5}}) {
        EXPECT_FALSE(canvas->ExcludeClipRect(&beyond));
        EXPECT_FALSE(canvas->IncludeClipRect(&beyond));
    }
    EXPECT_FALSE(canvas->ExcludeClipRect(nullptr));
    for (const cRect& before : {cRect{-30, 0, 10, 10}, cRect{0, -30, 20, 10}})
        EXPECT_TRUE(canvas->ExcludeClipRect(&before));
    for (const cRect& inverted : {cRect{10, 0, -5, 10}, cRect{0, 8, 20, -6}, cRect{4, 4, 0, 3}})
        EXPECT_TRUE(canvas->ExcludeClipRect(&inverted)) << "no width or height: nothing to take out";
    ASSERT_TRUE(canvas->ApplyClip());
    paint_canvas(*canvas, red);
    EXPECT_EQ(read_pixels(*canvas).Count(red), 20 * 10);

    const cRect reaching_in = {-5, 0, 8, 10};
    EXPECT_TRUE(canvas->ExcludeClipRect(&reaching_in));
    ASSERT_TRUE(canvas->ApplyClip());
    paint_canvas(*canvas, green);
    expect_only_rect(read_pixels(*canvas), cRect{3, 0, 17, 10}, green, red);
}

TEST(Canvas, RectIsInsideWhenItReachesTheCanvas)
{
    auto canvas = make_canvas(20, 10);
    const struct {
        cRect rect;
        bool inside;
    } cases[] = {{{-5, -5, 6, 6}, true},
                 {{10, 2, INT32_MAX, INT32_MAX}, true},
                 {{21, 0, 5, 5}, false},
                 {{-10, 0, 5, 5}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(canvas->IsRectInside(&c.rect), c.inside) << c.rect.x << "," << c.rect.y;
    EXPECT_FALSE(canvas->IsRectInside(nullptr));
}

TEST(Canvas, SubCanvasIsCutAtItsParentsEdgesAndDrawsOnlyWhereItsParentsClipAllows)
{
    const cRect nothing = {0, 0, 0, 0};
    const struct {
        cRect excluded;
        cRect child;
        cSize size;
        cRect drawn;
    } cases[] = {{nothing, {15, 12, 10, 10}, {5, 8}, {15, 12, 5, 8}},
                 {{0, 0, 20, 8}, {4, 4, 10, 10}, {10, 10}, {4, 8, 10, 6}}};
    for (const auto& c : cases) {
        auto canvas = make_canvas(20, 20, white);
        ASSERT_TRUE(!c.excluded.width || canvas->ExcludeClipRect(&c.excluded));
        std::unique_ptr<cCanvas> sub(canvas->CreateSubCanvas(&c.child));
        ASSERT_TRUE(sub);
        EXPECT_EQ(sub->GetWidth(), c.size.width);
        EXPECT_EQ(sub->GetHeight(), c.size.height);
        ASSERT_TRUE(sub->ApplyClip());
        const cRect everywhere = {-4, -4, 20, 20};
        ASSERT_TRUE(sub->FillRect(&everywhere, red, red));
        sub.reset();
        expect_only_rect(read_pixels(*canvas), c.drawn, red, white);
        for (const cRect& outside : {cRect{21, 0, 5, 5}, cRect{-10, -10, 5, 5}})
            EXPECT_EQ(canvas->CreateSubCanvas(&outside), nullptr);
        EXPECT_EQ(canvas->CreateSubCanvas(nullptr), nullptr);
    }
}

TEST(Canvas, DrawImagePlacesTheTopRowOnTopAndCutsWhatLiesOutside)
{
    auto canvas = make_canvas(12, 10, white);
    cImageBuffer image;
    make_numbered_image(image, 3, 2);
    ASSERT_TRUE(canvas->DrawImage(4, 5, &image, -1, -1));
    expect_rect(read_pixels(*canvas), cRect{4, 5, 3, 2}, numbered_colour, white);

    const cPoint before = {-1, -1};
    ASSERT_TRUE(canvas->DrawImageAt(&before, &image, nullptr));
    cCanvasPixels pixels = read_pixels(*canvas);
    EXPECT_EQ(pixels.At(0, 0), numbered_colour(1, 1));
    EXPECT_EQ(pixels.At(1, 0), numbered_colour(2, 1));
    EXPECT_EQ(pixels.At(2, 0), white);

    paint_canvas(*canvas, white);
    for (const cPoint& outside : {cPoint{13, 0}, cPoint{0, 11}, cPoint{-4, 0}, cPoint{0, -3}})
        EXPECT_TRUE(canvas->DrawImage(outside.x, outside.y, &image, -1, -1)) << outside.x << "," << outside.y;
    EXPECT_EQ(read_pixels(*canvas).Count(white), 12 * 10);
    cImageBuffer empty;
    EXPECT_FALSE(canvas->DrawImage(0, 0, nullptr, -1, -1));
    EXPECT_FALSE(canvas->DrawImage(0, 0, &empty, -1, -1));
    EXPECT_FALSE(canvas->DrawImageAt(nullptr, &image, nullptr));
}

// A sub-canvas draws in its parent at its own origin: the picture lands
// offset by it, and what passes the sub-canvas's edges is cut there.
TEST(Canvas, DrawImageThroughASubCanvasLandsAtItsOffsetInTheParent)
{
    const cRect child = {5, 3, 6, 5};
    const struct {
        cPoint at;
        cRect drawn;  // in the parent
        cPoint first;  // the image's pixel drawn at the rectangle's corner
    } cases[] = {{{1, 2}, {6, 5, 3, 2}, {0, 0}},
                 {{4, 4}, {9, 7, 2, 1}, {0, 0}},
                 {{-2, -1}, {5, 3, 1, 1}, {2, 1}}};
    cImageBuffer image;
    make_numbered_image(image, 3, 2);
    for (const auto& c : cases) {
        auto canvas = make_canvas(16, 12, white);
        std::unique_ptr<cCanvas> sub(canvas->CreateSubCanvas(&child));
        ASSERT_TRUE(sub);
        ASSERT_TRUE(sub->ApplyClip());
        ASSERT_TRUE(sub->DrawImage(c.at.x, c.at.y, &image, -1, -1));
        sub.reset();
        expect_rect(read_pixels(*canvas), c.drawn,
                    [&](int32_t x, int32_t y) { return numbered_colour(x + c.first.x, y + c.first.y); }, white);
    }
}

// A large picture under a small canvas (a page's background repainted
// around a progress bar): the canvas takes only the pixels it shows, never
// a whole copy of the picture, which the process's peak would show.
TEST(Canvas, DrawImageOfALargePictureOnASmallCanvasMakesNoCopyOfIt)
{
    auto canvas = make_canvas(12, 10, white);
    const int32_t side = 3000;
    // The channels of the pixel at (x, y) counted from the top row.
    auto red = [](int32_t x, int32_t) { return uint32_t(x % 251); };
    auto green = [](int32_t, int32_t y) { return uint32_t(y % 241); };
    auto blue = [](int32_t x, int32_t y) { return uint32_t((x + y) % 239); };
    cImageBuffer image;
    ASSERT_TRUE(image.Resize(side, side));
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            image.GetPixels()[size_t(side - 1 - y) * side + x] =
                0xFF000000u | red(x, y) << 16 | green(x, y) << 8 | blue(x, y);
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof(before);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before)));
    ASSERT_TRUE(canvas->DrawImage(-100, -200, &image, -1, -1));
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof(after);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after)));
    const size_t picture_bytes = size_t(side) * side * sizeof(uint32_t);
    EXPECT_LT(after.PeakWorkingSetSize - before.PeakWorkingSetSize, picture_bytes / 4);
    cCanvasPixels pixels = read_pixels(*canvas);
    for (const cPoint& at : {cPoint{0, 0}, cPoint{11, 0}, cPoint{5, 4}, cPoint{11, 9}}) {
        int32_t x = at.x + 100, y = at.y + 200;
        EXPECT_EQ(pixels.At(at.x, at.y), red(x, y) | green(x, y) << 8 | blue(x, y) << 16) << at.x << "," << at.y;
    }
}

TEST(Canvas, DrawImageAtAnotherSizeDrawsTheLinearlyScaledImage)
{
    auto canvas = make_canvas(20, 16, white);
    cImageBuffer image;
    make_numbered_image(image, 3, 2);
    cImageBuffer scaled;
    ASSERT_TRUE(cImageBuffer::ScaleLinear(&image, 7, 5, &scaled));
    const cSize size = {7, 5};
    const cPoint point = {4, 6};
    ASSERT_TRUE(canvas->DrawImageAt(&point, &image, &size));
    expect_rect(read_pixels(*canvas), cRect{4, 6, 7, 5},
                [&](int32_t x, int32_t y) {
                    uint32_t pixel = scaled.GetPixels()[(4 - y) * 7 + x];
                    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
                },
                white);
}

TEST(Canvas, DrawImageScaledBlendsByAlpha)
{
    auto canvas = make_canvas(8, 3);
    const uint32_t background = 0x3264C8;  // red 200, green 100, blue 50
    paint_canvas(*canvas, background);
    const uint32_t alphas[5] = {0, 64, 128, 200, 255};
    cImageBuffer image;
    ASSERT_TRUE(image.Resize(5, 1));
    for (int i = 0; i < 5; ++i)
        image.GetPixels()[i] = alphas[i] << 24 | 10u << 16 | 220u << 8 | 130u;  // red 10, green 220, blue 130
    const cPoint point = {1, 1};
    ASSERT_TRUE(canvas->DrawImageScaled(&point, &image, nullptr));
    auto blended = [](uint32_t alpha) {
        double a = alpha / 255.0;
        uint32_t r = uint32_t(std::trunc(200 * (1 - a) + 10 * a));
        uint32_t g = uint32_t(std::trunc(100 * (1 - a) + 220 * a));
        uint32_t b = uint32_t(std::trunc(50 * (1 - a) + 130 * a));
        return r | g << 8 | b << 16;
    };
    cCanvasPixels pixels = read_pixels(*canvas);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pixels.At(1 + i, 1), blended(alphas[i])) << "alpha " << alphas[i];
    EXPECT_EQ(pixels.At(5, 1), 0x82DC0Au) << "opaque: the image's own colour";
    EXPECT_EQ(pixels.Count(background), 8 * 3 - 5 + 1) << "only the target changed (alpha 0 keeps it)";

    paint_canvas(*canvas, background);
    const cPoint before = {-3, 0};
    ASSERT_TRUE(canvas->DrawImageScaled(&before, &image, nullptr));
    pixels = read_pixels(*canvas);
    EXPECT_EQ(pixels.At(0, 0), blended(200));
    EXPECT_EQ(pixels.At(1, 0), blended(255));
    EXPECT_EQ(pixels.Count(background), 8 * 3 - 2) << "only the visible pixels are blended";

    // An opaque image at a given size covers exactly that size.
    paint_canvas(*canvas, background);
    cImageBuffer plain;
    ASSERT_TRUE(plain.Fill(0xFF0000FFu, 2, 2));
    const cSize size = {5, 2};
    ASSERT_TRUE(canvas->DrawImageScaled(&point, &plain, &size));
    expect_rect(read_pixels(*canvas), cRect{1, 1, 5, 2}, [](int32_t, int32_t) { return blue; }, background);

    const cPoint beyond = {9, 0};
    const cSize no_width = {0, 3};
    EXPECT_TRUE(canvas->DrawImageScaled(&beyond, &image, nullptr));
    EXPECT_FALSE(canvas->DrawImageScaled(&point, &plain, &no_width));
    EXPECT_FALSE(canvas->DrawImageScaled(nullptr, &image, nullptr));
    EXPECT_FALSE(canvas->DrawImageScaled(&point, nullptr, nullptr));
}

TEST(Canvas, CopyPixelsTakesARectangleInCanvasCoordinatesAndRefusesOthers)
{
    auto canvas = make_canvas(10, 8);
    cImageBuffer image;
    make_numbered_image(image, 5, 5);
    ASSERT_TRUE(canvas->DrawImage(0, 0, &image, -1, -1));
    const cRect rect = {1, 2, 3, 2};
    cImageBuffer part;
    ASSERT_TRUE(canvas->CopyPixels(&part, &rect));
    ASSERT_EQ(part.GetWidth(), 3);
    ASSERT_EQ(part.GetHeight(), 2);
    // The part is an image like any other: its bottom row is stored first.
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(part.GetPixels()[(1 - y) * 3 + x] & 0xFFFFFF,
                      image.GetPixels()[(4 - (y + 2)) * 5 + (x + 1)] & 0xFFFFFF);

    const cRect refused[] = {{0, 0, 0, 4}, {0, 0, 4, 0}, {-1, 0, 2, 2}, {0, -1, 2, 2}, {10, 0, 1, 1},
                             {0, 8, 1, 1}, {5, 0, 6, 2}, {0, 4, 2, 5}, {0, 0, 11, 1}};
    for (const cRect& r : refused)
        EXPECT_FALSE(canvas->CopyPixels(&image, &r)) << r.x << "," << r.y << " " << r.width << "x" << r.height;
    EXPECT_FALSE(canvas->CopyPixels(nullptr, nullptr));
    cWinCanvas window_canvas;
    EXPECT_FALSE(window_canvas.CopyPixels(&image, nullptr));
}

TEST(Canvas, CopyAreaCutsTheSizeToTheSourceAndRefusesPointsOutsideIt)
{
    auto source = make_canvas(6, 5);
    auto target = make_canvas(12, 10, white);
    cImageBuffer image;
    make_numbered_image(image, 6, 5);
    ASSERT_TRUE(source->DrawImage(0, 0, &image, -1, -1));

    EXPECT_FALSE(target->CopyArea(0, 0, source.get(), 6, 0, 2, 2));
    EXPECT_FALSE(target->CopyArea(0, 0, source.get(), 0, -1, 2, 2));
    EXPECT_FALSE(target->CopyArea(0, 0, nullptr, 0, 0, 2, 2));
    EXPECT_EQ(read_pixels(*target).Count(white), 12 * 10);

    // Width 0 and a height past the edge both reach the source's edges.
    ASSERT_TRUE(target->CopyArea(5, 4, source.get(), 2, 1, 0, 50));
    expect_rect(read_pixels(*target), cRect{5, 4, 4, 4},
                [](int32_t x, int32_t y) { return numbered_colour(x + 2, y + 1); }, white);
}

TEST(Canvas, OffscreenCopyOfACanvasStartsWithItsPixels)
{
    auto canvas = make_canvas(8, 8);
    cImageBuffer image;
    make_numbered_image(image, 6, 6);
    ASSERT_TRUE(canvas->DrawImage(0, 0, &image, -1, -1));
    const cRect child = {1, 1, 6, 6};
    std::unique_ptr<cCanvas> sub(canvas->CreateSubCanvas(&child));
    ASSERT_TRUE(sub);
    std::unique_ptr<cCanvas> copy(sub->CreateOffscreen(3, 2, 1, 1));
    ASSERT_TRUE(copy);
    cCanvasPixels pixels = read_pixels(*copy);
    ASSERT_EQ(pixels.width, 3);
    ASSERT_EQ(pixels.height, 2);
    expect_rect(pixels, cRect{0, 0, 3, 2}, [](int32_t x, int32_t y) { return numbered_colour(x + 2, y + 2); }, 0);

    std::unique_ptr<cCanvas> blank(canvas->CreateOffscreen(3, 2, -1, -1));
    ASSERT_TRUE(blank);
    EXPECT_EQ(read_pixels(*blank).Count(black), 6);
    EXPECT_EQ(canvas->CreateOffscreen(0, 2, -1, -1), nullptr);
}

TEST(Canvas, DrawLineUsesTheLinePenAndLeavesOutTheEndPoint)
{
    auto canvas = make_canvas(10, 6, white);
    ASSERT_TRUE(canvas->SetLinePen(green, 1));
    const cPoint from = {2, 3};
    const cPoint to = {8, 3};
    ASSERT_TRUE(canvas->DrawLine(&from, &to));
    expect_only_rect(read_pixels(*canvas), cRect{2, 3, 6, 1}, green, white);
    EXPECT_FALSE(canvas->DrawLine(nullptr, &to));
}

// The same text drawn opaque on red shows which pixels the glyphs cover
// fully (white) and which they do not touch at all (red), also where the
// ink overhangs the measured extent (italics, the ends of long words).
TEST(Canvas, TransparentTextTouchesOnlyItsGlyphs)
{
    const struct {
        const wchar_t* text;
        bool italic;
    } cases[] = {
        {L"Hamburg 42", false},
        {L"Suchbegriff", true},
        {L"\u0414\u043E\u0441\u0442\u043E\u043F\u0440\u0438\u043C\u0435\u0447\u0430\u0442\u0435\u043B\u044C"
         L"\u043D\u043E\u0441\u0442\u0435\u0439",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "italic " << c.italic << ", text of " << wcslen(c.text));
        auto canvas = make_canvas(200, 24, red);
        auto reference = make_canvas(200, 24, red);
        ASSERT_TRUE(canvas->SelectFontBy(5, 13, L"Tahoma", false, false, c.italic));
        ASSERT_TRUE(reference->SelectFontBy(5, 13, L"Tahoma", false, false, c.italic));
        ASSERT_TRUE(canvas->SetTextColours(white, green));
        ASSERT_TRUE(canvas->DrawTextColoured(6, 4, true, c.text, -1));
        ASSERT_TRUE(reference->SetTextColours(white, red));
        ASSERT_TRUE(reference->DrawTextColoured(6, 4, false, c.text, -1));
        cCanvasPixels drawn = read_pixels(*canvas);
        cCanvasPixels expected = read_pixels(*reference);
        std::string wrong;
        for (size_t i = 0; i < expected.colours.size(); ++i) {
            bool inked = expected.colours[i] != red;
            if ((drawn.colours[i] != red) != inked || (expected.colours[i] == white && drawn.colours[i] != white))
                wrong += " " + std::to_string(i % 200) + "," + std::to_string(i / 200);
        }
        EXPECT_EQ(wrong, "") << "measured width " << text_size(*canvas, c.text).width;
        EXPECT_GT(200 * 24 - expected.Count(red), 20);
        EXPECT_EQ(drawn.Count(green), 0) << "transparent text has no background";
    }
}

TEST(Canvas, OpaqueTextFillsItsCellWithTheBackgroundColour)
{
    auto canvas = make_canvas(60, 20, red);
    ASSERT_TRUE(canvas->SetTextColours(black, white));
    EXPECT_EQ(canvas->GetBackgroundColour(), white);
    cSize size = text_size(*canvas, L"Wien");
    ASSERT_TRUE(canvas->DrawTextColoured(3, 2, false, L"Wien", -1));
    cCanvasPixels pixels = read_pixels(*canvas);
    expect_changed_only_in(pixels, cRect{3, 2, size.width, size.height}, red);
    EXPECT_GT(pixels.Count(black), 0);
    EXPECT_FALSE(canvas->DrawTextColoured(0, 0, false, nullptr, -1));
}

TEST(Canvas, Utf8TextDrawsLikeItsWideForm)
{
    auto canvas = make_canvas(80, 20);
    auto reference = make_canvas(80, 20);
    ASSERT_TRUE(canvas->DrawTextUtf8(2, 2, false, "Gr\xC3\xBC\xC3\x9F" "e", -1));
    ASSERT_TRUE(reference->DrawTextColoured(2, 2, false, L"Gr\u00FC\u00DFe", -1));
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*reference).colours);
    EXPECT_FALSE(canvas->DrawTextUtf8(0, 0, false, nullptr, -1));
}

TEST(Canvas, MeasuringAndFittingAgree)
{
    auto canvas = make_canvas(10, 10);
    cSize size = {7, 7};
    EXPECT_TRUE(canvas->MeasureTextW(L"", -1, &size));
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);
    EXPECT_TRUE(canvas->MeasureTextW(nullptr, -1, &size));
    EXPECT_FALSE(canvas->MeasureTextW(L"a", -1, nullptr));
    _typebuf<int32_t> extents;
    EXPECT_FALSE(canvas->FitTextW(L"", -1, extents));
    EXPECT_FALSE(canvas->FitTextA(nullptr, -1, extents));

    ASSERT_TRUE(canvas->FitTextW(L"Lindau", -1, extents));
    ASSERT_EQ(extents.Count(), 6);
    for (int32_t n = 1; n <= 6; ++n)
        EXPECT_EQ(extents[n - 1], text_size(*canvas, std::wstring(L"Lindau", size_t(n))).width) << n << " characters";
    const int32_t wide = extents[5];
    ASSERT_TRUE(canvas->MeasureTextA("Lindau", -1, &size));
    ASSERT_TRUE(canvas->FitTextA("Lindau", 6, extents));
    EXPECT_EQ(size.width, wide);
    EXPECT_EQ(extents[5], wide);
}

TEST(Canvas, CanvasesGiveBackWhatTheyTook)
{
    make_canvas(4, 4);  // the default font enters the process-wide cache
    cHeapBalance balance;
    auto canvas = make_canvas(30, 30);
    const cRect child = {5, 5, 10, 10};
    std::unique_ptr<cCanvas> sub(canvas->CreateSubCanvas(&child));
    std::unique_ptr<cCanvas> copy(canvas->CreateOffscreen(5, 5, 0, 0));
    ASSERT_TRUE(sub && copy);
    ASSERT_TRUE(canvas->DrawTextColoured(0, 0, true, L"abc", -1));
    ASSERT_TRUE(canvas->DrawTextLine(0, 0, 30, 15, 1, false, 1, 1, L"a long text", -1, nullptr, true) >= 0);
}
