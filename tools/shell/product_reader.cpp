#include "tools/shell/product_reader.h"

#include <string.h>

#include "base/app_config.h"
#include "base/job.h"
#include "tools/shell/update_check.h"

namespace {

typedef cLinkedList<_guardchar<char>> cNameList;

bool is_listed(const cNameList& names, const char* name)
{
    for (const cNameList::Node* node = names.first; node; node = node->next)
        if (strcmp(node->element.Text(), name) == 0)
            return true;
    return false;
}

// Enumeration callback: each child name of "install" once.
bool collect_name(const char* name, void* context)
{
    cNameList& names = *static_cast<cNameList*>(context);
    if (name && name[0] && !is_listed(names, name)) {
        _guardchar<char>* slot = list_append(names);
        if (slot)
            slot->Assign(name);
    }
    return true;
}

void ask_update_server(const char* server_address, const char* code_name, const cJob* job,
                       cInstalledProduct& product)
{
    cUpdateReply reply;
    if (!query_update_server_at(server_address, code_name, reply, job))
        return;
    product.offered_version = reply.version;
    product.installer_address.Swap(reply.installer_address);
    product.web_page.Swap(reply.web_page);
    product.notes.Swap(reply.notes);
}

}  // namespace

void read_installed_products(cApplicationConfig* config, const char* server_address, const cJob* job,
                             cProductList& products)
{
    if (!config)
        return;
    cNameList names;
    config->EnumChildren("install", collect_name, &names);
    for (cNameList::Node* node = names.first; node; node = node->next) {
        if (job && job->IsStopRequested())
            return;
        uint64_t version = 0;
        if (!read_product_version(config, node->element.Text(), &version))
            continue;
        cInstalledProduct* product = list_append(products);
        if (!product)
            return;
        read_product_record(config, node->element.Text(), version, *product);
        if (server_address)
            ask_update_server(server_address, node->element.Text(), job, *product);
    }
}
