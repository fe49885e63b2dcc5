#include "sidoc/doc_viewer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/mem_io_target.h"
#include "gui/win_canvas.h"
#include "gui/window_maker.h"
#include "sidoc/doc_compiler.h"
#include "sidoc/doc_loader.h"
#include "tests/gui/canvas_probe.h"
#include "tests/gui/controls/form_window.h"
#include "tests/sidoc/doc_test_files.h"
#include "tests/support/test_data.h"

namespace {

const uint32_t highlight = 0x0080E0F0;   // the sample's coloured paragraph
const uint32_t picture_red = 0x002828DC;  // the top left quarter of its picture
const uint32_t grey = 0x00C0C0C0;         // beside the picture at its set width
const int32_t sample_margin = 12;

// The sample mark-up compiled by the program's compiler; the blob is kept
// beside the screenshot.
std::vector<uint8_t> compile_sample()
{
    cSiDocLangCodeMap codes(512);
    cMemIOTarget target;
    cSiDocCompileError error;
    EXPECT_TRUE(compile_doc_index(&target, codes, doc_fixture_path("sample/index.txt").c_str(), error))
        << error.message.Text();
    _typebuf<uint8_t> bytes;
    target.CopyTo(bytes);
    std::vector<uint8_t> blob(bytes.Data(), bytes.Data() + bytes.Count());
    keep_artifact("document_viewer.qrvhdocf", blob.data(), blob.size());
    return blob;
}

// Records the links it is asked to open and the rectangles links painted.
class cProbeViewer : public cSiDocViewer {
public:
    void ClearLinks() override
    {
        rects.clear();
        cSiDocViewer::ClearLinks();
    }
    void OpenLink(const cSiDocLinkTarget* target) override { opened.push_back(target->Text()); }
    bool AddLinkRect(const cSiDocLinkTarget* target, int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        rects.push_back({target->Text(), cRect{x, y, w, h}});
        return cSiDocViewer::AddLinkRect(target, x, y, w, h);
    }

    std::vector<std::wstring> opened;
    std::vector<std::pair<std::wstring, cRect>> rects;
};

// The sample in a viewer filling a modal dialog of the given client size;
// the steps run once it has been painted, and the run ends after them.
class DocViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(maker.Init(nullptr, 0, 101));
        std::vector<uint8_t> blob = compile_sample();
        ASSERT_TRUE(loader.Load(blob.data(), int32_t(blob.size())));
        viewer.SetDocument(tree_find_value(loader.languages, 0));
    }

    void Run(int32_t width, int32_t height, std::vector<std::function<void()>> steps)
    {
        cRecordingRoot* root = new cRecordingRoot;
        root->on_create = [this, steps](cRecordingRoot* r) mutable {
            r->AddChild(&viewer, 0, 0, -1, -1);
            host = host_of(r);
            SetForegroundWindow(GetParent(host));
            steps.push_back([r]() { r->EndModal(1); });
            cFormWindow::RunSteps(steps, 120);
        };
        EXPECT_EQ(maker.RunDialog(L"document", width, height, root, nullptr, false), 1);
    }

    cCanvasPixels Shown()
    {
        cWinCanvas canvas;
        EXPECT_TRUE(canvas.BeginWindowPaint(nullptr, host));
        std::unique_ptr<cCanvas> copy(canvas.CreateOffscreen(viewer.GetWidth(), viewer.GetHeight(), 0, 0));
        return copy ? read_pixels(*copy) : cCanvasPixels();
    }

    POINT ScreenPoint(int32_t x, int32_t y)
    {
        POINT at = {x, y};
        ClientToScreen(host, &at);
        return at;
    }

    // The words of a container of the root, measured in the viewer's font.
    std::vector<int32_t> WordWidths(int32_t paragraph, int32_t* space)
    {
        auto canvas = make_canvas(10, 10);
        canvas->SelectFont(viewer.GetDefaultFont());
        cSize size;
        canvas->MeasureTextA(" ", 1, &size);
        *space = size.width;
        cSiDocBoxList::Node* node = tree_find_value(loader.languages, 0)->children.first;
        for (int32_t i = 0; i < paragraph; ++i)
            node = node->next;
        std::vector<int32_t> widths;
        for (auto* word = static_cast<cSiDocContainer*>(node->element)->children.first; word; word = word->next) {
            canvas->MeasureTextW(static_cast<cSiDocText*>(word->element)->text.Text(), -1, &size);
            widths.push_back(size.width);
        }
        return widths;
    }

    cWWMaker maker;
    cSiDocLoader loader;
    cProbeViewer viewer;
    HWND host = nullptr;
};

// Rows with anything but white between the margins, as bands of rows.
std::vector<std::pair<int32_t, int32_t>> ink_bands(const cCanvasPixels& pixels)
{
    std::vector<std::pair<int32_t, int32_t>> bands;
    for (int32_t y = 0; y < pixels.height; ++y) {
        bool ink = false;
        for (int32_t x = 0; x < pixels.width && !ink; ++x)
            ink = pixels.At(x, y) != white;
        if (ink && !bands.empty() && bands.back().second == y)
            bands.back().second = y + 1;
        else if (ink)
            bands.push_back({y, y + 1});
    }
    return bands;
}

// The leftmost and rightmost x with anything but white in the rows.
std::pair<int32_t, int32_t> ink_extent(const cCanvasPixels& pixels, std::pair<int32_t, int32_t> rows)
{
    std::pair<int32_t, int32_t> extent = {pixels.width, -1};
    for (int32_t y = rows.first; y < rows.second; ++y)
        for (int32_t x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) != white)
                extent = {std::min(extent.first, x), std::max(extent.second, x)};
    return extent;
}

// The pixels left of the vertical bar.
cCanvasPixels beside_bar(const cCanvasPixels& pixels, int32_t bar)
{
    cCanvasPixels view;
    view.width = pixels.width - bar;
    view.height = pixels.height;
    for (int32_t y = 0; y < pixels.height; ++y)
        for (int32_t x = 0; x < view.width; ++x)
            view.colours.push_back(pixels.At(x, y));
    return view;
}

}  // namespace

// Mark-up -> compiler -> blob -> loader -> viewer: the screenshot is kept as
// artifacts/document_viewer.png.
TEST_F(DocViewer, ShowsTheCompiledSample)
{
    cCanvasPixels shown;
    int32_t space = 0;
    std::vector<int32_t> widths, highlighted;
    Run(560, 400, {[&]() {
            shown = Shown();
            widths = WordWidths(1, &space);
            highlighted = WordWidths(5, &space);
        }});
    ASSERT_EQ(shown.width, 560);
    std::string png = png_of(shown.width, shown.height, shown.colours);
    keep_artifact("document_viewer.png", png.data(), png.size());
    ASSERT_EQ(viewer.GetVBarWidth(), 0) << "the sample must fit the view";

    // The justified paragraph (the root's second container) breaks where the
    // next measured word would pass the inner edge; every line but its last
    // ends at that edge.
    const int32_t inner = 560 - 2 * sample_margin;
    std::vector<int32_t> line_ends;  // the natural width of each line
    int32_t pen = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i > 0 && pen + space + widths[i] > inner) {
            line_ends.push_back(pen);
            pen = 0;
        }
        pen += (pen ? space : 0) + widths[i];
    }
    line_ends.push_back(pen);
    std::vector<std::pair<int32_t, int32_t>> bands = ink_bands(shown);
    ASSERT_GT(bands.size(), line_ends.size() + 1);
    for (size_t line = 0; line < line_ends.size(); ++line) {
        SCOPED_TRACE(line);
        std::pair<int32_t, int32_t> extent = ink_extent(shown, bands[line + 1]);  // band 0 is the heading
        EXPECT_GE(extent.first, sample_margin);
        EXPECT_LE(extent.first, sample_margin + 2);
        int32_t end = line + 1 < line_ends.size() ? 560 - sample_margin : sample_margin + line_ends[line];
        EXPECT_LE(extent.second, end - 1);
        EXPECT_GE(extent.second, end - 4);
    }

    // The coloured paragraph: each word's box is filled, and nothing past
    // the last word.
    int32_t top = 0;
    while (top < shown.height && shown.At(sample_margin + 1, top) != highlight)
        ++top;
    ASSERT_LT(top, shown.height);
    int32_t x = sample_margin;
    for (int32_t width : highlighted) {
        for (int32_t row = top; row < top + 10; ++row)
            for (int32_t column = x; column < x + width; ++column)
                ASSERT_NE(shown.At(column, row), white) << column << "," << row;
        x += width + space;
    }
    EXPECT_EQ(shown.At(x - space + 1, top + 2), white);

    // The picture at its natural size, the background colour beside it, and
    // the links' rectangles where the link colour shows.
    int32_t picture_x = -1, picture_y = -1;
    for (int32_t y = 0; y < shown.height && picture_x < 0; ++y)
        for (int32_t column = 0; column < shown.width && picture_x < 0; ++column)
            if (shown.At(column, y) == picture_red)
                picture_x = column, picture_y = y;
    ASSERT_EQ(picture_x, sample_margin);
    EXPECT_EQ(shown.At(picture_x + 19, picture_y + 11), picture_red);
    EXPECT_EQ(shown.At(picture_x + 40, picture_y + 5), grey);
    EXPECT_EQ(shown.At(picture_x + 79, picture_y + 23), grey);
    ASSERT_EQ(viewer.rects.size(), 3u);
    EXPECT_EQ(viewer.rects[0].first, L"https://example.org/licence");
    EXPECT_EQ(viewer.rects[2].first, L"https://example.org/");
    const cRect& word = viewer.rects[0].second;
    bool blue_in_link = false;
    for (int32_t y = word.y; y < word.y + word.height; ++y)
        for (int32_t column = word.x; column < word.x + word.width; ++column)
            blue_in_link = blue_in_link || shown.At(column, y) == blue;
    EXPECT_TRUE(blue_in_link);
}

// Keys and the wheel move the view; a click on a link opens it once, a
// press on a link released elsewhere opens nothing.
TEST_F(DocViewer, ScrollsAndOpensLinks)
{
    std::vector<int32_t> offsets;
    POINT blank = {};
    auto offset = [&]() { offsets.push_back(viewer.GetScrollOffsetY()); };
    auto link = [&]() {
        cRect word = viewer.rects[0].second;
        return ScreenPoint(word.x + word.width / 2, word.y + word.height / 2 - viewer.GetScrollOffsetY());
    };
    Run(400, 120, {[&]() {
                       ASSERT_GT(viewer.GetVBarWidth(), 0);
                       blank = ScreenPoint(300, 5);
                       send_click_at(blank.x, blank.y);  // the focus, on no link
                       send_key_press(VK_DOWN);
                   },
                   [&]() { offset(), send_key_press(VK_NEXT); },
                   [&]() { offset(), send_key_press(VK_END); },
                   [&]() { offset(), send_key_press(VK_HOME); },
                   [&]() { offset(), send_mouse(MOUSEEVENTF_WHEEL, 0, 0, -WHEEL_DELTA); },
                   [&]() { offset(), send_key_press(VK_END); },  // the link lies at the end
                   [&]() { send_click_at(link().x, link().y); },
                   [&]() {
                       send_mouse_move_to(link().x, link().y);
                       send_mouse_button(true, false);
                       send_mouse_move_to(blank.x, blank.y + 100);
                       send_mouse_button(true, true);
                   }});
    int32_t range = viewer.GetContentHeight() - 120;
    ASSERT_GT(range, 15 + 120);
    EXPECT_EQ(offsets, (std::vector<int32_t>{15, 15 + 120, range, 0, 15}));
    EXPECT_EQ(viewer.opened, std::vector<std::wstring>{L"https://example.org/licence"});
}

// A document taller than the view is laid out beside the vertical bar from
// its first paint: the justified lines end at the inner edge left of the
// bar, and a scroll moves the same page without laying it out again.
TEST_F(DocViewer, LaysTheFirstPageOutBesideTheBar)
{
    cCanvasPixels first, scrolled;
    int32_t bar = 0, first_height = 0, scrolled_height = 0;
    Run(400, 120, {[&]() {
                       first = Shown();
                       bar = viewer.GetVBarWidth();
                       first_height = viewer.GetContentHeight();
                       std::string png = png_of(first.width, first.height, first.colours);
                       keep_artifact("document_viewer_first_page.png", png.data(), png.size());
                       POINT blank = ScreenPoint(100, 5);
                       send_click_at(blank.x, blank.y);
                       send_key_press(VK_DOWN);
                   },
                   [&]() {
                       scrolled = Shown();
                       scrolled_height = viewer.GetContentHeight();
                   }});
    ASSERT_GT(bar, 0);
    EXPECT_EQ(scrolled_height, first_height);
    // Band 0 is the heading; the justified paragraph's first lines follow,
    // every one but its last ending at the inner edge.
    const int32_t edge = 400 - bar - sample_margin;
    cCanvasPixels view = beside_bar(first, bar);
    std::vector<std::pair<int32_t, int32_t>> bands = ink_bands(view);
    ASSERT_GE(bands.size(), 3u);
    for (size_t line = 1; line < 3; ++line) {
        SCOPED_TRACE(line);
        std::pair<int32_t, int32_t> extent = ink_extent(view, bands[line]);
        EXPECT_LE(extent.second, edge - 1);
        EXPECT_GE(extent.second, edge - 4);
        // One line step (15) further up after the scroll, the same line.
        std::pair<int32_t, int32_t> moved = ink_extent(beside_bar(scrolled, bar),
                                                       {bands[line].first - 15, bands[line].second - 15});
        EXPECT_EQ(moved, extent);
    }
}
