#include "tools/shell/manager_window.h"

#include "base/app_config.h"
#include "base/process_launch.h"
#include "gui/application.h"
#include "gui/canvas.h"
#include "gui/controls/button.h"
#include "gui/language.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/product_reader.h"
#include "tools/shell/record_store.h"
#include "tools/shell/response_form.h"
#include "tools/shell/shown_names.h"
#include "tools/shell/store_fault_text.h"
#include "tools/shell/update_address.h"
#include "tools/shell/update_form.h"
#include "tools/shell/update_server.h"

namespace {

// Texts of "pkgm::softm".
enum {
    text_title = 0,
    text_tab = 1,
    text_name_column = 2,
    text_installed_column = 3,
    text_version_column = 4,
    text_update = 5,
    text_uninstall = 6,
    text_version_line = 7,
    text_date_line = 8,
    text_publisher = 9,
    text_support = 10,
    text_updates = 11,
    text_refresh = 12,
    text_no_products = 13,
    text_checking = 15,
    text_update_available = 16,
    text_remove = 17,
    text_per_user_products = 18,
    text_store_refused = 19,
    text_more_products = 20,
    text_store_unlisted = 21,
    text_no_update_checks = 22,
};

enum { column_name = 1, column_date = 2, column_version = 3, column_offer = 4 };

// Actions the form receives.
const uint32_t click_action = 0;
const uint32_t reader_done_action = 6;
const uint32_t language_switched_action = 6;
const uint32_t row_activated_action = 6;
const uint32_t row_changed_action = 7;
const intptr_t rebuild_result = 10;

const uint32_t white = 0xFFFFFF;
const uint32_t dark_text = 0x734D32;
const uint32_t light_text = 0xB9AA9C;
const uint32_t link_colour = 0xC98C2F;
const uint32_t frame_colour = 0xE4E0DC;
const int32_t launch_links_top = 115;
const int32_t url_links_top = 70;

}  // namespace

uint32_t cPelmaroForm::cConfigReaderJob::Run()
{
    cListViewChild& list = form->list;
    list.Clear();
    list_clear(form->products);
    form->product_count = 0;
    form->per_user_products.Clear();
    form->server_fault.kind = CFG_FAULT_NONE;
    // The window stays open as long as the user likes: what it lists is
    // what the disk holds now, judged afresh.
    cApplicationConfig* config = get_current_config();
    rejudge_stores(config);
    _guardchar<char> server;
    bool checks = get_update_server_address(config, server, &form->server_fault);
    read_installed_products(config, checks ? server.Text() : nullptr, this, form->products);
    cRecordNames left;
    if (config)
        list_per_user_products(*config, left);
    // Asked once every record was read: a read that failed on the way
    // leaves a list that cannot be told from a shorter one.
    if (run_store_refusal(config, &form->refusal, true) != RECORD_STORE_NONE) {
        list_clear(form->products);
        return 0;
    }
    form->refusal.kind = CFG_FAULT_NONE;
    join_shown_names(left, L", ", form->more_text, form->per_user_products);

    const wchar_t* offer = form->offer_text;
    for (cProductList::Node* node = form->products.first; node; node = node->next) {
        const cInstalledProduct& product = node->element;
        int32_t row = form->product_count++;
        int16_t icon = row <= INT16_MAX ? int16_t(row) : -1;
        list.SetCell(row, column_name, product.name.Text() ? product.name.Text() : L"", icon, 0);
        list.SetCell(row, column_date, product.install_date.Text() ? product.install_date.Text() : L"", -1, 0);
        list.SetCell(row, column_version, product.version_text.Text(), -1, 0);
        list.SetCell(row, column_offer, product.HasUpdate() && offer ? offer : L"", -1, 0);
    }
    return 0;
}

void cPelmaroForm::cConfigReaderJob::OnFinish(uint32_t)
{
    if (cChildAction* done = new cChildAction(reader_done_action))
        form->PostAction(done);
}

cPelmaroForm::cPelmaroForm(const cManagerCommands* manager_commands)
    : reader(this), commands(manager_commands), shown(nullptr), product_count(0), reading(false),
      offer_text(nullptr), more_text(nullptr)
{
}

cPelmaroForm::~cPelmaroForm()
{
    // The reader writes into the list, the list view and the products: it
    // ends before any of them goes.
    reader.Stop(4000);
}

void cPelmaroForm::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, white, white);
}

void cPelmaroForm::OnCreate()
{
    cChildElement::OnCreate();
    const wchar_t* face = get_ui_font_face_name();
    cSize size{0, 0};
    cFontObject* tab_font = GetFont(6, 17, face, false, false, false);
    const wchar_t* tab_text = LookupString(text_tab);
    if (!tab_text || !MeasureText(tab_text, &size, tab_font))
        size.width = 0;
    AddChild(&tab, 45, 25, size.width + 38, 25);
    tab.SetText(tab_text, -1, false);
    tab.SetSelected(true, false);
    AddChild(&language_switch, -71, 25, 25, 25);

    LayOutLists();
    LayOutDetails();

    remove_link.SetText(LookupString(text_remove), -1, false);
    AddChild(&remove_link, 45, 0, 0, 0);
    remove_link.SetColours(link_colour, white, white);
    remove_link.SetFont(GetFont(6, 14, face, true, true, false));
    size = cSize{0, 0};
    remove_link.GetPreferredSize(&size);
    AddChild(&remove_link, 45, (30 - size.height) / 2 - 40, size.width, size.height);
    remove_link.DisablePainting(false);

    AddChild(&refresh_button, -161, -40, 114, 30);
    refresh_button.SetText(LookupString(text_refresh), -1, false);
    refresh_button.SetColours(0xE2A74E, 0xC98C2F, white, 0xEAD3B0);
    Refresh();
}

void cPelmaroForm::LayOutLists()
{
    AddChild(&list_frame, 45, 70, -91, 180);
    list_frame.SetBackgroundColour(white);
    list_frame.SetFrameColour(frame_colour);
    list_frame.AddChild(&list, 5, 5, -11, -11);
    list.SetFrameColour(white, false);
    list.SetRowSpacing(10);
    list.SetCellPadding(3, false);
    list.SetFullRowSelect(true, false);
    list.SetRowColours(0xF7EEE1, 0xF7EEE1, false);
    list.SetIconCaches(&icons, nullptr, nullptr);
    cFontObject* name_font = GetFont(6, 14, get_ui_font_face_name(), true, false, false);
    struct {
        int32_t id;
        int32_t title;
        int32_t width;
        uint32_t colour;
    } columns[] = {
        {column_name, text_name_column, 310, dark_text},
        {column_date, text_installed_column, 100, light_text},
        {column_version, text_version_column, 100, light_text},
        {column_offer, -1, list.GetWidth() - 530, 0xD4A76C},
    };
    for (const auto& column : columns) {
        list.SetColumn(column.id, column.title >= 0 ? LookupString(column.title) : nullptr, column.width, 0);
        list.SetColumnTextColour(column.id, column.colour, false);
        if (cButtonChild* button = list.GetHeader()->GetColumnButton(column.id)) {
            button->SetFrameStyle(5, false);
            button->SetBackgroundColour(white, false);
            button->SetStateFrameColours(2, 0xF8F8F8, 0xF8F8F8);
            button->SetStateFrameColours(3, 0xF1EBE5, 0xF1EBE5);
            button->SetInactiveTextColour(light_text, false);
        }
    }
    list.SetColumnFont(column_name, name_font);
    list.ShowHeader(false);

    AddChild(&status, 45, 150, -91, 22);
    status.SetColours(light_text, white, white);
    note.SetColours(dark_text, white, white);
    note.SetTextMode(2);
}

void cPelmaroForm::LayOutDetails()
{
    const wchar_t* face = get_ui_font_face_name();
    AddChild(&details, 45, 255, -91, -296);
    details.SetBackgroundColour(white);
    details.SetFrameColour(white);
    details.AddChild(&product_icon, 15, 20, 48, 48);
    details.AddChild(&name_line, 85, 25, 350, 45);
    name_line.SetFont(GetFont(8, 20, face, false, false, false));
    name_line.SetTextMode(2);
    cStaticElement* lines[] = {&name_line, &version_line, &date_line};
    details.AddChild(&version_line, 85, 70, 200, 20);
    details.AddChild(&date_line, 85, 90, 200, 20);
    for (cStaticElement* line : lines)
        line->SetColours(dark_text, white, white);

    cFontObject* link_font = GetFont(6, 14, face, true, true, false);
    cLinkElement* links[] = {&publisher_link, &support_link, &updates_link};
    const int32_t texts[] = {text_publisher, text_support, text_updates};
    for (int i = 0; i < 3; ++i) {
        details.AddChild(links[i], 390, url_links_top, -291, 20);
        links[i]->SetColours(link_colour, white, white);
        links[i]->SetFont(link_font);
        links[i]->SetText(LookupString(texts[i]), -1, false);
        links[i]->DisablePainting(false);
    }

    details.AddChild(&uninstall_button, -116, 0, 115, 30);
    uninstall_button.SetText(LookupString(text_uninstall), -1, false);
    details.AddChild(&update_button, -246, 0, 115, 30);
    update_button.SetText(LookupString(text_update), -1, false);
    cWZIButton* buttons[] = {&uninstall_button, &update_button};
    for (cWZIButton* button : buttons)
        button->SetColours(frame_colour, white, dark_text, 0xEAD3B0);
}

void cPelmaroForm::Refresh()
{
    // Nothing that acts on a product, or on the store the reader reads,
    // stays in reach until the reader has ended.
    reading = true;
    list_frame.DisablePainting(false);
    details.DisablePainting(false);
    remove_link.DisablePainting(false);
    note.DisablePainting(false);
    refresh_button.Hide(false);
    tab.Hide(false);
    language_switch.Hide(false);
    list.BeginUpdate();
    icons.Clear();
    offer_text = LookupString(text_update_available);
    more_text = LookupString(text_more_products);
    status.SetText(LookupString(text_checking), -1, false);
    status.EnablePainting(false);
    shown = nullptr;
    Redraw(nullptr);
    if (!reader.Start())
        OnReaderFinished();
}

void cPelmaroForm::OnReaderFinished()
{
    reading = false;
    list.EndUpdate(true);
    refresh_button.Show();
    tab.Show();
    language_switch.cChildElement::Show();
    int32_t row = 0;
    for (cProductList::Node* node = products.first; node && row < product_count; node = node->next, ++row)
        icons.PutPixels(row, node->element.icon_small.GetPixels(), node->element.icon_small.GetWidth(),
                        node->element.icon_small.GetHeight(), false);
    // Products this run leaves to their user keep the manager: they are
    // named where the list says what it holds, or below it. Where the
    // records could not be read, the note names what is in the way instead
    // of the list, and no removal is offered.
    bool refused = refusal.kind != CFG_FAULT_NONE;
    bool others = !per_user_products.IsEmpty();
    _guardchar<wchar_t> text;
    if (refused)
        format_store_refusal(text, LookupString(text_store_unlisted), refusal);
    else if (others)
        format_catalog_text(text, LookupString(text_per_user_products), per_user_products.Text());
    else if (server_fault.kind != CFG_FAULT_NONE && product_count != 0)
        format_catalog_path(text, LookupString(text_no_update_checks), server_fault.place.Text());
    if (!text.IsEmpty()) {
        note.SetText(text.Text(), -1, false);
        if (refused)
            AddChild(&note, 45, 70, -91, 180);
        else if (product_count == 0)
            AddChild(&note, 45, 150, -91, 45);
        else
            AddChild(&note, 45, -50, -230, 45);
        note.EnablePainting(false);
    }
    if (product_count == 0) {
        status.SetText(LookupString(text_no_products), -1, false);
        if (others || refused) {
            status.DisablePainting(false);
        } else {
            status.EnablePainting(false);
            remove_link.EnablePainting(false);
        }
    } else {
        status.DisablePainting(false);
        list_frame.EnablePainting(false);
        details.EnablePainting(false);
        remove_link.DisablePainting(false);
        // The row of the product the details show is the highlighted one.
        list.SetCurrentRow(0);
        ShowProduct(ProductAt(0));
    }
    Redraw(nullptr);
}

cInstalledProduct* cPelmaroForm::ProductAt(int32_t row)
{
    if (row < 0 || row >= product_count)
        return nullptr;
    cProductList::Node* node = products.first;
    for (int32_t i = 0; node && i < row; ++i)
        node = node->next;
    return node ? &node->element : nullptr;
}

void cPelmaroForm::ShowProduct(cInstalledProduct* product)
{
    if (!product || product == shown)
        return;
    shown = product;
    product_icon.SetImage(&product->icon_large);
    name_line.SetText(product->name.Text(), -1, false);
    _guardchar<wchar_t> text;
    format_catalog_text(text, LookupString(text_version_line), product->version_text.Text());
    version_line.SetText(text.Text(), -1, false);
    format_catalog_text(text, LookupString(text_date_line), product->install_date.Text());
    date_line.SetText(text.Text(), -1, false);
    PlaceLaunchLinks(product);

    int32_t y = PlaceUrlLink(publisher_link, product->publisher_url.Text(), url_links_top);
    y = PlaceUrlLink(support_link, product->support_url.Text(), y);
    PlaceUrlLink(updates_link, product->updates_url.Text(), y);
    if (product->HasUpdate())
        update_button.EnablePainting(false);
    else
        update_button.DisablePainting(false);
    Redraw(nullptr);
}

void cPelmaroForm::PlaceLaunchLinks(cInstalledProduct* product)
{
    for (cListItem* item = launch_links.first; item; item = item->next)
        details.RemoveChild(&static_cast<cLaunchLink*>(item)->link);
    objlist_clear(launch_links);
    cFontObject* link_font = GetFont(6, 14, get_ui_font_face_name(), true, true, false);
    int32_t y = launch_links_top;
    for (cLinkedList<cLaunchEntry>::Node* node = product->launch_entries.first;
         node && y <= details.GetHeight() - 20; node = node->next, y += 20) {
        cLaunchLink* item = new cLaunchLink;
        if (!item)
            return;
        objlist_append(launch_links, item);
        item->command.Assign(node->element.command.Text());
        details.AddChild(&item->link, 85, y, 300, 20);
        item->link.SetColours(link_colour, white, white);
        item->link.SetFont(link_font);
        item->link.SetText(node->element.name.Text(), -1, false);
    }
}

int32_t cPelmaroForm::PlaceUrlLink(cLinkElement& link, const wchar_t* url, int32_t y)
{
    if (!url || !url[0]) {
        link.DisablePainting(false);
        return y;
    }
    details.AddChild(&link, 390, y, -291, 20);
    link.EnablePainting(false);
    return y + 20;
}

bool cPelmaroForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == reader_done_action) {
        OnReaderFinished();
        return true;
    }
    if (sender == &language_switch && action->code == language_switched_action) {
        EndModal(rebuild_result);
        return true;
    }
    if (sender == &list) {
        // Rows change under the reader: their actions wait for its end.
        if (!reading && action->code == row_activated_action)
            Update();
        else if (!reading && action->code == row_changed_action)
            ShowProduct(ProductAt(list.GetCurrentRow()));
        return true;
    }
    if (action->code != click_action || reading)
        return cChildElement::HandleAction(sender, action);
    if (sender == &remove_link)
        RemoveManager();
    else if (sender == &refresh_button)
        Refresh();
    else if (sender == &uninstall_button)
        Uninstall();
    else if (sender == &update_button)
        Update();
    else if (!HandleLinkClick(sender))
        return cChildElement::HandleAction(sender, action);
    return true;
}

bool cPelmaroForm::HandleLinkClick(cChildElement* sender)
{
    const wchar_t* url = nullptr;
    if (sender == &publisher_link || sender == &support_link || sender == &updates_link) {
        if (!shown)
            return true;
        url = sender == &publisher_link ? shown->publisher_url.Text()
              : sender == &support_link ? shown->support_url.Text()
                                        : shown->updates_url.Text();
        // Web pages only: the links are named as pages.
        if (is_web_address(url))
            shell_open(url);
        return true;
    }
    for (cListItem* item = launch_links.first; item; item = item->next) {
        cLaunchLink* launch = static_cast<cLaunchLink*>(item);
        if (sender == &launch->link) {
            shell_open(launch->command.Text());
            return true;
        }
    }
    return false;
}

void cPelmaroForm::Uninstall()
{
    if (!shown || shown->code_name.IsEmpty() || !commands || !commands->uninstall)
        return;
    // The uninstall may switch to the product's language; the window keeps
    // its own.
    uint32_t language = get_current_language();
    _guardchar<wchar_t> code_name(shown->code_name.Text());
    commands->uninstall(code_name.Text(), this);
    apply_language(language);
    Refresh();
}

void cPelmaroForm::Update()
{
    if (!shown || !shown->HasUpdate())
        return;
    cUpdateInfo info;
    _guardchar<wchar_t> version;
    format_packed_version(shown->offered_version, version);
    init_wstr_quintet(info, shown->name.Text(), version.Text(), shown->installer_address.Text(),
                      shown->web_page.Text(), shown->notes.Text());
    if (show_update_info_form(&info, this))
        EndModal(0);
}

void cPelmaroForm::RemoveManager()
{
    _guardchar<wchar_t> path;
    if (!commands || !commands->get_manager_path || !commands->remove_manager || !commands->get_manager_path(path))
        return;
    if (commands->remove_manager(path.Text(), this))
        EndModal(0);
}

uint32_t run_manager(const cManagerCommands* commands)
{
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    if (!maker)
        return 1;
    // A store that cannot serve, or whose records cannot be read, would
    // list too few products, and offer to remove the manager they need.
    cStoreFault fault;
    if (run_store_refusal(get_current_config(), &fault, true) != RECORD_STORE_NONE) {
        _guardchar<wchar_t> message;
        format_store_refusal(message, section_text(L"pkgm::softm", text_store_refused), fault);
        run_message_form(RESPONSE_ERROR, message.Text());
        return 1;
    }
    for (;;) {
        // Looked up for each window: a language switch replaces the catalog.
        const wchar_t* title = section_text(L"pkgm::softm", text_title);
        cPelmaroForm* form = new cPelmaroForm(commands);
        if (!form)
            return 1;
        intptr_t result = maker->RunDialog(title, 770, 480, form, nullptr, false);
        if (result != rebuild_result)
            return uint32_t(result);
    }
}
