#ifndef GUI_CONTROLS_NAVIGATION_BAR_H
#define GUI_CONTROLS_NAVIGATION_BAR_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "gui/child_element.h"
#include "gui/controls/combo_box.h"
#include "gui/controls/navigation_provider.h"
#include "gui/controls/progress_child.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

// A path bar 22 pixels high: a history button and one button per path
// segment ("C:", "Users", "me"); a click on a segment navigates to the path
// up to it. The history button, or a press on the bar beside the buttons,
// turns the bar into an editable list of the paths visited, newest first,
// where a path can also be typed. A navigation runs through the provider
// (not owned) under a simulated busy animation; without a provider the bar
// posts the path to its parent as a cNaviSetPathAction. When a navigation
// ends the parent gets a cNaviSetPathAction with a null path and ends the
// busy state by sending the bar a plain code-9 action. The provider's owner
// stops it before the bar goes. UI thread, except
// the provider's and the simulator's threads, which reach the bar only
// through its sent queue.
class cNavigationChild : public cChildElement {
public:
    enum { state_idle = 0, state_editing = 1, state_navigating = 2 };

    // Code 6: the path to show (a copy); null = the navigation finished.
    class cNaviSetPathAction : public cChildAction {
    public:
        explicit cNaviSetPathAction(const wchar_t* new_path) : cChildAction(6), path(new_path) {}
        _guardchar<wchar_t> path;
    };
    // Code 7, from the provider: its result.
    class cNaviDoneAction : public cChildAction {
    public:
        explicit cNaviDoneAction(uint32_t navigation_result) : cChildAction(7), result(navigation_result) {}
        uint32_t result;
    };
    // Code 8, from the simulator: 0 starts the animation, 1 ends it, values
    // between move it (out of 1).
    class cNaviFakeProgressRecvAction : public cChildAction {
    public:
        explicit cNaviFakeProgressRecvAction(double progress) : cChildAction(8), value(progress) {}
        double value;
    };

    // A segment button's caption and the path it leads to.
    struct cSegment {
        _guardchar<wchar_t> text;
        _guardchar<wchar_t> path;
    };

    cNavigationChild();
    ~cNavigationChild() override;

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void InitDefaults() override;

    void SetProvider(cNavigationProvider* new_provider) { provider = new_provider; }
    // True when the navigation began: the provider accepted the path (or
    // there is none), the bar shows it and is busy.
    bool Navigate(const wchar_t* path);
    // Shows the path (null: none; it is then not kept in the history);
    // true.
    bool ShowPath(const wchar_t* path);
    uint32_t GetState() const { return state; }
    // Null while no path is shown.
    const wchar_t* GetPath() const { return current_path.Text(); }
    // The record of a segment button (ids from 1); null for another id.
    const cSegment* GetSegment(int32_t id) const { return tree_find_value(segments, id); }
    void SetProgressColour(uint32_t colour, bool redraw);
    // Leaves the busy (or editing) state: the buttons take input again.
    void EndProgress();

private:
    void BuildSegments();
    bool AddSegment(int32_t id, const wchar_t* segment_text, int32_t text_length, const wchar_t* full_path,
                    int32_t path_length);
    void AddToHistory(const wchar_t* path);
    void BeginProgress();
    void OpenHistory();
    void OnProgressValue(double value);

    cToolBarChild buttons;  // a child of the progress bar
    cProgressChild progress;
    cComboBoxChild edit_list;
    bool show_root;
    cTreeMap<int32_t, _guardchar<wchar_t>> history_by_number;
    cTreeMap<cPackedKey, int32_t> history_by_path;
    _guardchar<wchar_t> current_path;
    cFakeNavigationProgressJob simulator;
    cNavigationProvider* provider;
    cTreeMap<int32_t, cSegment> segments;  // by button id
    uint32_t state;

    // Shared by every bar: the button images of visual states 0 and 1.
    static cImageCache normal_images;
    static cImageCache pressed_images;
};

#endif
