#ifndef TESTS_GUI_DIALOGS_DIALOG_RUNS_H
#define TESTS_GUI_DIALOGS_DIALOG_RUNS_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/catalog.h"
#include "gui/language.h"
#include "tests/gui/controls/form_window.h"

// The framework's dialogs run over a running form, one after the other,
// each answered by the test once its window is up.

// The form whose client panel owns the dialogs.
class cOwnerForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

protected:
    bool Logs(cChildElement*) override { return false; }
};

// What a dialog's window showed when it was answered.
struct cShown {
    std::wstring title;
    int width = 0;
    int height = 0;
};

// The time a dialog's window gets to come up, and the bound of its run,
// after which it is closed whatever happens.
const UINT answer_delay_ms = 400;
const UINT give_up_ms = 10000;

// The dialog's window while one runs over the owner: the active window
// when it is not the owner's.
inline HWND dialog_over(cChildElement* owner)
{
    HWND active = GetActiveWindow();
    return active != GetAncestor(host_of(owner), GA_ROOT) ? active : nullptr;
}

// Runs a dialog through show, which answers the dialog's result; answer
// gets its window once it is up.
inline int run_dialog_over(cChildElement* owner, const std::function<int()>& show,
                           const std::function<void(HWND)>& answer, cShown* shown)
{
    static int serial = 0;
    int this_run = ++serial;
    run_later(answer_delay_ms, [=]() {
        HWND dialog = dialog_over(owner);
        if (!dialog)
            return;
        wchar_t title[100] = {};
        GetWindowTextW(dialog, title, 100);
        RECT client = {};
        GetClientRect(dialog, &client);
        *shown = cShown{title, int(client.right), int(client.bottom)};
        answer(dialog);
    });
    run_later(give_up_ms, [=]() {
        if (serial == this_run && dialog_over(owner))
            PostMessageW(dialog_over(owner), WM_CLOSE, 0, 0);
    });
    int result = show();
    ++serial;
    return result;
}

// Dialogs with their texts from the English catalog.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(set_language(0));
        window.step_gap_ms = cFormWindow::quick_step_gap_ms;
        window.maker.SetCatalog(get_global_catalog());
    }

    struct cOutcome {
        int result = -1;
        cShown shown;
    };

    // One dialog per case, in turn, over the panel of a running form:
    // shown by show, answered by answer.
    std::vector<cOutcome> RunDialogs(size_t count, const std::function<int(cChildElement*, size_t)>& show,
                                     const std::function<void(HWND, size_t)>& answer)
    {
        std::vector<cOutcome> outcomes(count);
        std::vector<uint32_t> log;
        cOwnerForm* form = new cOwnerForm(window, log);
        cSteps steps;
        for (size_t i = 0; i < count; ++i) {
            steps.push_back([&, i, form]() {
                cChildElement* owner = form->GetClientPanel();
                outcomes[i].result = run_dialog_over(
                    owner, [&, owner, i]() { return show(owner, i); }, [&, i](HWND dialog) { answer(dialog, i); },
                    &outcomes[i].shown);
            });
        }
        EXPECT_EQ(window.Run(form, 320, 200, steps), 1);
        return outcomes;
    }

    cCIOMLang framework_texts;
    cFormWindow window;
};

#endif
