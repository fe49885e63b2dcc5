#ifndef TESTS_GUI_GALLERY_GALLERY_LISTS_H
#define TESTS_GUI_GALLERY_GALLERY_LISTS_H

#include "gui/controls/list_view.h"
#include "gui/controls/list_view_sort.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// A list with a header, check boxes, icons and a sorted column, with
// selected rows, beside an empty list that shows its text.
class cGalleryLists : public cChildElement {
public:
    static const int32_t width_needed = 826;
    static const int32_t height_needed = 150;

    void OnCreate() override
    {
        SetTransparent(true);
        AddChild(&files, 0, 0, 520, height_needed);
        AddChild(&empty, 534, 0, width_needed - 534, 80);
        // Borrowed theme images: the toolbar's accept, open and save icons.
        const uint32_t images[3] = {77, 80, 81};
        for (int32_t id = 0; id < 3; ++id)
            icons.Put(id, theme_image(images[id]));
        files.SetIconCaches(&icons, nullptr, nullptr);
        files.ShowCheckBoxes(true);
        files.SetMultiSelect(true);
        files.SetColumn(0, L"Name", 220, 0);
        files.SetColumn(1, L"Size", 90, 2);
        files.SetColumn(2, L"Modified", 180, 0);
        files.SetSortProvider(0, new cListViewChild::cListViewNameSortProvider);
        const wchar_t* rows[][3] = {
            {L"readme.txt", L"2 KB", L"03.05.2024 10:12:40"},
            {L"Pelmaro Desk.exe", L"1.2 MB", L"14.02.2024 08:00:00"},
            {L"licence.txt", L"18 KB", L"03.05.2024 10:12:41"},
            {L"a file name far too long to fit in its column.dat", L"5.1 GB", L"-"},
            {L"uninstall.cmd", L"1 KB", L"01.01.2024 00:00:00"},
            {L"data", L"", L"11.11.2023 11:11:11"},
        };
        files.BeginUpdate();
        for (int32_t row = 0; row < 6; ++row) {
            for (int32_t column = 0; column < 3; ++column)
                files.SetCell(row, column, rows[row][column], int16_t(column == 0 ? row % 3 : -1), 0);
        }
        files.EndUpdate(false);
        // As a click on the column's button does.
        files.GetHeader()->PostAction(new cHeaderChild::cColumnClickAction(0));
        files.SetChecked(1, true, false);
        files.SetChecked(2, true, false);
        files.GetCellRecord(2, 0)->flags |= cListViewChild::cell_selected;
        files.GetCellRecord(4, 0)->flags |= cListViewChild::cell_selected;
        empty.SetColumn(0, L"Product", 160, 0);
        empty.SetColumn(1, L"Version", 100, 0);
        empty.SetText(L"No product is installed", -1, true);
    }

private:
    cImageCache icons;
    cListViewChild files;
    cListViewChild empty;
};

#endif
