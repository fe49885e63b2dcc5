#ifndef PICT_PICT_PROPS_H
#define PICT_PICT_PROPS_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/tree_map.h"

class cPictBase;

// A typed value that a decoder attaches to a picture under a small id. The
// class belongs to the id (pict_prop_kind_of), so every reader finds the
// same kind under the same id. Writers fill the value fields directly.
class cPictProp {
public:
    cPictProp() = default;
    cPictProp(const cPictProp&) = delete;
    cPictProp& operator=(const cPictProp&) = delete;

    // 0 int, 1 double, 2 timestamp, 3 string, 4 image, 5 raw bytes.
    virtual int32_t GetKind() = 0;
    virtual ~cPictProp();
};

class cPictPropInt : public cPictProp {
public:
    int32_t GetKind() override { return 0; }
    int32_t value = 0;
};

class cPictPropDouble : public cPictProp {
public:
    int32_t GetKind() override { return 1; }
    double value = 0.0;
};

class cPictPropTimestamp : public cPictProp {
public:
    int32_t GetKind() override { return 2; }
    uint16_t year = 0;
    uint8_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class cPictPropString : public cPictProp {
public:
    int32_t GetKind() override { return 3; }
    _guardchar<wchar_t> value;
};

// Owns its picture.
class cPictPropImage : public cPictProp {
public:
    int32_t GetKind() override { return 4; }
    ~cPictPropImage() override;
    cPictBase* picture = nullptr;
};

class cPictPropRaw : public cPictProp {
public:
    int32_t GetKind() override { return 5; }
    _typebuf<uint8_t> bytes;
    uint64_t position = 0;  // where the reader found the bytes in the file
};

// The highest id that has a class.
const int32_t pict_prop_last_id = 21;

// A map slot that owns its property.
struct cPictPropSlot {
    cPictPropSlot() : prop(nullptr) {}
    ~cPictPropSlot() { delete prop; }
    cPictPropSlot(const cPictPropSlot&) = delete;
    cPictPropSlot& operator=(const cPictPropSlot&) = delete;

    cPictProp* prop;
};

typedef cTreeMap<int32_t, cPictPropSlot> cPictPropMap;

// The property stored under id in map; when there is none and create is
// set, a new empty one of the id's class. Null for an id without a class,
// a missing property not created, or a refused allocation.
cPictProp* pict_prop_get(cPictPropMap& map, int32_t id, bool create);

#endif
