#ifndef GUI_DIALOGS_DIALOG_PARTS_H
#define GUI_DIALOGS_DIALOG_PARTS_H

#include <stdint.h>

#include "gui/controls/custom_form.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

// Pieces that the framework's dialogs share: their rows of buttons and
// the choosers' context menu.

// The ids of the answer buttons: the first accepts, the second cancels.
enum { dialog_accept_button = 1, dialog_cancel_button = 2 };

// An answer button of a framework dialog: its id in the row, the number of
// its caption in the dialog's catalog section and its image in the cache.
struct cDialogButton {
    int32_t id;
    int32_t caption;
    int32_t image;
};

// Adds the row of answer buttons to the form where every framework dialog
// has it: transparent, at the bottom right of the frame, as wide as its
// buttons and as high as theme metric 7, theme metrics 9 and 8 from the
// right and bottom edges. The cache (not owned) gives the images of visual
// state 0.
void add_dialog_buttons(cChildElement* form, cToolBarChild* row, cImageCache* cache, const cDialogButton* buttons,
                        int32_t count);

// Adds a row for the form's tool buttons in the top band of its frame,
// transparent, with the cache's images of visual state 0; the caller adds
// the buttons.
void add_dialog_tool_row(cChildElement* form, cToolBarChild* row, cImageCache* cache);

// The row's answers: a click on button 1 runs the form's OnAccept, on
// button 2 its OnCancel; other actions are left alone. The caller still
// hands the action to the form base.
void answer_dialog_button(cCustomForm* form, cToolBarChild* row, cChildElement* sender,
                          cChildElement::cChildAction* action);

// The choosers' context menu: one entry with the text, opened at the
// point (x, y) of the owner (at least 100 wide, black on white, the
// owner's font). True when the entry was chosen.
bool choose_menu_entry(cChildElement* owner, const wchar_t* text, int32_t x, int32_t y);

#endif
