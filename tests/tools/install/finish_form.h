#ifndef TESTS_TOOLS_INSTALL_FINISH_FORM_H
#define TESTS_TOOLS_INSTALL_FINISH_FORM_H

#include "tests/gui/controls/form_window.h"
#include "tools/install/finish_page.h"

// The finish page alone on a form of the wizard's page size, run by a
// cFormWindow.
class cFinishForm : public cCustomForm {
public:
    explicit cFinishForm(cFormWindow& host) : window(host) {}
    void OnCreate() override
    {
        cCustomForm::OnCreate();
        GetClientPanel()->AddChild(&page, 0, 0, 410, 290);
    }
    bool OnStarted() override
    {
        window.Start();
        return true;
    }

    cFormWindow& window;
    cFinishPanel page;
};

#endif
