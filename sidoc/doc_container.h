#ifndef SIDOC_DOC_CONTAINER_H
#define SIDOC_DOC_CONTAINER_H

#include <stdint.h>

#include "base/linked_list.h"
#include "sidoc/doc_box.h"

// Owned boxes in document order; a node may hold no box.
typedef cLinkedList<cSiDocBox*> cSiDocBoxList;

// Appends the box (owned by the list from here on, also when the answer is
// false: the box is then destroyed).
bool doc_box_list_append(cSiDocBoxList& list, cSiDocBox* box);

// A box that flows its children into lines within its width: a line ends
// before a child with the break flag or one that would pass the inner right
// edge, and each line is aligned left, right, centred or justified.
class cSiDocContainer : public cSiDocBox {
public:
    cSiDocContainer();
    // Destroys every child.
    ~cSiDocContainer() override;

    bool Paint(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;
    bool Measure(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size) override;

    cSiDocFontProvider* font_provider;  // null: the context's font
    int32_t style;
    uint32_t text_colour;
    cSiDocBoxList children;
    int32_t alignment;  // 0 left, 1 right, 2 centre, 3 justify

private:
    // Paint and Measure: the same two passes, drawing only when painting.
    bool Flow(cCanvas* canvas, const cSiDocPaintContext& context, cSize* size, bool painting);
};

#endif
