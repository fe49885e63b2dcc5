#ifndef GUI_CONTROLS_SELECTABLE_ELEMENT_H
#define GUI_CONTROLS_SELECTABLE_ELEMENT_H

#include <stdint.h>

#include "gui/controls/static_element.h"

struct cImageBuffer;

// A static text that is selected while it holds the focus and shows one of
// three looks: normal, hovered or selected (each a text, fill and frame
// colour and an optional image; the selected look wins over the hovered
// one). Gaining the focus by mouse or keyboard posts a
// cSelectableSelectAction; a double click, Enter or Space posts a plain
// code-7 action (activation). UI thread only.
class cSelectableElement : public cStaticElement {
public:
    class cSelectableSelectAction : public cChildAction {
    public:
        cSelectableSelectAction(bool flag1, bool flag2) : cChildAction(6), first(flag1), second(flag2) {}
        uint8_t first;
        uint8_t second;
    };

    struct cColours {
        uint32_t text;
        uint32_t fill;
        uint32_t frame;
    };

    cSelectableElement();

    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnDoubleClick(int32_t x, int32_t y) override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnFocusGained(int32_t reason, bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    bool DefaultFocusable() override { return true; }
    void InitDefaults() override;

    // Shows the selected look (posting the select action when notify asks
    // and it was not selected), then with notify takes the focus.
    void Select(bool notify);
    void SetNormalFillAndFrame(uint32_t fill, uint32_t frame);
    // One text colour for all three looks.
    void SetAllTextColours(uint32_t colour);
    void SetNormalColours(const cColours& colours);
    const cColours& GetNormalColours() const { return looks[look_normal]; }
    // Not owned; null for none.
    void SetImages(cImageBuffer* normal, cImageBuffer* hover, cImageBuffer* selected_image);
    bool IsSelected() const { return selected; }

private:
    enum { look_normal, look_hover, look_selected, look_count };

    int32_t CurrentLook() const;
    // The colours and image of the current look.
    void ShowLook();

    cColours looks[look_count];
    cImageBuffer* images[look_count];
    bool selected;
    bool hovered;
};

#endif
