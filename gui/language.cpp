#include "gui/language.h"

#include "base/buffers/typebuf.h"
#include "gui/builtin_catalogs.h"
#include "gui/catalog.h"
#include "gui/ui_font.h"

namespace {

const uint32_t language_count = 10;
const uint32_t no_language = 10;
// Nothing but the header fits in a container this small.
const int32_t smallest_container = 20;

uint32_t current_language = no_language;

// Created by the first registration, so that providers constructed during
// static initialisation find it; destroyed after every static provider.
_typebuf<cLibLang*>& provider_list()
{
    static _typebuf<cLibLang*> providers;
    return providers;
}

int32_t find_provider(const cLibLang* provider)
{
    _typebuf<cLibLang*>& providers = provider_list();
    for (int32_t i = 0; i < providers.Count(); ++i)
        if (providers[i] == provider)
            return i;
    return -1;
}

void unregister_provider(const cLibLang* provider)
{
    int32_t at = find_provider(provider);
    if (at < 0)
        return;
    _typebuf<cLibLang*>& providers = provider_list();
    for (int32_t i = at; i + 1 < providers.Count(); ++i)
        providers[i] = providers[i + 1];
    providers.Realloc(providers.Count() - 1);
}

// Reads the provider's container for index, or for its default language
// when it lacks index, into the global catalog.
bool load_from_provider(cLibLang& provider, uint32_t index)
{
    uint32_t usable = index;
    if (!provider.HasLanguage(usable)) {
        usable = provider.DefaultLanguage();
        if (!provider.HasLanguage(usable))
            return false;
    }
    int32_t size = provider.LoadLanguage(usable);
    const uint8_t* container = provider.ReleaseLanguage(usable);
    return size > smallest_container && container &&
           catalog_read_container(container, uint32_t(size), *get_global_catalog());
}

const cStringArray* read_language_names(cStringCatalog& names)
{
    if (!catalog_read_container(builtin_language_names, builtin_language_names_size, names))
        return nullptr;
    return catalog_find_section(&names, L"lnames");
}

}  // namespace

cLibLang::cLibLang()
{
    Register(this);
}

cLibLang::~cLibLang()
{
    unregister_provider(this);
}

void cLibLang::Register(cLibLang* provider)
{
    if (!provider || find_provider(provider) >= 0)
        return;
    _typebuf<cLibLang*>& providers = provider_list();
    int32_t count = providers.Count();
    if (providers.Realloc(count + 1))
        providers[count] = provider;
}

void cLibLang::RegisterFirst(cLibLang* provider)
{
    if (!provider)
        return;
    Register(provider);
    int32_t at = find_provider(provider);
    _typebuf<cLibLang*>& providers = provider_list();
    for (; at > 0; --at)
        providers[at] = providers[at - 1];
    if (at == 0)
        providers[0] = provider;
}

bool set_language(uint32_t index)
{
    bool all_loaded = true;
    _typebuf<cLibLang*>& providers = provider_list();
    for (int32_t i = 0; i < providers.Count(); ++i)
        if (!load_from_provider(*providers[i], index))
            all_loaded = false;
    current_language = index;
    get_ui_font_face();
    return all_loaded;
}

uint32_t get_current_language()
{
    return current_language;
}

bool apply_default_language()
{
    _typebuf<cLibLang*>& providers = provider_list();
    if (providers.Count() == 0)
        return false;
    return set_language(providers[0]->DefaultLanguage());
}

const wchar_t* get_language_code(uint32_t index)
{
    static const wchar_t* const codes[language_count] = {L"ENG", L"RUS", L"DEU", L"JPN", L"KOR",
                                                         L"FRA", L"UKR", L"ESP", L"CHN", L"TWN"};
    return index < language_count ? codes[index] : L"INV";
}

const wchar_t* get_language_name(uint32_t index)
{
    static cStringCatalog names;
    static const cStringArray* const list = read_language_names(names);
    if (index >= language_count)
        return nullptr;
    return get_catalog_string(list, int32_t(index));
}
