#ifndef GUI_CONTROLS_SIMPLE_GRID_H
#define GUI_CONTROLS_SIMPLE_GRID_H

#include <stdint.h>

#include "gui/controls/scrollable_element.h"

// Equally sized cells in rows that wrap to the grid's width, scrolling
// vertically; the user selects one cell with the mouse or the arrow keys.
// Cells are numbered row by row. A selection change reaches the owner as a
// cCellAction of code 6, an activation (double click, Enter, Space) as code
// 7. A subclass supplies the cells; a grid of rows as wide as the grid
// answers its view width (GetClientRect().width) as the cell width, which
// the grid then takes as its content width at every layout, so that no
// horizontal bar is needed beside the vertical one. UI thread only.
class cSimpleGridChild : public cScrollableElement {
public:
    // The cell index; -1 for a selection that was cleared.
    class cCellAction : public cChildAction {
    public:
        cCellAction(uint32_t action_code, int32_t cell_index) : cChildAction(action_code), index(cell_index) {}
        int32_t index;
    };

    cSimpleGridChild();

    void Layout() override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnDoubleClick(int32_t x, int32_t y) override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // The arrows move the selection, not the focus.
    bool ConsumesArrowKeys() override { return true; }
    bool DefaultTabStop() override { return true; }
    // The selected cell shows the focus.
    void OnFocusChange(bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    void InitDefaults() override;
    void PaintContent(cCanvas* canvas) override;

    // Paints every pixel of cell index on a canvas of exactly the cell size.
    virtual void PaintCell(cCanvas* canvas, int32_t index, bool selected) = 0;
    virtual int32_t GetCellWidth() = 0;
    virtual int32_t GetCellHeight() = 0;
    virtual int32_t GetCellCount() = 0;
    // The gap between rows, which is also the least gap between columns.
    // Base: 0.
    virtual int32_t GetSpacing();
    // The largest gap between columns. Base: no limit.
    virtual int32_t GetMaxSpacing();

    // Ignored outside 0..count-1 and for the selected cell. With post the
    // owner gets a code-6 action, else the cell is scrolled into view.
    void SetSelection(int32_t index, bool post);
    int32_t GetSelection() const { return selected; }
    int32_t GetColumns() const { return columns; }
    int32_t GetRows() const { return rows; }
    void SetBackground(uint32_t colour) { background = colour; }

private:
    // The cell's rectangle in content coordinates; false without one (no
    // columns, or an index outside the cells).
    bool GetCellRect(int32_t index, cRect* rect);
    // Counts, columns and rows again; redraws when asked and something
    // changed.
    void LayoutCells(bool redraw);
    // The cell under a point in element coordinates, or -1.
    int32_t HitTest(int32_t x, int32_t y);
    // Selects, posts code 6 and redraws.
    void ChangeSelection(int32_t index);
    void PostCellAction(uint32_t code, int32_t index);

    int32_t columns;
    int32_t rows;
    int32_t count;
    int32_t selected;
    int32_t horizontal_spacing;
    int32_t spacing;
    uint32_t background;
};

#endif
