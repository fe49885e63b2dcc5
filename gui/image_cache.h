#ifndef GUI_IMAGE_CACHE_H
#define GUI_IMAGE_CACHE_H

#include <stdint.h>

#include "base/tree_map.h"
#include "gui/image_buffer.h"

// One cached image: what callers get, and the copy the cache owns (null for
// a borrowed image, such as a theme image, which the theme owns).
struct cImageCacheEntry {
    cImageCacheEntry() : owned(nullptr), image(nullptr) {}
    ~cImageCacheEntry() { delete owned; }
    cImageCacheEntry(const cImageCacheEntry&) = delete;
    cImageCacheEntry& operator=(const cImageCacheEntry&) = delete;

    cImageBuffer* owned;
    cImageBuffer* image;
};

// Images by integer id. Controls and forms keep one static cache per class,
// filled from the theme on first use. No lock: GUI thread only.
class cImageCache {
public:
    cImageCache() : entries(512) {}
    cImageCache(const cImageCache&) = delete;
    cImageCache& operator=(const cImageCache&) = delete;

    // Null when the id is absent.
    cImageBuffer* Get(int32_t id) const;
    // Stores an owned copy of width x height pixels, rows in stored order
    // (flip has no effect). On failure the id's entry is gone and the
    // answer is false.
    bool PutPixels(int32_t id, const uint32_t* pixels, int32_t width, int32_t height, bool flip);
    // Borrows image (the caller keeps it alive). Null removes the id's entry;
    // for an absent id null does nothing. False only when a new entry cannot
    // be added.
    bool Put(int32_t id, cImageBuffer* image);
    // False when the id is absent.
    bool Remove(int32_t id);
    void Clear();

private:
    cTreeMap<int32_t, cImageCacheEntry> entries;
};

// The image slot of a control: an image it owns or one it borrows.
class cImageRef {
public:
    cImageRef() : owned(nullptr), image(nullptr) {}
    ~cImageRef() { delete owned; }
    cImageRef(const cImageRef&) = delete;
    cImageRef& operator=(const cImageRef&) = delete;

    // Borrows the cache's image for the id (null when absent); true.
    bool SetFromCache(const cImageCache* cache, int32_t id);
    // Borrows image (null: no image); true.
    bool SetImage(cImageBuffer* new_image);
    // Takes ownership of new_owned (null: no image) and shows it.
    void ReplaceOwned(cImageBuffer* new_owned);
    // Null when the slot has no image.
    cImageBuffer* Get() const { return image; }

private:
    void Release();

    cImageBuffer* owned;
    cImageBuffer* image;
};

#endif
