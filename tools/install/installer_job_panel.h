#ifndef TOOLS_INSTALL_INSTALLER_JOB_PANEL_H
#define TOOLS_INSTALL_INSTALLER_JOB_PANEL_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "tools/install/install_job.h"
#include "tools/install/job_panel.h"

class cInstallContext;

// The wizard's install page: runs the install job (run_install_job) over
// the context on its own thread, its step captions from "pkgm::instp" (and
// its text 7 while an accepted abort is put back). The
// job's question about a file held open goes to the asking element (the
// wizard) as a sent cAskReleaseAction and waits for the answer.
class cInstallerJobPanel : public cJobPanel {
public:
    // Code 8: a program holds path open. The receiver writes 0 through
    // answer to try again, 1 to give up.
    class cAskReleaseAction : public cSentChildAction {
    public:
        cAskReleaseAction(uint8_t* answer_byte, const wchar_t* file_path) : cSentChildAction(8), answer(answer_byte)
        {
            path.Assign(file_path);
        }
        uint8_t* answer;
        _guardchar<wchar_t> path;
    };

    cInstallerJobPanel();
    ~cInstallerJobPanel() override;

    const wchar_t* GetStringSection() override { return L"pkgm::instp"; }

    // UI thread: builds the captions and starts the job over the context;
    // asker answers the job's questions. False when the job cannot start
    // (no context, no captions, no thread); the context's status is then
    // INSTALL_STATUS_ABORTED, since nothing was installed.
    bool Start(cInstallContext* install_context, cChildElement* asker);

    // Job thread.
    uint32_t Run() override;

private:
    // The job's view of the page.
    class cHost : public cInstallJobHost {
    public:
        explicit cHost(cInstallerJobPanel& owner) : page(owner) {}
        bool Notify(double percent_done) override { return page.Notify(percent_done); }
        void SelectStep(int step) override { page.SelectStep(step); }
        void SelectLastStep() override { page.SelectLastStep(); }
        bool Commit() override { return page.Commit(); }
        bool AskRelease(const wchar_t* path) override;

    private:
        cInstallerJobPanel& page;
    };

    cHost host;
    cInstallContext* context;
    cChildElement* asking_element;
    // The texts the job uses, taken on the UI thread.
    _guardchar<wchar_t> manager_shortcut_name;
    _guardchar<wchar_t> manager_shortcut_group;
};

#endif
