#ifndef GUI_CONTROLS_SCROLL_BAR_H
#define GUI_CONTROLS_SCROLL_BAR_H

#include <stdint.h>

#include "gui/child_element.h"

class cImageCache;
struct cImageBuffer;

// A painted scroll bar: a track with a proportional thumb, and the two
// arrow buttons together at the far end, all from theme images. Told along
// x: the vertical bar is the same along y. A bar narrower than the arrows-
// only limit (theme metric 21) shows its two arrows alone; one at the
// narrow limit (metric 20) or below uses the narrow buttons. A step comes
// once per click, on the release over the part where the press began. Every
// change of the position by the user posts a scroll action (code 6, the
// new position) to the bar itself; it bubbles to the owner. UI thread only.
class cScrollBar : public cChildElement {
public:
    class cScrollAction : public cChildAction {
    public:
        explicit cScrollAction(uint64_t new_position) : cChildAction(6), position(new_position) {}
        uint64_t position;
    };

    // Parts as the hit test names them.
    enum { part_none = 0, part_track_before = 1, part_track_after = 2, part_thumb = 3, part_back = 4,
           part_forward = 5 };

    // The thumb over a track of a length: its start (from the bar's start)
    // and length, and the positions per pixel.
    struct cThumb {
        int32_t start;
        int32_t length;
        double scale;
    };

    void Paint(cCanvas* canvas) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void OnMouseLeave() override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    bool DefaultBackBuffer() override { return true; }
    bool DefaultRepaintOnResize() override { return true; }
    bool ConsumesArrowKeys() override { return true; }
    void InitDefaults() override;

    uint64_t GetPosition() const { return position; }
    uint64_t GetRange() const { return range; }
    int32_t GetLineStep() const { return line_step; }
    int32_t GetPageStep() const { return page_step; }
    // A step of 0 is ignored; no redraw.
    void SetLineStep(int32_t step);
    void SetPageStep(int32_t step);
    // Move by a line or a page within 0..range; a change posts the scroll
    // action. No redraw: the caller redraws.
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    // Clamped to 0..range; a change redraws, and posts the scroll action
    // when notify is set.
    void MoveTo(uint64_t new_position, bool notify);
    // Whether the bar is displayed (its own paintable flag).
    bool IsDisplayed() const { return paintable; }

protected:
    // state_caches: the class's three image caches (normal, hover,
    // pressed), filled from the theme by the first bar of the class.
    cScrollBar(bool is_vertical, cImageCache* state_caches);

    // A position beyond the new range is moved to it with a scroll action;
    // redraws after a change.
    void StoreRange(uint64_t new_range);
    void MoveBy(int64_t delta);
    void PostScroll();
    virtual cScrollAction* NewScrollAction() = 0;

private:
    // One image of the arrow block at a full bar's far end and the part it
    // belongs to.
    struct cArrowPiece {
        int32_t key;
        int32_t part;
        int32_t length;
    };
    static const int32_t arrow_piece_count = 5;

    void ArrowBlock(cArrowPiece* pieces);
    // The visual state of a part (track for both track halves); null for
    // none.
    int32_t* StateOfPart(int32_t part);
    cThumb ThumbOnTrack(int32_t track_length);
    int32_t HitTest(int32_t along);
    // The image of a key in a visual state (1 hover, 2 pressed, else normal).
    cImageBuffer* Image(int32_t key, int32_t state);
    // Length of a key's image along the bar; 0 without it.
    int32_t Extent(int32_t key);
    // The track's length in a full bar.
    int32_t FullTrackLength();
    int32_t Length() const { return vertical ? height : width; }
    void DrawPart(cCanvas* canvas, int32_t key, int32_t state, int32_t at, int32_t length);
    void PaintFull(cCanvas* canvas);
    void PaintArrowsOnly(cCanvas* canvas, int32_t back_key, int32_t forward_key);
    void Press(int32_t along);
    void Release(int32_t along, int32_t across);
    void Drag(int32_t along);
    void Hover(int32_t along);
    void SetStates(int32_t track, int32_t thumb, int32_t back, int32_t forward);
    void ClearPressFlags();
    bool AnyStateSet() const { return track_state || thumb_state || back_state || forward_state; }

    bool vertical;
    cImageCache* caches;  // three: normal, hover, pressed
    uint64_t position;
    uint64_t range;
    int32_t line_step;
    int32_t page_step;
    int32_t drag_start_coordinate;
    uint64_t drag_start_position;
    bool dragging;
    bool back_pressed;
    bool forward_pressed;
    bool track_before_pressed;
    bool track_after_pressed;
    int32_t track_state;  // 0 normal, 1 hover, 2 pressed
    int32_t thumb_state;
    int32_t back_state;
    int32_t forward_state;
};

class cHScroll : public cScrollBar {
public:
    class cHScrollAction : public cScrollAction {
    public:
        explicit cHScrollAction(uint64_t new_position) : cScrollAction(new_position) {}
    };

    cHScroll();
    // A range of 0 is ignored; a position beyond the new range is moved to
    // it with a scroll action. Redraws after a change.
    void SetRange(uint64_t new_range);
    // Clamped to 0..range; a change posts the scroll action and redraws.
    void SetPosition(uint64_t new_position);

protected:
    cScrollAction* NewScrollAction() override;
};

class cVScroll : public cScrollBar {
public:
    class cVScrollAction : public cScrollAction {
    public:
        explicit cVScrollAction(uint64_t new_position) : cScrollAction(new_position) {}
    };

    cVScroll();
    // As the horizontal bar's, but a range of 0 is taken (the position then
    // becomes 0).
    void SetRange(uint64_t new_range);
    void SetPosition(uint64_t new_position, bool notify);

protected:
    cScrollAction* NewScrollAction() override;
};

#endif
