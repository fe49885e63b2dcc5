#ifndef TOOLS_INSTALL_UNINSTALLER_PAGE_H
#define TOOLS_INSTALL_UNINSTALLER_PAGE_H

#include <stdint.h>

#include "tools/install/job_panel.h"
#include "tools/shell/older_products.h"

// The wizard's removal of older products: runs the uninstall command of
// each entry of the list whose run flag is set, one after the other, on the
// page's job thread, one step per entry. An entry whose command ended with
// 0 leaves the list; the others stay with their result (-1: it did not
// start). The list is the job's while the job runs.
class cSoftUninstallerPanel : public cJobPanel {
public:
    cSoftUninstallerPanel();
    ~cSoftUninstallerPanel() override;

    // UI thread. False for an empty list, and when the job cannot start;
    // then every entry to run carries the result -1.
    bool Start(cOlderProductList* older_products);

    // Job thread: answers 0.
    uint32_t Run() override;

private:
    cOlderProductList* list;
};

// Marks every entry that was to run as failed to start (result -1).
void mark_older_products_failed(cOlderProductList& list);

#endif
