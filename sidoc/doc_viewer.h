#ifndef SIDOC_DOC_VIEWER_H
#define SIDOC_DOC_VIEWER_H

#include <stdint.h>

#include "base/linked_list.h"
#include "base/tree_map.h"
#include "gui/controls/scrollable_element.h"
#include "sidoc/doc_box.h"

class cCanvas;

// Shows one document tree, laid out once for the view's width into an
// offscreen page that is copied to the screen at the scroll position. Keys
// and the scroll bars scroll it; the hand cursor shows over links, and a
// click on a link (press and release on it) opens its target. The tree is
// not owned: it must outlive its use here (until SetDocument replaces it or
// the viewer goes). UI thread only.
class cSiDocViewer : public cScrollableElement, public cSiDocActiveTarget {
public:
    cSiDocViewer();
    ~cSiDocViewer() override;

    // Shows root (null: nothing) on white. False when root is shown already.
    bool SetDocument(cSiDocBox* root);

    void Layout() override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    // Page Up, Page Down, End, Home and the arrows scroll vertically.
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    bool ConsumesArrowKeys() override { return true; }
    void PaintContent(cCanvas* canvas) override;
    // Opens the target with the shell.
    virtual void OpenLink(const cSiDocLinkTarget* target);

    void ClearLinks() override;
    bool AddLinkRect(const cSiDocLinkTarget* target, int32_t x, int32_t y, int32_t width, int32_t height) override;
    // The link under a point of the view; null when none.
    const cSiDocLinkTarget* HitTestLink(int32_t x, int32_t y);

private:
    // A painted link rectangle in page coordinates, all edges inclusive.
    struct cLinkRect {
        int32_t left;
        int32_t top;
        int32_t right;
        int32_t bottom;
    };
    struct cLinkEntry {
        const cSiDocLinkTarget* target;
        cLinkedList<cLinkRect> rects;  // in the order they were painted
    };

    // Black text in the default font on the background, from the page's
    // top left corner to its right edge, links registered here.
    cSiDocPaintContext ContextFor(int32_t page_width);
    // The document's size laid out for the width; false when it cannot be
    // measured or is empty.
    bool Measure(cCanvas* canvas, int32_t page_width, cSize* size);
    // Lays the document out into a new page for the view's width; false
    // when it cannot be measured or no page can be made.
    bool LayOut(cCanvas* canvas);
    // Copies the page at the scroll position and fills the rest.
    void Blit(cCanvas* canvas);
    void Fill(cCanvas* canvas, int32_t x, int32_t y, int32_t width, int32_t height);
    void DropPage();

    cCanvas* page;  // owned
    cSiDocBox* document;
    uint32_t document_background;
    const cSiDocLinkTarget* pressed_link;
    cTreeMap<uint32_t, cLinkEntry> links;  // target address -> its rectangles
};

#endif
