#ifndef GUI_CONTROLS_PICTURE_ELEMENT_H
#define GUI_CONTROLS_PICTURE_ELEMENT_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/tree_map.h"
#include "gui/child_element.h"
#include "gui/geometry.h"
#include "gui/image_cache.h"

struct cImageBuffer;

// One image at the element's top-left corner, with zones its owner defines:
// a left click released in an active zone posts a cActiveZoneAction with
// the zone's id (the hand cursor shows over active zones), and the pointer
// over a hint zone opens a tooltip below the zone. Where zones overlap, the
// lowest id wins. Zone rectangles are inclusive on all four edges, in the
// element's coordinates. UI thread only.
class cPictureElement : public cChildElement {
public:
    class cActiveZoneAction : public cChildAction {
    public:
        explicit cActiveZoneAction(int32_t zone_id) : cChildAction(6), zone(zone_id) {}
        int32_t zone;
    };

    cPictureElement();

    void Paint(cCanvas* canvas) override;
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseLeave() override;
    void InitDefaults() override;

    // Shows a copy of the image, so the caller may free or change its own
    // at once. False for a null image, one without pixels, or a copy that
    // could not be made (the shown image stays then).
    bool SetImage(const cImageBuffer* image);
    // Adds or replaces a zone; false when it could not be stored.
    bool SetActiveZone(int32_t id, const cRectEdges& zone);
    bool SetHintZone(int32_t id, const cRectEdges& zone, const wchar_t* hint);

private:
    struct cHintZone {
        cRectEdges rect;
        _guardchar<wchar_t> text;
    };

    // The zone of the lowest id holding the point; -1 when none does.
    int32_t ActiveZoneAt(int32_t px, int32_t py);
    cTreeNode<int32_t, cHintZone>* HintZoneAt(int32_t px, int32_t py);

    cImageRef image;  // always an owned copy
    cTreeMap<int32_t, cRectEdges> active_zones;
    cTreeMap<int32_t, cHintZone> hint_zones;
    int32_t last_active_zone;
    int32_t open_hint_zone;  // its tooltip is the element's tooltip
};

#endif
