#ifndef GUI_CONTROLS_STATIC_ELEMENT_H
#define GUI_CONTROLS_STATIC_ELEMENT_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/child_element.h"
#include "gui/controls/posted_value.h"

class cFontObject;
struct cImageBuffer;

// A text with an optional icon left of it, in a filled and outlined box:
// one line ending in "..." when it does not fit (mode 0), one clipped line
// (mode 1) or wrapped lines (mode 2). The text is the element's text. Its
// text setters may be called from any thread: off the UI thread the text is
// copied on the caller's thread and swapped in by the UI thread (the newest
// text wins). Everything else runs on the UI thread.
class cStaticElement : public cChildElement {
public:
    cStaticElement();

    void Paint(cCanvas* canvas) override;
    bool DefaultFocusable() override { return false; }
    void InitDefaults() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // Any thread.
    void SetText(const wchar_t* new_text, int32_t length, bool redraw) override;
    // The icon is not owned; null removes it.
    virtual void SetIcon(cImageBuffer* image, bool redraw);

    // Any thread: the alignment, then the text up to its end.
    void SetTextEx(const wchar_t* new_text, int32_t new_alignment, bool redraw);
    // 0 left, 1 centre, 2 right.
    void SetAlignment(int32_t new_alignment);
    // Null: the element's default font.
    void SetFont(cFontObject* new_font);
    void SetTextColour(uint32_t colour);
    void SetFillColour(uint32_t colour);
    void SetFrameColour(uint32_t colour);
    void SetColours(uint32_t text_colour_value, uint32_t fill, uint32_t frame);
    // 0 one line with "...", 1 one clipped line, 2 wrapped.
    void SetTextMode(int32_t mode);
    // Extra left offset of a mode-0 text, and extra preferred width.
    void SetTextIndent(int32_t indent);
    // The size that shows the icon and the text; false for a null output.
    bool GetPreferredSize(cSize* size);

private:
    // A text on its way from another thread; alignment -1 keeps the
    // element's.
    struct cPostedText {
        cPostedText() : alignment(-1), redraw(false) {}
        void Swap(cPostedText& other);

        _guardchar<wchar_t> text;
        int32_t alignment;
        bool redraw;
    };

    void PostText(const wchar_t* new_text, int32_t length, int32_t new_alignment, bool redraw);
    cFontObject* UsedFont();
    // The text painted in a mode; answers its left x for the icon.
    int32_t PaintText(cCanvas* canvas, int32_t text_left);

    cImageBuffer* icon;
    uint32_t text_colour;
    uint32_t fill_colour;
    uint32_t frame_colour;
    cFontObject* font;
    int32_t text_mode;
    int32_t alignment;  // 3 is drawn as left in mode 1 and handed on in the others
    int32_t text_indent;
    cPostedValue<cPostedText> posted_text;
};

// A static text that reports a release of the left button on it as a plain
// code-0 action, shows the hand cursor, and keeps one value for its owner.
class cLinkElement : public cStaticElement {
public:
    cLinkElement() : data(0) {}

    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    uint32_t DefaultCursor() override { return 3; }
    void InitDefaults() override;

    void SetData(uint32_t value) { data = value; }
    uint32_t GetData() const { return data; }

private:
    uint32_t data;
};

#endif
