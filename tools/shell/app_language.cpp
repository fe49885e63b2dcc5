#include "tools/shell/app_language.h"

#include <windows.h>

#include "base/app_config.h"
#include "gui/child_element.h"
#include "gui/image_cache.h"
#include "tools/shell/app_catalogs.h"
#include "tools/shell/language_flags.h"

namespace {

cImageBuffer* flag_from_cache(cImageCache& cache, const cFlagPicture* flags, uint32_t id)
{
    if (id >= language_flag_count)
        return nullptr;
    cImageBuffer* image = cache.Get(int32_t(id));
    if (image)
        return image;
    const cFlagPicture& flag = flags[id];
    if (!cache.PutPixels(int32_t(id), flag.pixels, flag.width, flag.height, false))
        return nullptr;
    return cache.Get(int32_t(id));
}

// Switches the language on the UI thread when it is done with, whoever
// handled it; the waiting worker reads the outcome after the wait.
class cApplyLanguageAction : public cChildElement::cSentChildAction {
public:
    // No element handles this code: the action only runs its OnDone.
    static const uint32_t code = 0x4C414E47;

    cApplyLanguageAction(uint32_t language, bool* outcome)
        : cSentChildAction(code), id(language), applied(outcome)
    {
    }
    void OnDone() override
    {
        *applied = apply_language(id);
        cSentChildAction::OnDone();
    }

private:
    uint32_t id;
    bool* applied;
};

}  // namespace

cSOPKGLang::cSOPKGLang() : cBuiltinLang(application_language_containers, application_language_container_count) {}

cSOPKGLang& application_language_provider()
{
    static cSOPKGLang provider;
    return provider;
}

bool apply_language(uint32_t id)
{
    uint32_t previous = get_current_language();
    if (set_language(id))
        return true;
    if (previous != id && previous < language_none)
        set_language(previous);
    return false;
}

bool apply_language_from_worker(cChildElement* element, uint32_t id)
{
    bool applied = false;
    if (!element)
        return false;
    return element->SendActionAndWait(new cApplyLanguageAction(id, &applied)) && applied;
}

uint32_t system_language()
{
    LANGID language = GetUserDefaultUILanguage();
    switch (PRIMARYLANGID(language)) {
    case LANG_ENGLISH:
        return 0;
    case LANG_RUSSIAN:
        return 1;
    case LANG_GERMAN:
        return 2;
    case LANG_JAPANESE:
        return 3;
    case LANG_KOREAN:
        return 4;
    case LANG_FRENCH:
        return 5;
    case LANG_UKRAINIAN:
        return 6;
    case LANG_SPANISH:
        return 7;
    case LANG_CHINESE: {
        WORD region = SUBLANGID(language);
        bool traditional = region == SUBLANG_CHINESE_TRADITIONAL || region == SUBLANG_CHINESE_HONGKONG ||
                           region == SUBLANG_CHINESE_MACAU;
        return traditional ? 9 : 8;
    }
    default:
        return language_none;
    }
}

void choose_startup_language(cApplicationConfig* config)
{
    cSOPKGLang& provider = application_language_provider();
    int64_t stored = 0;
    if (config && config->ReadInt64("lang/current", stored) && provider.HasLanguage(uint32_t(stored)) &&
        apply_language(uint32_t(stored)))
        return;
    set_language(language_english);
}

cImageBuffer* get_language_image(uint32_t id)
{
    static cImageCache cache;
    return flag_from_cache(cache, language_flags_large, id);
}

cImageCache& small_language_images()
{
    static cImageCache cache;
    return cache;
}

cImageBuffer* get_small_language_image(uint32_t id)
{
    return flag_from_cache(small_language_images(), language_flags_small, id);
}
