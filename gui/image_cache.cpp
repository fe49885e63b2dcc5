#include "gui/image_cache.h"

cImageBuffer* cImageCache::Get(int32_t id) const
{
    cImageCacheEntry* entry = tree_find_value(entries, id);
    return entry ? entry->image : nullptr;
}

bool cImageCache::PutPixels(int32_t id, const uint32_t* pixels, int32_t width, int32_t height, bool)
{
    cImageCacheEntry* entry = tree_get_or_add(entries, id);
    if (!entry)
        return false;
    cImageBuffer* copy = new cImageBuffer;
    if (!copy || !copy->SetPixels(pixels, width, height, false)) {
        delete copy;
        Remove(id);
        return false;
    }
    delete entry->owned;
    entry->owned = copy;
    entry->image = copy;
    return true;
}

bool cImageCache::Put(int32_t id, cImageBuffer* image)
{
    cImageCacheEntry* entry = tree_find_value(entries, id);
    if (!image)
        return !entry || Remove(id);
    if (!entry) {
        entry = tree_get_or_add(entries, id);
        if (!entry)
            return false;
    }
    // Putting back the entry's own copy keeps it owned instead of freeing
    // what is about to be shown.
    if (image != entry->owned) {
        delete entry->owned;
        entry->owned = nullptr;
    }
    entry->image = image;
    return true;
}

bool cImageCache::Remove(int32_t id)
{
    return tree_erase_node(entries, tree_find_node(entries, id));
}

void cImageCache::Clear()
{
    tree_clear(entries);
}

void cImageRef::Release()
{
    delete owned;
    owned = nullptr;
    image = nullptr;
}

bool cImageRef::SetFromCache(const cImageCache* cache, int32_t id)
{
    Release();
    image = cache ? cache->Get(id) : nullptr;
    return true;
}

bool cImageRef::SetImage(cImageBuffer* new_image)
{
    if (new_image != owned)
        Release();
    image = new_image;
    return true;
}

void cImageRef::ReplaceOwned(cImageBuffer* new_owned)
{
    if (new_owned != owned)
        Release();
    owned = new_owned;
    image = new_owned;
}
