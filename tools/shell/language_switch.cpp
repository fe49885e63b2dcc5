#include "tools/shell/language_switch.h"

#include "base/app_config.h"
#include "gui/application.h"
#include "gui/canvas.h"
#include "gui/image_buffer.h"
#include "gui/ui_font.h"
#include "tools/shell/app_language.h"

void build_language_menu(cPopupItems& items)
{
    tree_clear(items);
    cSOPKGLang& provider = application_language_provider();
    for (uint32_t id = 0; id < language_none; ++id) {
        if (!provider.HasLanguage(id))
            continue;
        cPopupItem* item = tree_get_or_add(items, int32_t(id));
        if (!item)
            continue;
        item->text.Assign(get_language_name(id));
        item->data = id;
        item->image_id = get_small_language_image(id) ? int32_t(id) : -1;
    }
}

void cLangSwitchCtl::InitDefaults()
{
    cGenButtonChild::InitDefaults();
    shown = 11;
    Refresh();
}

void cLangSwitchCtl::Refresh()
{
    cSOPKGLang& provider = application_language_provider();
    uint32_t id = provider.DefaultLanguage();
    cApplicationConfig* config = get_current_config();
    int64_t stored = 0;
    if (config && config->ReadInt64("lang/current", stored) && provider.HasLanguage(uint32_t(stored)))
        id = uint32_t(stored);
    if (id != shown)
        Show(id);
}

void cLangSwitchCtl::Show(uint32_t id)
{
    shown = id;
    SetHintText(get_language_name(id));
    Redraw(nullptr);
}

void cLangSwitchCtl::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, 0xFFFFFF, 0xFFFFFF);
    cImageBuffer* flag = get_small_language_image(shown);
    if (flag) {
        cPoint at{(width - flag->GetWidth()) / 2, (height - flag->GetHeight()) / 2};
        canvas->DrawImageScaled(&at, flag, nullptr);
    }
}

bool cLangSwitchCtl::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender != this || action->code != 0)
        return cGenButtonChild::HandleAction(sender, action);
    cPopupItems items;
    build_language_menu(items);
    cPopupStyle style;
    init_popup_style(&style);
    style.icons = &small_language_images();
    style.current_id = int32_t(shown);
    style.background = 0xFFFFFF;
    style.frame = 0xDBCAC7;
    style.text_colour = 0x372F2E;
    style.font = GetFont(6, 17, get_ui_font_face_name(), false, false, false);
    cPoint at{0, 0};
    GetScreenPosition(&at);
    int32_t chosen = open_popup_with_style(this, &items, at.x, at.y + height, &style);
    if (chosen < 0 || uint32_t(chosen) == shown || !apply_language(uint32_t(chosen)))
        return true;
    Show(uint32_t(chosen));
    cApplicationConfig* config = get_current_config();
    if (config) {
        config->WriteInt16("lang/current", int16_t(chosen));
        config->Save();
    }
    // A null action would post a click: no notice then.
    cChildAction* changed = new cChildAction(6);
    if (changed)
        PostAction(changed);
    return true;
}
