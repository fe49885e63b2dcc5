#ifndef GUI_CONTROLS_CUSTOM_FORM_H
#define GUI_CONTROLS_CUSTOM_FORM_H

#include <stdint.h>

#include "gui/child_element.h"
#include "gui/controls/panel.h"

// The base of every dialog and application form: a root element with a
// themed frame (top band, sides, bottom band from theme images 0 to 7, and a
// size grip while the window can be resized) around an embedded client
// panel. Enter and Escape reach OnAccept and OnCancel before the focused
// control; OnStarted runs once on the UI thread after the window is up. The
// form names its catalog section with GetStringSection. Creating a form
// registers the tooltips of hint texts (cHintMaster). UI thread only.
class cCustomForm : public cChildElement {
public:
    // Frame flags: parts of the frame left undrawn.
    enum {
        frame_no_right = 1,  // right side and the middle of the bottom band
        frame_no_top = 2,    // top band
        frame_no_left = 4,   // left side and both bottom corners
    };

    cCustomForm();

    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    // The frame behind transparent children.
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void Layout() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // The frame with the form's top-left corner at (x, y).
    virtual void DrawFrame(cCanvas* canvas, int32_t x, int32_t y);
    // True when the form took its start; the base answers false.
    virtual bool OnStarted();
    // True when the key was taken (the framework dialogs end their run);
    // the base answers false.
    virtual bool OnCancel();
    virtual bool OnAccept();

    cPanelChild* GetClientPanel() { return &client_panel; }
    void SetFrameFlags(uint32_t flags) { frame_flags = flags; }

private:
    cPanelChild client_panel;
    int32_t top_band;
    int32_t bottom_band;
    uint32_t frame_flags;
};

#endif
