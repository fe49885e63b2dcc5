#ifndef GUI_ELEMENT_REGISTRY_H
#define GUI_ELEMENT_REGISTRY_H

#include <stdint.h>

class cChildElement;

// The process-wide set of live elements. Each registration gets a serial
// number of its own, so that a check can tell an element from a later one
// built at the same address. Any thread.

// The element's serial, 0 when it could not be registered.
uint32_t element_registry_add(const cChildElement* element);
void element_registry_remove(const cChildElement* element);
// True when the element exists and is the registration of that serial.
bool element_registry_holds(const cChildElement* element, uint32_t serial);

#endif
