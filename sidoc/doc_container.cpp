#include "sidoc/doc_container.h"

#include "gui/canvas.h"
#include "sidoc/doc_format.h"

namespace {

typedef cSiDocBoxList::Node cNode;

const int32_t no_edge = 0x7FFFFFFF;

cNode* box_node_from(cNode* node)
{
    while (node && !node->element)
        node = node->next;
    return node;
}

// The far edge of a box with that extent (not set: none), cut to the limit.
int32_t far_edge(int32_t at, int32_t extent, int32_t limit)
{
    int64_t edge = extent > 0 ? int64_t(at) + extent : no_edge;
    if (limit >= 0 && edge > limit)
        edge = limit;
    return edge > no_edge ? no_edge : int32_t(edge);
}

// A limit handed to a child: an edge pushed left of the canvas by margins
// leaves no room rather than none at all.
int32_t child_limit(int64_t edge)
{
    return edge < 0 ? 0 : edge > no_edge ? no_edge : int32_t(edge);
}

// One line as the fit pass found it.
struct cLine {
    cNode* first;
    cNode* last;
    double pen;     // where the last child's advance ended
    int32_t gaps;   // spaces between words
    bool overflow;  // ended because the next child did not fit
};

void fill(cCanvas* canvas, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour)
{
    if (width <= 0 || height <= 0)
        return;
    cRect rect = {x, y, width, height};
    canvas->FillRect(&rect, colour, colour);
}

// The children from first on that share one line, each measured into its
// measured size. A child with the break flag, or one that would pass the
// inner right edge, begins the next line; the first child always joins.
cLine fit_line(cCanvas* canvas, const cSiDocPaintContext& base, cNode* first, int32_t inner_right,
               int32_t inner_bottom, int32_t space)
{
    cLine line = {first, first, double(base.x), 0, false};
    bool previous_text = false;
    for (cNode* at = first; at; at = box_node_from(at->next)) {
        cSiDocBox* box = at->element;
        if (at != first && box->break_before)
            break;
        cSiDocPaintContext measuring = base;
        measuring.x = int32_t(line.pen + box->margin_left);
        measuring.right_limit = child_limit(int64_t(inner_right) - box->margin_right);
        measuring.bottom_limit = inner_bottom;
        cSize measured = {0, 0};
        box->Measure(canvas, measuring, &measured);
        box->measured_width = measured.width;
        box->measured_height = measured.height;
        bool gap = box->HasText() && previous_text;
        double advance = double(box->margin_left) + measured.width + box->margin_right + (gap ? space : 0);
        if (at != first && line.pen + advance > inner_right) {
            line.overflow = true;
            break;
        }
        line.pen += advance;
        line.gaps += gap ? 1 : 0;
        line.last = at;
        previous_text = box->HasText();
    }
    return line;
}

// Paints (or, measuring, only places) the line's children from start on,
// words a gap apart; placing holds the container's x and the children's
// limits. Moves *line_top below the line and widens *widest.
void place_line(cCanvas* canvas, cSiDocPaintContext placing, const cLine& line, double start, double gap_width,
                bool painting, int32_t* line_top, int32_t* widest)
{
    const int32_t origin = placing.x;
    if (line.first == line.last) {
        // A line of one child: its margins are left as they are.
        cSiDocBox* box = line.first->element;
        placing.x = int32_t(start + box->margin_left);
        placing.y = *line_top + box->margin_top;
        cSize placed = {box->measured_width, box->measured_height};
        if (painting)
            box->Paint(canvas, placing, &placed);
        *line_top = placing.y + placed.height;
        *widest = placed.width > *widest ? placed.width : *widest;
        return;
    }
    int32_t line_height = 0;
    bool previous_text = false;
    for (cNode* at = line.first;; at = box_node_from(at->next)) {
        cSiDocBox* box = at->element;
        double margin_start = start;
        start += box->margin_left;
        if (box->HasText() && previous_text)
            start += gap_width;
        // The pen keeps its fraction, so that a justified line ends at the
        // inner edge however many gaps it has.
        placing.x = int32_t(start);
        placing.y = *line_top + box->margin_top;
        cSize placed = {box->measured_width, box->measured_height};
        if (painting)
            box->Paint(canvas, placing, &placed);
        int32_t extent = box->margin_top + placed.height + box->margin_bottom;
        if (painting) {
            fill(canvas, int32_t(margin_start), *line_top, box->margin_left, extent, placing.background);
            fill(canvas, placing.x, *line_top, placed.width, box->margin_top, placing.background);
            fill(canvas, placing.x + placed.width, *line_top, box->margin_right, extent, placing.background);
            fill(canvas, placing.x, placing.y + placed.height, placed.width, box->margin_bottom, placing.background);
        }
        start += placed.width + box->margin_right;
        line_height = extent > line_height ? extent : line_height;
        previous_text = box->HasText();
        if (at == line.last)
            break;
    }
    *line_top += line_height;
    int32_t line_width = int32_t(start - origin);
    *widest = line_width > *widest ? line_width : *widest;
}

}  // namespace

bool doc_box_list_append(cSiDocBoxList& list, cSiDocBox* box)
{
    cSiDocBox** slot = list_append(list);
    if (!slot) {
        delete box;
        return false;
    }
    *slot = box;
    return true;
}

cSiDocContainer::cSiDocContainer() : font_provider(nullptr), style(-1), text_colour(doc_no_colour), alignment(0)
{
}

cSiDocContainer::~cSiDocContainer()
{
    for (cNode* node = children.first; node; node = node->next)
        delete node->element;
    list_clear(children);
}

bool cSiDocContainer::Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    return Flow(canvas, context, size, true);
}

bool cSiDocContainer::Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size)
{
    if (width > 0 && height > 0) {
        *size = {width, height};
        return true;
    }
    return Flow(canvas, context, size, false);
}

bool cSiDocContainer::Flow(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size, bool painting)
{
    *size = {0, 0};
    if (!canvas)
        return false;
    int32_t inner_right = child_limit(int64_t(far_edge(context.x, width, context.right_limit)) - margin_right);
    int32_t inner_bottom = child_limit(int64_t(far_edge(context.y, height, context.bottom_limit)) - margin_bottom);
    cNode* node = box_node_from(children.first);
    if (!node) {
        if (painting && width > 0 && height > 0 && background != doc_no_colour)
            fill(canvas, context.x, context.y, width, height, background);
        *size = {width > 0 ? width : 0, height > 0 ? height : 0};
        return false;
    }
    if (alignment < 0 || alignment > 3)
        return false;

    cSiDocPaintContext base = context;
    cFontObject* font = font_provider ? font_provider->GetFont(style) : nullptr;
    if (font)
        base.font = font;
    if (text_colour != doc_no_colour)
        base.text_colour = text_colour;
    if (background != doc_no_colour)
        base.background = background;
    canvas->SelectFont(base.font);
    cSize space = {0, 0};
    canvas->MeasureTextA(" ", 1, &space);

    int32_t line_top = context.y;
    int32_t widest = 0;
    while (node) {
        cLine line = fit_line(canvas, base, node, inner_right, inner_bottom, space.width);
        double start = context.x;
        double gap_width = space.width;
        if (alignment == 1)
            start = inner_right - (line.pen - context.x);
        else if (alignment == 2)
            start = (inner_right - line.pen) / 2 + context.x;
        else if (alignment == 3 && line.overflow && line.gaps > 0)
            gap_width = (inner_right - line.pen) / line.gaps + space.width;
        cSiDocPaintContext placing = base;
        placing.right_limit = inner_right;
        placing.bottom_limit = inner_bottom;
        place_line(canvas, placing, line, start, gap_width, painting, &line_top, &widest);
        node = box_node_from(line.last->next);
    }
    size->height = height > 0 ? height : line_top - context.y;
    size->width = width > 0 ? width : widest;
    return true;
}
