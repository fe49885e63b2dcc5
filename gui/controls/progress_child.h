#ifndef GUI_CONTROLS_PROGRESS_CHILD_H
#define GUI_CONTROLS_PROGRESS_CHILD_H

#include <stdint.h>

#include "base/critical_section.h"
#include "base/job.h"
#include "gui/child_element.h"
#include "gui/controls/posted_value.h"
#include "gui/image_buffer.h"

// The animation thread of a progress bar: it fades the bar in and out and
// moves its value in steps, in cycles of 30 ms, and tells the bar what to
// show only by posting request actions to it. Commands and values are
// guarded by the job's lock, so they may come from any thread.
class cProgressViewUpdateJob : public cJob {
public:
    cProgressViewUpdateJob();
    ~cProgressViewUpdateJob() override;

    uint32_t Run() override;
    void OnStart() override;
    void OnFinish(uint32_t exit_code) override;

    // The element the requests go to; set before anything else.
    void SetElement(cChildElement* element) { bar = element; }
    // Makes the bar active and fades it in, from the value 0; nothing when
    // it is active already.
    void Activate();
    // Animates towards the value. Unless no_wait is set, first waits until
    // the thread has taken a pending fade command (not while the thread
    // does not run), so that the move does not replace it.
    void MoveTo(int32_t value, bool no_wait);
    // Immediately: fades out now. Otherwise first fills the bar and shows it
    // full for 200 ms. Nothing when not active.
    void Deactivate(bool immediately);
    // The maximum; the displayed value is cut to it.
    void SetRange(int32_t maximum);
    int32_t GetMaximum();
    // Read without the lock, by the painting.
    bool IsActive() const { return active; }
    bool IsAnimating() const { return loop_running; }

private:
    enum { command_none = 0, command_appear = 1, command_disappear = 2, command_move = 3 };

    // 30 ms in steps of 5 that end early on a stop request; false then.
    bool Pause();
    bool CommandPending();
    void PostFade(double fade);
    void PostValue(int32_t value);
    void StoreDisplayed(int32_t value);
    // The fade loops of the appear and disappear commands: level in tenths
    // of the background's weight, moved by step until it reaches end; a new
    // command jumps to the end. False on a stop request.
    bool Fade(int32_t* level, int32_t step, int32_t end);
    // False on a stop request.
    bool Move();

    cChildElement* bar;
    cCriticalSection lock;
    int32_t displayed;
    int32_t maximum;
    uint32_t command;
    int32_t requested;
    volatile bool active;
    volatile bool loop_running;
};

// The framework's progress bar: a value out of a maximum, drawn from two
// built-in gradients into an image, faded in when it starts, animated
// towards each new position, and after a stop filled, held for 200 ms and
// faded back to its plain outlined rectangle. Start, SetPosition, SetRange
// and Stop may be called from any thread; everything else runs on the UI
// thread.
class cProgressChild : public cChildElement {
public:
    // Requests of the animation thread: a value to show, and the weight of
    // the background over the bar (0.0 bar, 1.0 only background).
    class cSetProgressRequestAction : public cChildAction {
    public:
        explicit cSetProgressRequestAction(int32_t new_value) : cChildAction(6), value(new_value) {}
        int32_t value;
    };
    class cSetOpacityRequestAction : public cChildAction {
    public:
        explicit cSetOpacityRequestAction(double new_fade) : cChildAction(7), fade(new_fade) {}
        double fade;
    };

    cProgressChild();
    ~cProgressChild() override;

    void Paint(cCanvas* canvas) override;
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void Layout() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    bool DefaultFocusable() override { return false; }
    void InitDefaults() override;

    void Start();
    // Cut to 0..maximum.
    void SetPosition(int32_t value, bool no_wait);
    // Immediately: fades out at once; otherwise fills the bar first and
    // holds it (the caller waits those 200 ms).
    void Stop(bool immediately);
    // Ignored below 1; the value is cut to it. No redraw.
    void SetRange(int32_t new_maximum);
    void SetBackgroundColour(uint32_t colour, bool redraw);

private:
    // A maximum on its way to the UI thread.
    struct cPostedRange {
        cPostedRange() : maximum(0) {}
        void Swap(cPostedRange& other);
        int32_t maximum;
    };

    void ApplyRange(int32_t new_maximum);
    // Draws the bar into the rendered image.
    void Render();
    // The bar, or its plain rectangle, with its top-left corner at (x, y).
    void Draw(cCanvas* canvas, int32_t x, int32_t y);

    cProgressViewUpdateJob job;
    int32_t maximum;
    int32_t value;
    double fade;
    cImageBuffer rendered;
    cImageBuffer fill_column;
    cImageBuffer track_column;
    uint32_t frame_colour;
    cPostedValue<cPostedRange> posted_range;
};

#endif
