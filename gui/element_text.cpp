#include <string.h>
#include <wchar.h>

#include "gui/catalog.h"
#include "gui/child_element.h"
#include "gui/request_target.h"

// The element's text, its hint text and its strings from the catalog.

int32_t cChildElement::GetText(wchar_t* buffer, int32_t capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    memset(buffer, 0, size_t(capacity) * sizeof(wchar_t));
    int32_t length = text.Length();
    if (length > capacity - 1)
        length = capacity - 1;
    if (length > 0)
        memcpy(buffer, text.Text(), size_t(length) * sizeof(wchar_t));
    return length;
}

const wchar_t* cChildElement::GetTextPtr()
{
    return text.IsEmpty() ? nullptr : text.Text();
}

const wchar_t* cChildElement::GetHintText()
{
    return hint_text.IsEmpty() ? nullptr : hint_text.Text();
}

void cChildElement::SetText(const wchar_t* new_text, int32_t length, bool redraw)
{
    if (!new_text)
        text.Clear();
    else if (length < 0)
        text.Assign(new_text);
    else
        text.AssignN(new_text, length);
    if (redraw)
        Redraw(nullptr);
}

void cChildElement::ClearText()
{
    // Texts such as passwords do not linger in freed memory.
    if (wchar_t* characters = text.Buffer()) {
        volatile wchar_t* wipe = characters;
        for (int32_t i = 0, n = text.Length(); i < n; ++i)
            wipe[i] = 0;
    }
    text.Clear();
}

void cChildElement::SetHintText(const wchar_t* new_text)
{
    hint_text.Assign(new_text);
    if (tooltip) {
        cChildAction* close = new cChildAction(5);
        if (close)
            PostAction(close);
    }
}

const wchar_t* cChildElement::LookupString(int32_t id)
{
    for (cChildElement* element = this; element; element = element->parent) {
        if (element->string_entry)
            return get_catalog_string(element->string_entry, id);
        // A section of its own that the catalog lacks ends the search.
        if (element->GetStringSection())
            return nullptr;
    }
    return nullptr;
}

const wchar_t* cChildElement::LookupStringFor(cChildElement* would_be_parent, int32_t id)
{
    if (string_entry)
        return get_catalog_string(string_entry, id);
    const wchar_t* section = GetStringSection();
    if (section) {
        cWindowRequestTarget* target = would_be_parent ? would_be_parent->GetRequestTarget() : nullptr;
        string_entry = target ? target->GetStringTable(section) : nullptr;
        return string_entry ? get_catalog_string(string_entry, id) : nullptr;
    }
    return would_be_parent ? would_be_parent->LookupString(id) : nullptr;
}
