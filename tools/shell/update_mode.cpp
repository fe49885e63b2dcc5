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
#include "tools/shell/update_check.h"
#include "tools/shell/update_form.h"

namespace {

// Texts of "pkgm::updr".
enum {
    text_invalid_product = 0,
    text_no_answer = 1,
    text_up_to_date = 2,
};

uint32_t report(bool quiet, uint32_t kind, int32_t text, uint32_t exit_code)
{
    if (!quiet)
        run_message_form(kind, section_text(L"pkgm::updr", text));
    return exit_code;
}

}  // namespace

uint32_t run_update_mode(const wchar_t* code_name, bool quiet)
{
    _guardchar<char> code;
    str_from_wstr_utf8(code_name, -1, code);
    cApplicationConfig* config = get_current_config();
    // A '/' would reach into another product's record.
    if (code.IsEmpty() || strchr(code.Text(), '/') || !config)
        return report(quiet, RESPONSE_ERROR, text_invalid_product, 1);
    uint64_t installed = 0;
    if (!read_product_version(config, code.Text(), &installed))
        return report(quiet, RESPONSE_ERROR, text_invalid_product, 1);

    cUpdateInfo info;
    _guardchar<char> key;
    cApplicationConfig* holder = record_holder_of(config, code.Text(), key);
    if (holder)
        cRecordReader(*holder, key.Text()).ReadText(record_name, info.product_name);
    cUpdateReply reply;
    if (!query_update_server(code.Text(), reply))
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
