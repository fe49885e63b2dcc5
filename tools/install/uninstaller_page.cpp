#include "tools/install/uninstaller_page.h"

#include "tools/install/uninstall_command.h"

cSoftUninstallerPanel::cSoftUninstallerPanel() : list(nullptr) {}

cSoftUninstallerPanel::~cSoftUninstallerPanel()
{
    Stop(4000);
}

void mark_older_products_failed(cOlderProductList& list)
{
    for (cOlderProduct* entry = list.first; entry; entry = entry->next)
        if (entry->run)
            entry->result = -1;
}

bool cSoftUninstallerPanel::Start(cOlderProductList* older_products)
{
    int32_t count = 0;
    for (cOlderProduct* entry = older_products ? older_products->first : nullptr; entry; entry = entry->next)
        ++count;
    if (count == 0)
        return false;
    list = older_products;
    if (captions.Count() != count)
        captions.Resize(count);
    bool named = captions.Count() == count;
    int32_t index = 0;
    for (cOlderProduct* entry = list->first; named && entry; entry = entry->next)
        captions[index++].Assign(entry->name.Text());
    if (named && cJob::Start())
        return true;
    mark_older_products_failed(*list);
    return false;
}

uint32_t cSoftUninstallerPanel::Run()
{
    int32_t index = 0;
    for (cOlderProduct* entry = list->first, *next = nullptr; entry; entry = next, ++index) {
        next = entry->next;
        SelectStep(index);
        if (!entry->run)
            continue;
        entry->result = run_uninstall_command(entry->command.Text(), this);
        if (entry->result == 0)
            uninstall_list_remove(*list, entry);
        Notify(100.0);
    }
    return 0;
}
