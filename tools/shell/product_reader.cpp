#include "tools/shell/product_reader.h"

#include <string.h>

#include "base/app_config.h"
#include "base/buffers/typebuf.h"
#include "base/job.h"
#include "base/parallel_for.h"
#include "base/wait_bound.h"
#include "tools/shell/record_store.h"
#include "tools/shell/update_check.h"

#ifdef PRODUCT_READER_TEST_HOOK
#include <windows.h>
#endif

namespace {

#ifdef PRODUCT_READER_TEST_HOOK
// A test build stands in for a heap without room for the checks when
// PELMARO_TEST_NO_CHECK_MEMORY is set.
bool heap_refuses_checks()
{
    return GetEnvironmentVariableA("PELMARO_TEST_NO_CHECK_MEMORY", nullptr, 0) != 0;
}
#else
bool heap_refuses_checks()
{
    return false;
}
#endif

// The update checks of the listed products, run side by side within one
// bound.
struct cUpdateChecks {
    struct cCheck {
        const char* code_name;
        cInstalledProduct* product;
    };

    const char* server_address;
    const cWaitBound* bound;
    _typebuf<cCheck> checks;
};

void ask_update_server(void* context, uint32_t index)
{
    cUpdateChecks& all = *static_cast<cUpdateChecks*>(context);
    cUpdateChecks::cCheck& check = all.checks[int32_t(index)];
    cUpdateReply reply;
    if (!query_update_server_within(all.server_address, check.code_name, reply, *all.bound))
        return;
    cInstalledProduct& product = *check.product;
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
    cRecordNames names;
    list_record_names(*config, names);
    int32_t count = 0;
    for (cRecordNames::Node* node = names.first; node; node = node->next)
        ++count;
    // Without room for the checks the products are listed all the same,
    // without offers.
    cUpdateChecks all{server_address, nullptr, {}};
    all.checks.Resize(server_address && !heap_refuses_checks() ? count : 0);
    int32_t listed = 0;
    for (cRecordNames::Node* node = names.first; node; node = node->next) {
        if (job && job->IsStopRequested())
            return;
        uint64_t version = 0;
        if (!read_product_version(config, node->element.Text(), &version))
            continue;
        cInstalledProduct* product = list_append(products);
        if (!product)
            return;
        read_product_record(config, node->element.Text(), version, *product);
        if (all.checks.Data())
            all.checks[listed++] = {node->element.Text(), product};
    }
    // The checks share one time limit: however many wait for a turn, a
    // silent server holds the list for one limit, not one per turn.
    cWaitBound bound(update_check_time_limit_ms, job);
    all.bound = &bound;
    parallel_for_waits(uint32_t(listed), ask_update_server, &all);
}
