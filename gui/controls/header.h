#ifndef GUI_CONTROLS_HEADER_H
#define GUI_CONTROLS_HEADER_H

#include <stdint.h>

#include "base/tree_map.h"
#include "gui/controls/button.h"
#include "gui/controls/splitter.h"

// The column header of the list view: a splitter in pixel mode whose panes
// are column buttons (pane id = column id), exactly one theme row (metric
// 23) high, with a greyed filler button right of the last column. A click
// on a column button posts code 8 (cColumnClickAction) on the header;
// dragging a bar resizes the column. UI thread only.
class cHeaderChild : public cSplitterChild {
public:
    class cColumnClickAction : public cChildAction {
    public:
        explicit cColumnClickAction(int32_t column_id) : cChildAction(8), column(column_id) {}
        int32_t column;
    };

    cHeaderChild();
    ~cHeaderChild() override;

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void InitDefaults() override;

    // Defines the column or updates what differs: a non-null title becomes
    // the caption; alignment 0 left, 1 centre, 2 right. False when the
    // column's pane cannot be added.
    bool SetColumn(int32_t id, const wchar_t* title, int32_t column_width, int32_t alignment);
    // 0 for an unknown column.
    int32_t GetColumnWidth(int32_t id);
    // The width the header covers at least (the filler takes the rest).
    void SetWidth(int32_t header_width);
    // The column's button, for its owner's styling; null for an unknown
    // column. The header owns it.
    cButtonChild* GetColumnButton(int32_t id);
    cButtonChild* GetFillerButton() { return &filler; }

private:
    cTreeMap<int32_t, cButtonChild*> buttons;  // owned
    cButtonChild filler;
};

#endif
