#ifndef GUI_TOOLTIP_OPENER_H
#define GUI_TOOLTIP_OPENER_H

class cChildElement;

// How the element base opens the tooltip of an element with a hint text.
// The tooltip element lives with the controls, which register its opener
// here; until one is registered, hovering opens nothing. UI thread only.

// Opens a tooltip showing text for owner: the open tooltip element, which
// the owner keeps and destroys, or null when none could be opened.
typedef cChildElement* (*cTooltipOpener)(cChildElement* owner, const wchar_t* text);

// Null unregisters.
void set_tooltip_opener(cTooltipOpener opener);
cTooltipOpener get_tooltip_opener();

#endif
