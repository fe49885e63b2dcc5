#include "gui/element_registry.h"

#include "base/critical_section.h"
#include "base/tree_map.h"
#include "gui/child_element.h"

namespace {

// Built on first use, so that elements of static objects find it ready.
struct cElementRegistry {
    cCriticalSection lock;
    cTreeMap<uint32_t, uint32_t> serials;  // element address -> serial
    uint32_t last_serial = 0;
};

cElementRegistry& registry()
{
    static cElementRegistry instance;
    return instance;
}

uint32_t address_key(const cChildElement* element)
{
    return uint32_t(uintptr_t(element));
}

}  // namespace

uint32_t element_registry_add(const cChildElement* element)
{
    cElementRegistry& live = registry();
    cSafeCriticalSectionAccess access(&live.lock);
    uint32_t* serial = tree_get_or_add(live.serials, address_key(element));
    if (!serial)
        return 0;
    if (++live.last_serial == 0)
        ++live.last_serial;
    *serial = live.last_serial;
    return *serial;
}

void element_registry_remove(const cChildElement* element)
{
    cElementRegistry& live = registry();
    cSafeCriticalSectionAccess access(&live.lock);
    tree_erase_node(live.serials, tree_find_node(live.serials, address_key(element)));
}

bool element_registry_holds(const cChildElement* element, uint32_t serial)
{
    cElementRegistry& live = registry();
    cSafeCriticalSectionAccess access(&live.lock);
    uint32_t* found = tree_find_value(live.serials, address_key(element));
    return found && *found == serial;
}

bool is_element_alive(const cChildElement* element)
{
    if (!element)
        return false;
    cElementRegistry& live = registry();
    cSafeCriticalSectionAccess access(&live.lock);
    return tree_find_node(live.serials, address_key(element)) != nullptr;
}
