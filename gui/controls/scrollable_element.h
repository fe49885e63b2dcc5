#ifndef GUI_CONTROLS_SCROLLABLE_ELEMENT_H
#define GUI_CONTROLS_SCROLLABLE_ELEMENT_H

#include <stdint.h>

#include "base/tree_map.h"
#include "gui/child_element.h"
#include "gui/controls/scroll_bar.h"

// The base of elements whose content can exceed their view: it keeps the
// content size and the scroll offsets, displays a horizontal and a vertical
// bar (fixed children along the far edges) as the content needs them,
// scrolls on the wheel (Ctrl: horizontally), and scrolls a child that gains
// the focus into view. The offsets follow the bars through their scroll
// actions, that is on the UI thread's next drain. Subclasses paint their
// content in PaintContent. UI thread only.
class cScrollableElement : public cChildElement {
public:
    cScrollableElement();

    // At least the content size; the displayed bars are not part of it.
    cSize GetSize() override;
    cPoint GetScrollOrigin() override;
    // The view without the displayed bars.
    cRect GetClientRect() override;
    void Paint(cCanvas* canvas) override;
    void Layout() override;
    bool OnMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    bool DefaultRepaintOnResize() override { return true; }
    void InitDefaults() override;
    // Paints the content; the base paints nothing.
    virtual void PaintContent(cCanvas* canvas);

    // Negative or unchanged sizes are ignored.
    void SetContentWidth(int32_t content);
    void SetContentHeight(int32_t content);
    int32_t GetContentHeight() const { return content_height; }
    int32_t GetScrollOffsetX() const { return offset_x; }
    int32_t GetScrollOffsetY() const { return offset_y; }
    // Line steps of the two bars; 0 leaves a bar's step.
    void SetScrollSteps(int32_t horizontal, int32_t vertical);
    void SetPageSteps(int32_t horizontal, int32_t vertical);
    // The bar's thickness while it is displayed, else 0.
    int32_t GetHBarHeight();
    int32_t GetVBarWidth();
    // The view's width once the content is that high (and no wider than
    // the element): the element's width, less the vertical bar's thickness
    // when that height needs the bar.
    int32_t GetViewWidthFor(int32_t content);
    cHScroll* GetHScroll() { return &horizontal_bar; }
    cVScroll* GetVScroll() { return &vertical_bar; }
    void SetChildScrollOptions(cChildElement* child, bool no_horizontal, bool no_vertical);
    // False when the child is not a descendant or no bar moved.
    bool ScrollChildIntoView(cChildElement* child);
    // The rectangle in content coordinates; true when a bar moved.
    bool ScrollRectIntoView(const cRect& rect, bool no_horizontal, bool no_vertical);
    // Displays, hides, places and sizes the bars for the content and the
    // element's size.
    void UpdateScrollBars();

private:
    struct cScrollOptions {
        bool no_horizontal;
        bool no_vertical;
    };

    void StoreContentSize(int32_t* field, int32_t content);
    // The bar's placement; shortened leaves the corner to the other bar.
    void PlaceHorizontal(bool shortened);
    void PlaceVertical(bool shortened);
    // Displaying or hiding a bar moves it to the start; false when it was
    // so already.
    bool Display(cScrollBar* bar, bool on);
    void ShiftBy(cScrollBar* bar, int64_t delta);

    cHScroll horizontal_bar;
    cVScroll vertical_bar;
    int32_t content_width;
    int32_t content_height;
    int32_t offset_x;
    int32_t offset_y;
    cTreeMap<uint32_t, cScrollOptions> child_options;  // element address -> options
};

#endif
