#include "gui/controls/list_view_sort.h"

#include "base/string_convert.h"

cListViewChild::cListViewSortProvider::~cListViewSortProvider() {}

bool cListViewChild::cListViewNameSortProvider::Clear()
{
    index.Clear();
    return true;
}

bool cListViewChild::cListViewNameSortProvider::Add(const cCell* cell)
{
    if (!cell || cell->text.IsEmpty())
        return false;
    _guardchar<wchar_t> lower;
    if (ignore_case && !wstr_assign_lower(lower, cell->text))
        return false;
    cPackedKey key;
    packedkey_from_wstr(key, ignore_case ? lower.Text() : cell->text.Text(), -1);
    return index.Add(key, cell);
}

void* cListViewChild::cListViewNameSortProvider::NextAscending(void* position, const cCell** cell)
{
    return index.Next(position, true, cell);
}

void* cListViewChild::cListViewNameSortProvider::NextDescending(void* position, const cCell** cell)
{
    return index.Next(position, false, cell);
}

bool cListViewChild::cListViewU64PramSortProvider::Clear()
{
    index.Clear();
    return key_function != nullptr;
}

bool cListViewChild::cListViewU64PramSortProvider::Add(const cCell* cell)
{
    if (!key_function || !cell)
        return false;
    uint64_t key = key_function(cell, key_context);
    return index.Add(key, cell);
}

void* cListViewChild::cListViewU64PramSortProvider::NextAscending(void* position, const cCell** cell)
{
    return index.Next(position, true, cell);
}

void* cListViewChild::cListViewU64PramSortProvider::NextDescending(void* position, const cCell** cell)
{
    return index.Next(position, false, cell);
}

void cListViewChild::cListViewU64PramSortProvider::SetKeyFunction(cKeyFunction function, void* context)
{
    key_function = function;
    key_context = context;
}
