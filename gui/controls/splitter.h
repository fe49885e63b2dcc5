#ifndef GUI_CONTROLS_SPLITTER_H
#define GUI_CONTROLS_SPLITTER_H

#include <stdint.h>

#include "base/tree_map.h"
#include "gui/child_element.h"

// A row of child elements (panes, keyed by an id >= 0, left to right in
// ascending id) with a bar of bar_width pixels after each, which the left
// button drags. In pixel mode each pane keeps its width in pixels and the
// splitter sizes itself to its panes, or at least to the content width
// with the filler element covering the rest; in proportional mode the panes
// share the splitter's width in the proportions of their sizes. Panes and
// the filler are not owned. It posts code 6 (cResizeRequestAction) when the
// layout changed its own width and a plain code 7 when a pane was added or
// a drag changed a pane's width. UI thread only.
class cSplitterChild : public cChildElement {
public:
    class cResizeRequestAction : public cChildAction {
    public:
        explicit cResizeRequestAction(int32_t new_width) : cChildAction(6), width(new_width) {}
        int32_t width;
    };

    static const int32_t bar_width = 3;

    cSplitterChild();

    void Paint(cCanvas* canvas) override;
    // Lays out every pane.
    void Layout() override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    // The west-east resize cursor.
    uint32_t DefaultCursor() override { return 4; }
    void InitDefaults() override;

    // The element becomes the pane's child at (0, 0, width, 1), replacing
    // the pane's earlier element; false for a negative id, a null element
    // or a refused insertion.
    bool AddPane(int32_t id, cChildElement* element, int32_t pane_width);
    // False for a negative id or width or an unknown pane.
    bool SetPaneWidth(int32_t id, int32_t pane_width);
    void SetProportional(bool flag);
    // The width the splitter covers at least; the filler (null: none) takes
    // what its panes leave of it.
    void SetContentWidth(int32_t content, cChildElement* new_filler);
    void SetColours(uint32_t line, uint32_t fill);

protected:
    // Null for an unknown pane.
    cChildElement* FindPane(int32_t id);

private:
    // Pixel mode, from the first pane with an id >= from_id.
    void LayoutPanes(int32_t from_id);
    void LayoutProportional();
    // What a pane of pixel mode is laid out with: its stored size (else its
    // current width), at least its minimum width.
    int32_t PixelWidth(cTreeNode<int32_t, cChildElement*>* pane);
    void ResizeTo(int32_t new_width);
    // The drag of proportional mode: the width moves between the pane and
    // its right neighbour, each keeping at least its minimum width.
    void DragProportional(int32_t pane_width);
    void PostPaneChange();

    cTreeMap<int32_t, cChildElement*> panes;
    cTreeMap<int32_t, double> pane_sizes;  // pixels, or proportions
    bool pixel_mode;
    int32_t drag_x;  // -1: no drag
    int32_t dragged_pane;
    int32_t drag_minimum;  // the dragged pane's left edge
    int32_t content_width;
    cChildElement* filler;
    uint32_t fill_colour;
    uint32_t line_colour;
};

#endif
