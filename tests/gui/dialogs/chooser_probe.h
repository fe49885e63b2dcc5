#ifndef TESTS_GUI_DIALOGS_CHOOSER_PROBE_H
#define TESTS_GUI_DIALOGS_CHOOSER_PROBE_H

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "gui/dialogs/file_choose_dialog.h"
#include "gui/dialogs/folder_choose_dialog.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"
#include "tests/support/artifacts.h"

// Helpers of the chooser tests: the window a nested dialog runs in, and a
// screenshot of a dialog kept as an artefact.

// The active window's title when it is not the window of `over`'s run
// (a nested message or name form is up); empty otherwise.
inline std::wstring nested_dialog_title(cChildElement* over)
{
    HWND active = GetActiveWindow();
    if (!active || active == GetAncestor(host_of(over), GA_ROOT))
        return L"";
    wchar_t title[100] = {};
    GetWindowTextW(active, title, 100);
    return title[0] ? title : L"(untitled)";
}

// A message is up over the chooser: a nested window other than the form
// that asks for a new folder's name.
inline bool nested_message_up(cChildElement* over)
{
    std::wstring title = nested_dialog_title(over);
    return !title.empty() && title != L"Enter new folder name";
}

// The steps of a new folder: click opens the form that asks for the name,
// which gets it typed and Enter; when a message is to follow, it is
// answered with Enter too. The title of each nested window goes to
// titles; the steps end when the chooser is alone again.
inline std::vector<cFormWindow::cStep> new_folder_steps(cFormWindow& runner, cChildElement* chooser,
                                                        std::function<void()> click, std::wstring name,
                                                        bool message, std::vector<std::wstring>* titles)
{
    std::vector<cFormWindow::cStep> steps{
        click, runner.WaitUntil([chooser]() { return !nested_dialog_title(chooser).empty(); }),
        [=]() {
            titles->push_back(nested_dialog_title(chooser));
            cFormWindow::TypeText(name.c_str());
            cFormWindow::Press(VK_RETURN);
        }};
    if (message)
        steps.insert(steps.end(), {runner.WaitUntil([chooser]() { return nested_message_up(chooser); }), [=]() {
                                       titles->push_back(nested_dialog_title(chooser));
                                       cFormWindow::Press(VK_RETURN);
                                   }});
    steps.push_back(runner.WaitUntil([chooser]() { return nested_dialog_title(chooser).empty(); }));
    return steps;
}

// The dialog's client area as it shows now, saved as artifacts/<name>.
inline void keep_screenshot(cChildElement* dialog, const char* name)
{
    cSize size = dialog->GetSize();
    std::vector<uint32_t> pixels = cFormWindow::Pixels(dialog, 0, 0, size.width, size.height);
    std::string png = png_of(size.width, size.height, pixels);
    keep_artifact(name, png.data(), png.size());
}

// A dialog that starts its form window's script once it runs.
template <class Dialog>
class cScripted : public Dialog {
public:
    template <class... Args>
    cScripted(cFormWindow& runner, Args... args) : Dialog(args...), window(runner)
    {
    }
    bool OnStarted() override
    {
        window.Start();
        return true;
    }

private:
    cFormWindow& window;
};

// The file chooser with its parts reachable by the test.
class cFileChooserProbe : public cScripted<cFileChooseDialog> {
public:
    struct cRow {
        std::wstring date, type, size;
        bool operator==(const cRow& other) const
        {
            return date == other.date && type == other.type && size == other.size;
        }
    };

    cFileChooserProbe(cFormWindow& runner, cFileChooseOptions* options, cFileChooseListFolder* lister = nullptr)
        : cScripted(runner, options, lister)
    {
    }

    bool Idle() { return !IsBusy() && bar.GetState() == cNavigationChild::state_idle; }
    std::wstring BarPath() { return bar.GetPath() ? bar.GetPath() : L""; }
    std::wstring LastSegment()
    {
        const cNavigationChild::cSegment* last = nullptr;
        for (int32_t id = 1; bar.GetSegment(id); ++id)
            last = bar.GetSegment(id);
        return last ? last->text.Text() : L"";
    }
    std::wstring FieldText() { return cFormWindow::Text(&name_field); }
    std::wstring FilterText() { return cFormWindow::Text(&filter_list); }

    // The rows by their name cell.
    std::map<std::wstring, cRow> Rows()
    {
        std::map<std::wstring, cRow> rows;
        auto text = [this](int32_t row, int32_t column) {
            cListViewChild::cCell* cell = list.GetCellRecord(row, column);
            return std::wstring(cell && cell->text.Text() ? cell->text.Text() : L"");
        };
        for (int32_t row = 0; row < 200; ++row)
            if (list.GetCellRecord(row, 1))
                rows[text(row, 1)] = cRow{text(row, 2), text(row, 3), text(row, 4)};
        return rows;
    }

    // Top buttons 1 Home, 2 Places, 3 New folder, laid out from the left.
    void ClickTopButton(int32_t id)
    {
        const uint32_t images[] = {82, 83, 84};
        int32_t x = 0;
        for (int32_t before = 1; before < id; ++before)
            x += cButtonChild::MeasureWidth(&top_buttons, LookupString(3 + before), theme_image(images[before - 1]),
                                            0, nullptr);
        cFormWindow::ClickAt(&top_buttons, x + 8, 8);
    }
    // Steps that walk the list with the keyboard from its first row (the
    // list has the focus), noting each current row's name: the order the
    // list shows its rows in.
    std::vector<cFormWindow::cStep> ReadOrder(std::vector<std::wstring>* names, size_t count)
    {
        std::vector<cFormWindow::cStep> steps{[names]() {
            names->clear();
            cFormWindow::Press(VK_HOME);
        }};
        for (size_t i = 0; i < count; ++i)
            steps.push_back([this, names]() {
                cListViewChild::cCell* cell = list.GetCellRecord(list.GetCurrentRow(), 1);
                names->push_back(cell && cell->text.Text() ? cell->text.Text() : L"?");
                cFormWindow::Press(VK_DOWN);
            });
        return steps;
    }
    // A click on the header's button of the column (1 Name ... 4 Size).
    void ClickColumn(int32_t id)
    {
        cHeaderChild* header = list.GetHeader();
        int32_t x = 0;
        for (int32_t before = 1; before < id; ++before)
            x += header->GetColumnWidth(before) + cSplitterChild::bar_width;
        cFormWindow::ClickAt(header, x + 10, 5);
    }
    void ClickField() { cFormWindow::ClickAt(&name_field, 5, 5); }
    void ClickList(int32_t x, int32_t y) { cFormWindow::ClickAt(&list, x, y); }
};

// The folder chooser with its tree's content reachable by the test.
class cFolderChooserProbe : public cScripted<cFolderChooseDialog> {
public:
    cFolderChooserProbe(cFormWindow& runner, _guardchar<wchar_t>* result_text) : cScripted(runner, result_text) {}

    // The item of that path ("" the root), searched through the whole tree.
    const cTreeFoldersContentItem* Find(const std::wstring& path) { return FindFrom(path, contents.first_root); }
    // The texts of its children's rows, sorted; "?" when there is no item.
    std::vector<std::wstring> Children(const std::wstring& path)
    {
        const cTreeFoldersContentItem* item = Find(path);
        if (!item)
            return {L"?"};
        std::vector<std::wstring> texts;
        for (const cTreeItem* child = item->first_child; child; child = child->next)
            texts.push_back(static_cast<const cTreeFoldersContentItem*>(child)->row->text.Text());
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    std::wstring CurrentPath() { return current && current->path.Text() ? current->path.Text() : L""; }
    std::wstring FieldText() { return cFormWindow::Text(&path_field); }
    // The item's row lies inside the tree's view (the scrolling taken off,
    // the bars left out; its last line may lie under the tree's bottom
    // border), and the screen shows the fill colour there.
    bool RowShownIn(const std::wstring& path, uint32_t fill)
    {
        const cTreeFoldersContentItem* item = Find(path);
        if (!item || !item->row->label)
            return false;
        cRect row = item->row->label->GetBounds();
        cRect view = tree.GetClientRect();
        int32_t top = row.y - tree.GetScrollOffsetY();
        if (top < view.y || top + row.height - 1 > view.y + view.height)
            return false;
        // The row's middle line as the tree shows it there.
        cPoint origin{0, 0};
        tree.GetScreenPosition(&origin);
        POINT at{origin.x + row.x - tree.GetScrollOffsetX(), origin.y + top + row.height / 2};
        HWND window = host_of(&tree);
        ScreenToClient(window, &at);
        std::vector<uint32_t> line = window_pixels(window, at.x, at.y, row.width, 1);
        return std::count_if(line.begin(), line.end(), [fill](uint32_t pixel) {
                   return cFormWindow::swap_red_blue(pixel) == fill;
               }) > row.width / 4;
    }
    void ClickNewFolder() { cFormWindow::ClickAt(&top_buttons, 8, 8); }
    // A click on the row's label.
    void ClickRow(const std::wstring& path)
    {
        const cTreeFoldersContentItem* item = Find(path);
        if (item && item->row->label)
            cFormWindow::ClickAt(item->row->label, 4, 4);
    }

private:
    // Among the node, its siblings after it and all below them.
    static const cTreeFoldersContentItem* FindFrom(const std::wstring& path, const cTreeItem* node)
    {
        for (; node; node = node->next) {
            const cTreeFoldersContentItem* item = static_cast<const cTreeFoldersContentItem*>(node);
            if (path == (item->path.Text() ? item->path.Text() : L""))
                return item;
            if (const cTreeFoldersContentItem* inner = FindFrom(path, node->first_child))
                return inner;
        }
        return nullptr;
    }
};

#endif
