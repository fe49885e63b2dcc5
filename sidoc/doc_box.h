#ifndef SIDOC_DOC_BOX_H
#define SIDOC_DOC_BOX_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/geometry.h"

class cCanvas;
class cFontObject;
struct cImageBuffer;

// A link target: an entry of a loaded document's string table, owned by the
// loader. Its address tells links apart.
typedef _guardchar<wchar_t> cSiDocLinkTarget;

// Gives text boxes and containers their fonts by style index.
class cSiDocFontProvider {
public:
    cSiDocFontProvider() = default;
    cSiDocFontProvider(const cSiDocFontProvider&) = delete;
    cSiDocFontProvider& operator=(const cSiDocFontProvider&) = delete;

    // The font of that style; null when there is none.
    virtual cFontObject* GetFont(int32_t style) = 0;
    virtual ~cSiDocFontProvider();
};

// Receives the rectangles that link boxes painted, in canvas coordinates.
class cSiDocActiveTarget {
public:
    cSiDocActiveTarget() = default;
    cSiDocActiveTarget(const cSiDocActiveTarget&) = delete;
    cSiDocActiveTarget& operator=(const cSiDocActiveTarget&) = delete;

    virtual void ClearLinks() = 0;
    // False when the rectangle could not be kept.
    virtual bool AddLinkRect(const cSiDocLinkTarget* target, int32_t x, int32_t y, int32_t width,
                             int32_t height) = 0;
    virtual ~cSiDocActiveTarget();
};

// What an enclosing box passes to a box it measures or paints; copied,
// never kept.
struct cSiDocPaintContext {
    cFontObject* font;        // used when the box has none of its own
    uint32_t background;      // shows where the box has no colour of its own
    uint32_t text_colour;     // used when the box has none
    int32_t x;                // top-left corner of the box on the canvas
    int32_t y;
    int32_t right_limit;      // absolute x and y the box must not pass; negative: none
    int32_t bottom_limit;
    cSiDocActiveTarget* active_target;  // null: links are not reported
};

// The factor of every measured text height (1.2, or 0.9 for the Japanese
// interface face), rounded half up.
int32_t doc_scaled_text_height(int32_t height);

// A layout box of a document. Sizes not set are -1; colours not set are
// 0xFFFFFFFF. Measure and Paint answer the box's size in *size and false
// when there is nothing to show or no canvas.
class cSiDocBox {
public:
    cSiDocBox();
    virtual ~cSiDocBox();
    cSiDocBox(const cSiDocBox&) = delete;
    cSiDocBox& operator=(const cSiDocBox&) = delete;

    virtual bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) = 0;
    virtual bool Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) = 0;
    // A word with text: words on one line stand a space apart.
    virtual bool HasText() const;

    int32_t margin_left;
    int32_t margin_right;
    int32_t margin_top;
    int32_t margin_bottom;
    int32_t width;
    int32_t height;
    uint32_t background;
    int32_t break_before;  // 1: the box begins a new line
    int32_t measured_width;   // what the last Measure inside a container's Measure gave
    int32_t measured_height;
};

// A word of text in its font and colour.
class cSiDocText : public cSiDocBox {
public:
    cSiDocText();

    bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;
    bool Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;
    bool HasText() const override;

    cSiDocFontProvider* font_provider;  // null: the context's font
    int32_t style;
    uint32_t text_colour;
    _guardchar<wchar_t> text;

private:
    // Selects the box's font; answers the scaled height of one space.
    int32_t SelectFont(cCanvas* canvas, const cSiDocPaintContext& context);
    // The box's size from its text (set sizes replacing the measured ones);
    // *text_size gets the text's own extent.
    cSize MeasureText(cCanvas* canvas, cSize* text_size);
};

// A word that opens its target when clicked.
class cSiDocLink : public cSiDocText {
public:
    cSiDocLink();

    bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;

    const cSiDocLinkTarget* link;  // null: none
};

// A picture of the document's picture table.
class cSiDocImage : public cSiDocBox {
public:
    cSiDocImage();

    bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;
    bool Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;

    const cImageBuffer* image;  // not owned; null: none
};

class cSiDocImageLink : public cSiDocImage {
public:
    cSiDocImageLink();

    bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;

    const cSiDocLinkTarget* link;
};

#endif
