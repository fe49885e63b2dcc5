#include "pict/pict_props.h"

#include "pict/pict_base.h"

namespace {

// The class of each id, by kind (see GetKind).
const uint8_t kind_of_id[pict_prop_last_id + 1] = {
    3, 2, 2, 3, 3, 1, 1, 0, 1, 1, 0, 0, 0, 4, 4, 1, 1, 1, 0, 0, 0, 5,
};

cPictProp* new_prop(int32_t kind)
{
    switch (kind) {
    case 0: return new cPictPropInt;
    case 1: return new cPictPropDouble;
    case 2: return new cPictPropTimestamp;
    case 3: return new cPictPropString;
    case 4: return new cPictPropImage;
    default: return new cPictPropRaw;
    }
}

}  // namespace

cPictProp::~cPictProp()
{
}

cPictPropImage::~cPictPropImage()
{
    delete picture;
}

cPictProp* pict_prop_get(cPictPropMap& map, int32_t id, bool create)
{
    if (id < 0 || id > pict_prop_last_id)
        return nullptr;
    if (cPictPropSlot* slot = tree_find_value(map, id))
        if (slot->prop)
            return slot->prop;
    if (!create)
        return nullptr;
    cPictPropSlot* slot = tree_get_or_add(map, id);
    if (!slot)
        return nullptr;
    slot->prop = new_prop(kind_of_id[id]);
    return slot->prop;
}

cPictProp* cPictBase::GetProperty(int32_t id, bool create)
{
    return pict_prop_get(properties, id, create);
}

cPictPropString* cPictBase::FindStringProperty(int32_t id)
{
    cPictProp* prop = GetProperty(id, false);
    return prop && prop->GetKind() == 3 ? static_cast<cPictPropString*>(prop) : nullptr;
}

cPictPropInt* cPictBase::FindIntProperty(int32_t id)
{
    cPictProp* prop = GetProperty(id, false);
    return prop && prop->GetKind() == 0 ? static_cast<cPictPropInt*>(prop) : nullptr;
}

cPictPropImage* cPictBase::FindThumbnail()
{
    cPictProp* prop = GetProperty(13, false);
    return prop && prop->GetKind() == 4 ? static_cast<cPictPropImage*>(prop) : nullptr;
}
