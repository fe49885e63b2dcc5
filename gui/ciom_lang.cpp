#include "gui/builtin_catalogs.h"
#include "gui/language.h"

namespace {

int32_t framework_providers = 0;

const cBuiltinContainer* find_container(uint32_t index)
{
    return find_builtin_container(builtin_language_containers, builtin_language_container_count, index);
}

}  // namespace

cCIOMLang::cCIOMLang()
{
    RegisterFirst(this);
    ++framework_providers;
}

cCIOMLang::~cCIOMLang()
{
    --framework_providers;
}

bool cCIOMLang::HasLanguage(uint32_t index)
{
    return find_container(index) != nullptr;
}

int32_t cCIOMLang::LoadLanguage(uint32_t index)
{
    const cBuiltinContainer* container = find_container(index);
    return container ? int32_t(container->size) : 0;
}

const uint8_t* cCIOMLang::ReleaseLanguage(uint32_t index)
{
    const cBuiltinContainer* container = find_container(index);
    return container ? container->data : nullptr;
}

uint32_t cCIOMLang::DefaultLanguage()
{
    return builtin_language_containers[0].language;
}

bool language_provider_exists()
{
    return framework_providers > 0;
}

const cBuiltinContainer* find_builtin_container(const cBuiltinContainer* table, uint32_t count, uint32_t language)
{
    for (uint32_t i = 0; i < count; ++i)
        if (table[i].language == language)
            return &table[i];
    return nullptr;
}
