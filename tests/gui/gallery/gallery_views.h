#ifndef TESTS_GUI_GALLERY_GALLERY_VIEWS_H
#define TESTS_GUI_GALLERY_GALLERY_VIEWS_H

#include <stdint.h>

#include "gui/controls/panel.h"
#include "gui/controls/picture_element.h"
#include "gui/controls/prop_disp_area.h"
#include "gui/controls/static_element.h"
#include "gui/controls/tree_view.h"
#include "gui/image_buffer.h"
#include "gui/image_cache.h"
#include "gui/theme.h"
#include "gui/ui_font.h"

// A tree of locations with one branch collapsed and the current item marked
// (the tree has no focus), a property area whose notes need its scroll bar,
// and a picture drawn from a buffer that is gone once it is shown.
class cGalleryViews : public cPanelChild {
public:
    static const int32_t width_needed = 426;
    static const int32_t height_needed = 184;

    void OnCreate() override
    {
        SetFrameColour(theme_colour(25));
        SetBackgroundColour(0xFFFFFF);
        AddChild(&heading, 10, 8, 200, 20);
        AddChild(&tree, 10, 32, 200, 142);
        AddChild(&notes, 220, 32, 196, 100);
        AddChild(&picture, 220, 140, 96, 34);
        heading.SetFont(GetFont(6, 14, get_ui_font_face_name(), true, false, false));
        heading.SetText(L"Views", -1, false);
        heading.SetColours(theme_colour(4), 0xFFFFFF, 0xFFFFFF);

        if (!row_images.Get(0)) {
            row_images.Put(0, theme_image(43));
            row_images.Put(1, theme_image(48));
            row_images.Put(2, theme_image(42));
        }
        tree.SetImageCaches(&row_images, nullptr, nullptr);
        cTreeViewChild::cTreeViewItem* computer = Add(nullptr, L"Computer", 2);
        cTreeViewChild::cTreeViewItem* system = Add(computer, L"C:", 0);
        cTreeViewChild::cTreeViewItem* users = Add(system, L"Users", 1);
        Add(users, L"Public", 1);
        cTreeViewChild::cTreeViewItem* me = Add(users, L"me", 1);
        Add(system, L"Windows", 1);
        cTreeViewChild::cTreeViewItem* data = Add(computer, L"Z:", 0);
        Add(data, L"tmp", 1);
        data->collapsed = 1;
        Add(computer, L"Home folder", 1);
        tree.SelectItem(me, false);

        notes.SetTexts(L"Version 2.4 is available",
                       L"This release makes downloads resume where they stopped, keeps the list of installed "
                       L"products sorted by name, and shows the size of each update before it starts. The "
                       L"update keeps your settings and the languages you chose, and it can be undone from the "
                       L"list of installed programs. Long notes like these scroll inside their frame.");
        notes.SetColours(0xE4E0DC, 0xFFFFFF, 0x734D32);
        notes.SetTextSpacing(10);

        cImageBuffer shaded;
        if (shaded.Resize(96, 34)) {
            for (int32_t row = 0; row < 34; ++row)
                for (int32_t column = 0; column < 96; ++column)
                    shaded.GetPixels()[row * 96 + column] =
                        0xFF000000 | uint32_t(40 + column * 2) << 16 | uint32_t(90 + row * 4) << 8 | 0xC0;
            picture.SetImage(&shaded);
        }
    }

private:
    cTreeViewChild::cTreeViewItem* Add(cTreeViewChild::cTreeViewItem* parent, const wchar_t* text, int32_t image)
    {
        cTreeViewChild::cTreeViewItem* item = new cTreeViewChild::cTreeViewItem;
        if (!item)
            return nullptr;
        item->text.Assign(text);
        item->image = image;
        if (!tree.AddItem(parent, item)) {
            delete item;
            return nullptr;
        }
        return item;
    }

    static cImageCache row_images;
    cStaticElement heading;
    cTreeViewChild tree;
    cPropDispAreaChild notes;
    cPictureElement picture;
};

cImageCache cGalleryViews::row_images;

#endif
