#include "gui/controls/picture_element.h"

#include "gui/canvas.h"
#include "gui/controls/hint_master.h"
#include "gui/image_buffer.h"

namespace {

const uint32_t arrow_cursor = 0;
const uint32_t hand_cursor = 3;

bool zone_holds(const cRectEdges& zone, int32_t px, int32_t py)
{
    return px >= zone.left && px <= zone.right && py >= zone.top && py <= zone.bottom;
}

}  // namespace

cPictureElement::cPictureElement() : active_zones(512), hint_zones(512), last_active_zone(-1), open_hint_zone(-1) {}

void cPictureElement::InitDefaults()
{
    cChildElement::InitDefaults();
    last_active_zone = -1;
    open_hint_zone = -1;
}

bool cPictureElement::SetImage(const cImageBuffer* source)
{
    if (!source || !source->GetPixels())
        return false;
    cImageBuffer* copy = new cImageBuffer;
    if (!copy)
        return false;
    if (!copy->SetPixels(source->GetPixels(), source->GetWidth(), source->GetHeight(), false)) {
        delete copy;
        return false;
    }
    image.ReplaceOwned(copy);
    Redraw(nullptr);
    return true;
}

bool cPictureElement::SetActiveZone(int32_t id, const cRectEdges& zone)
{
    cRectEdges* stored = tree_get_or_add(active_zones, id);
    if (!stored)
        return false;
    *stored = zone;
    return true;
}

bool cPictureElement::SetHintZone(int32_t id, const cRectEdges& zone, const wchar_t* hint)
{
    cHintZone* stored = tree_get_or_add(hint_zones, id);
    if (!stored)
        return false;
    stored->rect = zone;
    stored->text.Assign(hint);
    return true;
}

void cPictureElement::Paint(cCanvas* canvas)
{
    const cImageBuffer* shown = image.Get();
    if (!shown || !shown->GetPixels())
        return;
    if (transparent) {
        cPoint origin{0, 0};
        canvas->DrawImageScaled(&origin, shown, nullptr);
    } else {
        canvas->DrawImage(0, 0, shown, -1, -1);
    }
}

bool cPictureElement::PaintBackground(cCanvas* canvas, const cRect* rect)
{
    const cImageBuffer* shown = image.Get();
    if (!shown || !shown->GetPixels())
        return cChildElement::PaintBackground(canvas, rect);
    canvas->DrawImage(-rect->x, -rect->y, shown, -1, -1);
    return true;
}

int32_t cPictureElement::ActiveZoneAt(int32_t px, int32_t py)
{
    for (cTreeNode<int32_t, cRectEdges>* node = tree_first_node(active_zones); node; node = tree_next_node(node)) {
        if (zone_holds(node->value, px, py))
            return node->key;
    }
    return -1;
}

cTreeNode<int32_t, cPictureElement::cHintZone>* cPictureElement::HintZoneAt(int32_t px, int32_t py)
{
    for (cTreeNode<int32_t, cHintZone>* node = tree_first_node(hint_zones); node; node = tree_next_node(node)) {
        if (zone_holds(node->value.rect, px, py))
            return node;
    }
    return nullptr;
}

void cPictureElement::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    if (button != 1 || pressed)
        return;
    int32_t zone = ActiveZoneAt(px, py);
    if (zone < 0)
        return;
    last_active_zone = zone;
    PostAction(new cActiveZoneAction(zone));
}

void cPictureElement::OnMouseMove(int32_t px, int32_t py)
{
    last_active_zone = ActiveZoneAt(px, py);
    SetCursorShape(last_active_zone >= 0 ? hand_cursor : arrow_cursor);
    cTreeNode<int32_t, cHintZone>* zone = HintZoneAt(px, py);
    if (!zone) {
        delete tooltip;
        tooltip = nullptr;
        open_hint_zone = -1;
        return;
    }
    if (zone->key == open_hint_zone)
        return;
    cPoint at{0, 0};
    if (GetScreenPosition(&at)) {
        at = cPoint{at.x + zone->value.rect.left + 2, at.y + zone->value.rect.bottom + 2};
        if (cHintMaster* opened = cHintMaster::Open(this, zone->value.text.Text(), &at, cHintMaster::default_colour,
                                                    cHintMaster::default_colour)) {
            delete tooltip;
            tooltip = opened;
        }
    }
    open_hint_zone = zone->key;
}

void cPictureElement::OnMouseLeave()
{
    cChildElement::OnMouseLeave();
    open_hint_zone = -1;
}
