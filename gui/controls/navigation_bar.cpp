#include "gui/controls/navigation_bar.h"

#include <stdint.h>

#include "base/path.h"
#include "gui/theme.h"

namespace {

const int32_t bar_height = 22;
const int32_t progress_range = 1000;
const int32_t history_button = 0;
// Image indexes in the button caches, in the order the caches are filled.
const int32_t history_image = 0;
const int32_t segment_image = 1;

const uint32_t button_code = 6;      // a button clicked (from the buttons), a path chosen (edit list)
const uint32_t bar_press_code = 7;   // a press on the button row beside the buttons
const uint32_t escape_code = 7;      // Escape in the edit list
const uint32_t done_code = 7;        // the provider finished
const uint32_t progress_code = 8;    // a value of the simulator
const uint32_t end_progress_code = 9;

}  // namespace

cImageCache cNavigationChild::normal_images;
cImageCache cNavigationChild::pressed_images;

cNavigationChild::cNavigationChild()
    : show_root(true), history_by_number(512), history_by_path(1024), provider(nullptr), segments(512),
      state(state_idle)
{
}

cNavigationChild::~cNavigationChild()
{
    simulator.Stop(4000);
}

void cNavigationChild::InitDefaults()
{
    provider = nullptr;
    cChildElement::InitDefaults();
    state = state_idle;
    SetMinSize(0, bar_height);
    SetMaxSize(INT32_MAX, bar_height);
    InsertChild(&edit_list, 0, 0, 1, 1, 0);
    AddChild(&edit_list, 0, 0, -1, -1);
    edit_list.DisablePainting(true);
    InsertChild(&progress, 0, 0, 1, 1, 0);
    AddChild(&progress, 0, 0, -1, -1);
    progress.SetRange(progress_range);
    progress.InsertChild(&buttons, 0, 0, 1, 1, 0);
    buttons.SetTransparent(true);
    progress.AddChild(&buttons, 0, 0, -1, -1);
    show_root = true;
    // By image index: the history button's image, a segment's.
    const uint32_t normal[] = {48, 145};
    const uint32_t pressed[] = {48, 146};
    theme_fill_cache(&normal_images, normal, 2);
    theme_fill_cache(&pressed_images, pressed, 2);
    buttons.SetStateImageCache(0, &normal_images);
    buttons.SetStateImageCache(1, &pressed_images);
    // The history button stays at the left when the segments overflow.
    buttons.SetOverflowMode(cToolBarChild::overflow_keep_last);
    buttons.SetPinnedIdLimit(1);
    tree_clear(history_by_number);
    tree_clear(history_by_path);
}

bool cNavigationChild::Navigate(const wchar_t* path)
{
    if (provider) {
        if (!provider->CanNavigate(path) || !provider->Start(this, path))
            return false;
    } else {
        PostAction(new cNaviSetPathAction(path));
    }
    ShowPath(path);
    BeginProgress();
    return true;
}

bool cNavigationChild::ShowPath(const wchar_t* path)
{
    // The path may be one of the bar's own texts, which the rebuild frees.
    _guardchar<wchar_t> shown(path);
    current_path.Swap(shown);
    if (current_path.Text())
        AddToHistory(current_path.Text());
    BuildSegments();
    return true;
}

bool cNavigationChild::AddSegment(int32_t id, const wchar_t* segment_text, int32_t text_length,
                                  const wchar_t* full_path, int32_t path_length)
{
    cSegment* segment = tree_get_or_add(segments, id);
    if (!segment)
        return false;
    segment->text.AssignN(segment_text, text_length);
    segment->path.AssignN(full_path, path_length);
    return true;
}

void cNavigationChild::BuildSegments()
{
    buttons.RemoveAllButtons(false);
    tree_clear(segments);
    const wchar_t* path = current_path.Text();
    if (!path) {
        Redraw(nullptr);
        return;
    }
    int32_t id = 1;
    const wchar_t* at = path;
    if (*at == L'/') {
        if (show_root)
            AddSegment(1, L"/", 1, L"/", 1);
        while (*at == L'/')
            ++at;
        id = 2;
    }
    while (*at) {
        const wchar_t* end = at;
        while (*end && *end != L'/')
            ++end;
        AddSegment(id++, at, int32_t(end - at), path, int32_t(end - path));
        at = end;
        while (*at == L'/')
            ++at;
    }
    buttons.SetButton(history_button, L"", history_image);
    for (cTreeNode<int32_t, cSegment>* node = tree_first_node(segments); node; node = tree_next_node(node))
        buttons.SetButton(node->key, node->value.text.Text(), segment_image);
    Redraw(nullptr);
}

void cNavigationChild::AddToHistory(const wchar_t* path)
{
    cPackedKey key;
    packedkey_from_wstr(key, path, -1);
    if (cTreeNode<cPackedKey, int32_t>* old = tree_find_node(history_by_path, key)) {
        tree_erase_node(history_by_number, tree_find_node(history_by_number, old->value));
        tree_erase_node(history_by_path, old);
    }
    int32_t number = tree_next_free_int(history_by_number);
    _guardchar<wchar_t>* entry = tree_get_or_add(history_by_number, number);
    if (!entry)
        return;
    int32_t* by_path = tree_get_or_add(history_by_path, key);
    if (!by_path) {
        tree_erase_node(history_by_number, tree_find_node(history_by_number, number));
        return;
    }
    entry->Assign(path);
    *by_path = number;
}

void cNavigationChild::BeginProgress()
{
    state = state_navigating;
    progress.EnablePainting(false);
    edit_list.DisablePainting(true);
    // Still painted, in the disabled look, and taking no input.
    buttons.Hide(true);
    simulator.SetTarget(this);
    simulator.SetPosition(0.0);
    if (!simulator.IsRunning())
        simulator.Start();
}

void cNavigationChild::EndProgress()
{
    state = state_idle;
    simulator.SetPosition(-1.0);
    SendAction(new cNaviFakeProgressRecvAction(1.0));
    edit_list.DisablePainting(false);
    buttons.Show();
    progress.EnablePainting(true);
}

void cNavigationChild::SetProgressColour(uint32_t colour, bool redraw)
{
    progress.SetBackgroundColour(colour, redraw);
}

void cNavigationChild::OpenHistory()
{
    state = state_editing;
    progress.DisablePainting(false);
    edit_list.ClearItems();
    int32_t count = 0;
    for (cTreeNode<int32_t, _guardchar<wchar_t>>* node = tree_first_node(history_by_number); node;
         node = tree_next_node(node))
        ++count;
    // Newest (highest number) first.
    int32_t item = count;
    for (cTreeNode<int32_t, _guardchar<wchar_t>>* node = tree_first_node(history_by_number); node;
         node = tree_next_node(node))
        edit_list.SetItem(--item, node->value.Text(), 0, -1);
    if (current_path.Text())
        edit_list.Select(0, false);
    edit_list.EnablePainting(true);
    edit_list.TakeFocus();
}

void cNavigationChild::OnProgressValue(double value)
{
    if (value == 1.0) {
        progress.Stop(false);
        return;
    }
    // A value the simulator computed before the navigation ended may arrive
    // after the final one: it must not start the animation again.
    if (state != state_navigating)
        return;
    if (value == 0.0)
        progress.Start();
    else
        progress.SetPosition(int32_t(value * progress_range), false);
}

bool cNavigationChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &buttons) {
        if (action->code == button_code) {
            int32_t id = static_cast<cToolBarChild::cTbButtonAction*>(action)->id;
            if (id == history_button) {
                OpenHistory();
                return true;
            }
            const cSegment* segment = GetSegment(id);
            if (segment) {
                // The navigation rebuilds the segments.
                _guardchar<wchar_t> path(segment->path.Text());
                Navigate(path.Text());
            }
            return true;
        }
        if (action->code == bar_press_code) {
            OpenHistory();
            return true;
        }
    } else if (sender == this) {
        if (action->code == done_code) {
            PostAction(new cNaviSetPathAction(nullptr));
            return true;
        }
        if (action->code == progress_code) {
            OnProgressValue(static_cast<cNaviFakeProgressRecvAction*>(action)->value);
            return true;
        }
        if (action->code == end_progress_code) {
            EndProgress();
            return true;
        }
    } else if (sender == &edit_list) {
        if (action->code == button_code) {
            _guardchar<wchar_t> path(edit_list.GetTextPtr());
            if (path.Text()) {
                path_from_native(path.Buffer());
                Navigate(path.Text());
            }
            return true;
        }
        if (action->code == escape_code) {
            EndProgress();
            return true;
        }
    }
    return cChildElement::HandleAction(sender, action);
}
