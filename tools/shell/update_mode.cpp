#include "tools/shell/update_mode.h"

#include <string.h>

#include "base/app_config.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "gui/application.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/product_record.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"
#include "tools/shell/response_form.h"
#include "tools/shell/shown_names.h"
#include "tools/shell/store_fault_text.h"
#include "tools/shell/update_check.h"
#include "tools/shell/update_form.h"
#include "tools/shell/update_server.h"

namespace {

// Texts of "pkgm::updr".
enum {
    text_invalid_product = 0,
    text_no_answer = 1,
    text_up_to_date = 2,
    text_store_refused = 3,
    text_per_user_product = 4,
};

// Shows the text, its "%s" (where it has one) named, or for a store that
// keeps the check from telling what is installed the fault, unless quiet.
uint32_t report(bool quiet, uint32_t kind, int32_t text, uint32_t exit_code, const wchar_t* named = nullptr,
                const cStoreFault* fault = nullptr)
{
    _guardchar<wchar_t> message;
    if (fault)
        format_store_refusal(message, section_text(L"pkgm::updr", text), *fault);
    else
        format_catalog_text(message, section_text(L"pkgm::updr", text), named);
    if (!quiet)
        run_message_form(kind, message.Text());
    return exit_code;
}

}  // namespace

uint32_t run_update_mode(const wchar_t* code_name, bool quiet)
{
    _guardchar<char> code;
    str_from_wstr_utf8(code_name, -1, code);
    cApplicationConfig* config = get_current_config();
    // A store that cannot serve holds no product a check could be about.
    cStoreFault fault;
    if (run_store_refusal(config, &fault) != RECORD_STORE_NONE)
        return report(quiet, RESPONSE_ERROR, text_store_refused, 1, nullptr, &fault);
    // A '/' would reach into another product's record.
    _guardchar<char> key;
    cApplicationConfig* holder = nullptr;
    if (code.IsEmpty() || strchr(code.Text(), '/') || !config || !record_key_of(code.Text(), key))
        return report(quiet, RESPONSE_ERROR, text_invalid_product, 1);
    uint32_t held = find_record_store(*config, key.Text(), holder);
    if (held == RECORD_STORE_PER_USER_ONLY) {
        _guardchar<wchar_t> shown;
        escape_shown_name(code_name, shown);
        return report(quiet, RESPONSE_ERROR, text_per_user_product, 1, shown.Text());
    }
    // The store the run only reads may hold the product: nothing tells.
    if (held == RECORD_STORE_UNREAD && refused_store_fault(*config, key.Text(), held, fault))
        return report(quiet, RESPONSE_ERROR, text_store_refused, 1, nullptr, &fault);
    uint64_t installed = 0;
    if (!read_product_version(config, code.Text(), &installed))
        return report(quiet, RESPONSE_ERROR, text_invalid_product, 1);

    cUpdateInfo info;
    if (holder)
        cRecordReader(*holder, key.Text()).ReadText(record_name, info.product_name);
    // The server an administrator chose, or none at all.
    _guardchar<char> server;
    if (!get_update_server_address(config, server, &fault))
        return report(quiet, RESPONSE_ERROR, text_store_refused, 1, nullptr, &fault);
    cUpdateReply reply;
    if (!query_update_server_at(server.Text(), code.Text(), reply, nullptr))
        return report(quiet, RESPONSE_ERROR, text_no_answer, 1);
    if (reply.version <= installed)
        return report(quiet, RESPONSE_INFORMATION, text_up_to_date, 0);

    format_packed_version(reply.version, info.version);
    info.installer_address.Swap(reply.installer_address);
    info.web_page.Swap(reply.web_page);
    info.notes.Swap(reply.notes);
    show_update_info_form(&info, nullptr);
    return 0;
}
