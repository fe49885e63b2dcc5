#include "sidoc/doc_viewer.h"

#include "base/process_launch.h"
#include "gui/canvas.h"

namespace {

const uint32_t white = 0x00FFFFFF;
const uint32_t hand_cursor = 3;
const uint32_t arrow_cursor = 0;

}  // namespace

cSiDocViewer::cSiDocViewer()
    : page(nullptr), document(nullptr), document_background(white), pressed_link(nullptr), links(512)
{
}

cSiDocViewer::~cSiDocViewer()
{
    tree_clear(links);
    delete page;
}

bool cSiDocViewer::SetDocument(cSiDocBox* root)
{
    document_background = white;
    if (root == document)
        return false;
    document = root;
    // The old tree's links may not outlive it.
    ClearLinks();
    pressed_link = nullptr;
    DropPage();
    return true;
}

void cSiDocViewer::DropPage()
{
    delete page;
    page = nullptr;
    Redraw(nullptr);
}

void cSiDocViewer::Layout()
{
    cScrollableElement::Layout();
    // The page spans the view beside the vertical bar, so the bar never
    // hides the document's right edge.
    if (page && page->GetWidth() != GetClientRect().width)
        DropPage();
}

void cSiDocViewer::Fill(cCanvas* canvas, int32_t x, int32_t y, int32_t fill_width, int32_t fill_height)
{
    if (fill_width <= 0 || fill_height <= 0)
        return;
    cRect rect = {x, y, fill_width, fill_height};
    canvas->FillRect(&rect, document_background, document_background);
}

void cSiDocViewer::Blit(cCanvas* canvas)
{
    int32_t canvas_width = canvas->GetWidth();
    int32_t canvas_height = canvas->GetHeight();
    if (!page) {
        Fill(canvas, 0, 0, canvas_width, canvas_height);
        return;
    }
    int32_t offset = GetScrollOffsetY();
    canvas->CopyArea(0, 0, page, 0, offset, 0, 0);
    int32_t rows_left = page->GetHeight() - offset > 0 ? page->GetHeight() - offset : 0;
    if (rows_left < canvas_height)
        Fill(canvas, 0, rows_left, canvas_width, canvas_height - rows_left);
    if (canvas_width > page->GetWidth())
        Fill(canvas, page->GetWidth(), 0, canvas_width - page->GetWidth(), page->GetHeight());
}

cSiDocPaintContext cSiDocViewer::ContextFor(int32_t page_width)
{
    return cSiDocPaintContext{GetDefaultFont(), document_background, 0, 0, 0, page_width, -1, this};
}

bool cSiDocViewer::Measure(cCanvas* canvas, int32_t page_width, cSize* size)
{
    cSiDocPaintContext context = ContextFor(page_width);
    *size = cSize{0, 0};
    return page_width >= 1 && document->Measure(canvas, context, size) && size->width != 0 && size->height != 0;
}

// The page spans the view beside the vertical bar that its height needs,
// from the first paint on: measured for the whole width, a page too tall
// for the view is measured again for the width the bar leaves.
bool cSiDocViewer::LayOut(cCanvas* canvas)
{
    int32_t page_width = GetWidth();
    cSize size = {0, 0};
    if (!Measure(canvas, page_width, &size))
        return false;
    if (GetViewWidthFor(size.height) != page_width) {
        page_width = GetViewWidthFor(size.height);
        if (!Measure(canvas, page_width, &size))
            return false;
    }
    cSiDocPaintContext context = ContextFor(page_width);
    cCanvas* fresh = canvas->CreateOffscreen(page_width, size.height, -1, -1);
    if (!fresh)
        return false;
    delete page;
    page = fresh;
    Fill(page, 0, 0, page_width, size.height);
    ClearLinks();
    document->Paint(page, context, &size);
    return true;
}

void cSiDocViewer::PaintContent(cCanvas* canvas)
{
    if (page) {
        Blit(canvas);
        return;
    }
    // Without a page the view stays blank; the next paint tries again.
    if (!document || !LayOut(canvas)) {
        Fill(canvas, 0, 0, canvas->GetWidth(), canvas->GetHeight());
        return;
    }
    int32_t page_height = page->GetHeight();
    Blit(canvas);
    SetContentHeight(page_height);
    SetScrollSteps(10, 15);
}

void cSiDocViewer::OnKeyDown(uint32_t key, bool, bool, bool)
{
    cVScroll* bar = GetVScroll();
    switch (key) {
    case 33:
        bar->PageBack();
        break;
    case 34:
        bar->PageForward();
        break;
    case 35:
        if (bar->GetPosition() == bar->GetRange())
            return;
        bar->SetPosition(bar->GetRange(), true);
        break;
    case 36:
        if (bar->GetPosition() == 0)
            return;
        bar->SetPosition(0, true);
        break;
    case 37:
    case 38:
        bar->LineBack();
        break;
    case 39:
    case 40:
        bar->LineForward();
        break;
    default:
        return;
    }
    Redraw(nullptr);
}

void cSiDocViewer::OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed)
{
    if (button != 1)
        return;
    if (pressed) {
        StartMouseCapture(false);
        pressed_link = HitTestLink(x, y);
        return;
    }
    StopMouseCapture();
    // A release answers only the press before it: one press opens at most once.
    const cSiDocLinkTarget* link = pressed_link;
    pressed_link = nullptr;
    if (link && HitTestLink(x, y) == link)
        OpenLink(link);
}

void cSiDocViewer::OnMouseMove(int32_t x, int32_t y)
{
    SetCursorShape(HitTestLink(x, y) ? hand_cursor : arrow_cursor);
}

void cSiDocViewer::OpenLink(const cSiDocLinkTarget* target)
{
    if (target)
        shell_open(target->Text());
}

void cSiDocViewer::ClearLinks()
{
    tree_clear(links);
}

bool cSiDocViewer::AddLinkRect(const cSiDocLinkTarget* target, int32_t x, int32_t y, int32_t rect_width,
                               int32_t rect_height)
{
    cLinkEntry* entry = tree_get_or_add(links, uint32_t(uintptr_t(target)));
    if (!entry)
        return false;
    entry->target = target;
    cLinkRect* rect = list_append(entry->rects);
    if (!rect)
        return false;
    *rect = {x, y, x + rect_width - 1, y + rect_height - 1};
    return true;
}

const cSiDocLinkTarget* cSiDocViewer::HitTestLink(int32_t x, int32_t y)
{
    cPoint origin = GetScrollOrigin();
    int32_t page_x = x - origin.x;
    int32_t page_y = y - origin.y;
    for (cTreeNode<uint32_t, cLinkEntry>* node = tree_first_node(links); node; node = tree_next_node(node))
        for (cLinkedListNode<cLinkRect>* at = node->value.rects.first; at; at = at->next)
            if (at->element.left <= page_x && page_x <= at->element.right && at->element.top <= page_y &&
                page_y <= at->element.bottom)
                return node->value.target;
    return nullptr;
}
