#include "gui/builtin_catalogs.h"
#include "gui/language.h"

namespace {

int32_t framework_providers = 0;

}  // namespace

cBuiltinLang::cBuiltinLang(const cBuiltinContainer* containers, uint32_t container_count)
    : table(containers), count(container_count)
{
}

const cBuiltinContainer* cBuiltinLang::Find(uint32_t index) const
{
    for (uint32_t i = 0; i < count; ++i)
        if (table[i].language == index)
            return &table[i];
    return nullptr;
}

bool cBuiltinLang::HasLanguage(uint32_t index)
{
    return Find(index) != nullptr;
}

int32_t cBuiltinLang::LoadLanguage(uint32_t index)
{
    const cBuiltinContainer* container = Find(index);
    return container ? int32_t(container->size) : 0;
}

const uint8_t* cBuiltinLang::ReleaseLanguage(uint32_t index)
{
    const cBuiltinContainer* container = Find(index);
    return container ? container->data : nullptr;
}

uint32_t cBuiltinLang::DefaultLanguage()
{
    return count ? table[0].language : 0;
}

cCIOMLang::cCIOMLang() : cBuiltinLang(builtin_language_containers, builtin_language_container_count)
{
    RegisterFirst(this);
    ++framework_providers;
}

cCIOMLang::~cCIOMLang()
{
    --framework_providers;
}

bool language_provider_exists()
{
    return framework_providers > 0;
}
