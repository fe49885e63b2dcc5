#ifndef GUI_CONTROLS_LIST_VIEW_H
#define GUI_CONTROLS_LIST_VIEW_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/critical_section.h"
#include "base/tree_map.h"
#include "gui/controls/header.h"
#include "gui/controls/scrollable_element.h"

class cFontObject;
class cImageCache;
struct cImageBuffer;

// The multi-column list: rows keyed by the owner's row ids (>= 0), cells per
// (row, column) with a text, an icon id and a 32-bit data word, a column
// header whose clicks sort the rows through per-column sort providers,
// single or multiple selection by mouse and keys, optional check boxes and
// type-ahead search. Its element text is shown while no row is. Actions,
// posted on the list for its owner: code 6 a row activated, 11 the list
// sorted (cListViewItemAction), 7 the current row changed
// (cListViewItemChangeAction), 10 a row's check box changed
// (cListViewItemChecked), plain 8 for F5 and 9 for Backspace.
//
// Threads: SetCell, Clear, GetCell and GetCellRecord may be called from any
// thread (a worker fills the list); off the UI thread they only mark the
// layout pending, which EndUpdate runs, or without a deferral a wake-up on
// the list does. Everything else runs on the UI thread. The row maps are
// read and changed under the list's lock.
class cListViewChild : public cScrollableElement {
public:
    enum { cell_selected = 1, cell_checked = 2, cell_alternate_icon = 4 };
    static const uint32_t no_colour = 0xFFFFFFFF;

    // A cell record. A row's selection and check state live in the flags of
    // its first cell (the one of the smallest column id).
    struct cCell {
        cCell() : data(0), text_colour(no_colour), row(0), image(-1), cached_height(0), flags(0) {}

        uint32_t data;  // the owner's word
        _guardchar<wchar_t> text;
        uint32_t text_colour;  // no_colour: the column's
        int32_t row;           // leads a sort provider to its owner's entry for the row
        int16_t image;         // negative: no icon
        int16_t cached_height;  // 0: to be measured
        uint16_t flags;
    };

    class cListViewSortProvider;
    class cListViewNameSortProvider;
    class cListViewU64PramSortProvider;

    class cListViewItemAction : public cChildAction {
    public:
        cListViewItemAction(uint32_t action_code, int32_t row_or_column) : cChildAction(action_code), id(row_or_column)
        {
        }
        int32_t id;
    };

    // Row ids -1 for none.
    class cListViewItemChangeAction : public cChildAction {
    public:
        cListViewItemChangeAction(int32_t new_id, int32_t old_id, bool ctrl_down, bool shift_down)
            : cChildAction(7), new_row(new_id), old_row(old_id), ctrl(ctrl_down), shift(shift_down)
        {
        }
        int32_t new_row;
        int32_t old_row;
        uint8_t ctrl;
        uint8_t shift;
    };

    // The state byte is always 0: receivers ask IsChecked.
    class cListViewItemChecked : public cChildAction {
    public:
        explicit cListViewItemChecked(int32_t row_id) : cChildAction(10), row(row_id), state(0) {}
        int32_t row;
        uint8_t state;
    };

    cListViewChild();
    ~cListViewChild() override;

    void DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift) override;
    bool DispatchChar(wchar_t character, bool shift, bool ctrl, bool alt) override;
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void SetText(const wchar_t* new_text, int32_t length, bool redraw) override;
    // Below the header while the header is painted.
    cRect GetClientRect() override;
    void Layout() override;
    void OnDoubleClick(int32_t x, int32_t y) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void OnFocusChange(bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    bool DefaultTabStop() override { return true; }
    bool ConsumesArrowKeys() override { return true; }
    uint32_t DefaultBorder() override { return 1; }
    void InitDefaults() override;
    void PaintContent(cCanvas* canvas) override;
    // A press of button 1 or 2 on a row outside the check box; first_cell
    // carries the row's selection. Called under the lock.
    virtual void OnRowClick(int32_t row, cCell* first_cell, bool ctrl, bool shift, int32_t button);

    // Columns, shown in ascending id order. Alignment 0 left, 1 centre,
    // 2 right, for the caption and the cells. False when the header
    // refuses the column.
    bool SetColumn(int32_t id, const wchar_t* title, int32_t column_width, int32_t alignment);
    // Null: the canvas's font. False for an unknown column.
    bool SetColumnFont(int32_t id, cFontObject* font);
    bool SetColumnTextColour(int32_t id, uint32_t colour, bool redraw);
    // Takes the provider (null: none) and destroys the column's previous
    // one; false, and the provider not taken, for an unknown column.
    bool SetSortProvider(int32_t id, cListViewSortProvider* provider);
    // Rows without a key come first in an ascending sort and last in a
    // descending one; equal keys keep their order ascending and reverse it
    // descending. In the column's present direction (ascending until a
    // header click turns it), or in the one given, which it keeps. False
    // without a provider.
    bool SortByColumn(int32_t id);
    bool SortByColumn(int32_t id, bool ascending);

    // Any thread. Creates the row (appended to the display order) and the
    // cell as needed; a null text, or a data of 0, keeps the cell's. False
    // for a negative row id or when memory runs out.
    bool SetCell(int32_t row, int32_t column, const wchar_t* text, int16_t image, uint32_t data);
    // Any thread: the cell's data word, 0 when there is no such cell.
    uint32_t GetCell(int32_t row, int32_t column);
    // The cell, null when absent; valid until the row is changed or
    // cleared, so read it on the thread that changes the list.
    cCell* GetCellRecord(int32_t row, int32_t column);
    // Any thread: removes every row, keeping the columns.
    bool Clear();
    // -1 when there is none.
    int32_t GetCurrentRow();
    // Makes the row current and the only selected one, scrolled into view,
    // as a click on it does (a change is posted); false for an unknown row.
    bool SetCurrentRow(int32_t row);
    // The smallest selected row id greater than after (-1: from the start);
    // -1 when none.
    int32_t GetNextSelectedRow(int32_t after);
    bool IsChecked(int32_t row);
    // Posts code 10 when the state changed and post asks; false for an
    // unknown row.
    bool SetChecked(int32_t row, bool state, bool post);
    void SetMultiSelect(bool flag);
    bool ShowHeader(bool flag);
    // Between the two, changes only mark the layout pending; EndUpdate runs
    // it (remeasuring every cell when asked) and answers whether it did.
    void BeginUpdate();
    bool EndUpdate(bool remeasure);
    // Not owned; any may be null. The alternate cache draws cells with
    // cell_alternate_icon, the selected one selected cells.
    void SetIconCaches(cImageCache* normal, cImageCache* alternate, cImageCache* selected);
    void SetRowSpacing(int32_t pixels);
    void SetCellPadding(int32_t pixels, bool redraw);
    void SetFrameColour(uint32_t colour, bool redraw);
    void SetFullRowSelect(bool flag, bool redraw);
    void SetRowColours(uint32_t focused_fill, uint32_t unfocused_fill, bool redraw);
    void ShowCheckBoxes(bool flag);
    // The embedded header: its column buttons take their owner's styling.
    cHeaderChild* GetHeader() { return &header; }

private:
    typedef cTreeMap<int32_t, cCell> cCellMap;

    struct cColumn {
        cColumn() : provider(nullptr), ascending(true), alignment(0), font(nullptr), text_colour(no_colour) {}
        ~cColumn();
        cColumn(const cColumn&) = delete;
        cColumn& operator=(const cColumn&) = delete;

        cListViewSortProvider* provider;  // owned
        bool ascending;
        int32_t alignment;
        cFontObject* font;
        uint32_t text_colour;
    };

    struct cRowSpan {
        int32_t top;
        int32_t row;
        int32_t height;
    };

    // The colours a cell is drawn in.
    struct cCellLook {
        uint32_t fill;
        uint32_t pen;
        uint32_t text;
    };

    // Layout: immediately on the UI thread, else marked pending.
    void RequestLayout(bool remeasure);
    void Relayout(bool remeasure);
    // The row's height, measuring its cells as needed; 0 when no column
    // has a cell in it.
    int32_t MeasureRow(cCellMap* cells, bool remeasure);
    int32_t MeasureCell(const cCell& cell);
    bool HeaderShown();
    int32_t HeaderHeight();

    // Painting, under the lock.
    void PaintRow(cCanvas* canvas, const cRowSpan& span, int32_t y, bool above_selected, bool* drawn_selected);
    cCellLook CellLook(bool selected);
    uint32_t RowFill(cCellMap* cells);
    void PaintCell(cCanvas* canvas, cCell* cell, const cColumn& column, bool first_column, bool selected,
                   bool above_selected, int32_t x, int32_t y, int32_t column_width, int32_t row_height);
    cImageBuffer* CellIcon(const cCell* cell, bool selected);
    void PaintEmptyText(cCanvas* canvas);

    // Rows, under the lock.
    cCellMap* FindRow(int32_t row);
    cCell* FirstCell(int32_t row);
    int32_t RowAtIndex(int32_t index);
    int32_t IndexOfRow(int32_t row);
    int32_t RowHeight(int32_t row);
    // The layout entry under a content y, or null.
    cRowSpan* SpanAt(int32_t content_y);
    void FreeRows();

    // Selection and input, under the lock.
    void SelectRow(int32_t row, int32_t anchor, bool ctrl, bool shift, bool select);
    void ScrollRowIntoView(int32_t row);
    // Clears every row's selection but that of keep (-1: every row).
    void ClearSelection(int32_t keep);
    // Clears the selection and drops the current row, posting the change.
    void DropCurrentRow(bool ctrl, bool shift);
    void ToggleChecked(int32_t row);
    void PostChange(int32_t new_row, int32_t old_row, bool ctrl, bool shift);
    void PostItem(uint32_t code, int32_t id);
    void HandleRowPress(int32_t x, int32_t y, int32_t button, bool ctrl, bool shift);
    bool HandleKey(uint32_t key, bool shift, bool ctrl);
    // The row a Page Up or Page Down lands on.
    int32_t PageTarget(bool down);
    void TypeAhead(wchar_t character);
    bool InCheckBoxZone(int32_t x);

    void OnHeaderAction(cChildAction* action);

    cTreeMap<int32_t, cColumn> columns;
    cTreeMap<int32_t, int32_t> display_order;  // display index -> row id
    cTreeMap<int32_t, int32_t> row_index;      // row id -> display index
    cTreeMap<int32_t, cRowSpan> row_layout;    // top y -> span
    cTreeMap<int32_t, int32_t> row_position;   // row id -> top y
    cTreeMap<int32_t, cCellMap> rows;          // row id -> cells by column id
    cCriticalSection lock;
    int32_t sort_column;
    cHeaderChild header;
    cImageCache* icon_caches[3];  // normal, alternate, selected
    uint32_t frame_colour;
    uint32_t text_colour;
    uint32_t selected_fill[2];  // focused, unfocused
    uint32_t selected_text[2];
    uint32_t selected_line[2];
    uint32_t row_fill[2];
    int32_t row_spacing;
    bool multi_select;
    bool updates_deferred;
    bool layout_pending;
    bool remeasure_pending;
    bool layout_posted;  // a wake-up for a worker's changes is queued
    bool check_boxes;
    bool full_row_select;
    int32_t cell_padding;
    wchar_t typed[10];
    int32_t typed_length;
    uint32_t typed_time;
    int32_t current_row;
};

#endif
