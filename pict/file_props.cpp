#include "pict/file_props.h"

#include "pict/pict_factory.h"
#include "pict/pict_target.h"
#include "pict/win_exe_props.h"

cFileObjectProps::cFileObjectProps() : icon_width(16), icon_height(16)
{
}

cFileObjectProps::~cFileObjectProps()
{
}

void cFileObjectProps::Reset()
{
    tree_clear(properties);
}

cPictPropImage* cFileObjectProps::FindIcon()
{
    cPictPropSlot* slot = tree_find_value(properties, icon_id);
    return slot && slot->prop && slot->prop->GetKind() == 4 ? static_cast<cPictPropImage*>(slot->prop) : nullptr;
}

bool cFileObjectProps::StoreIcon(cPictBase* picture)
{
    if (!picture)
        return false;
    bool stored = false;
    if (picture->width != icon_width || picture->height != icon_height) {
        cPictDummy resampled;
        if (picture->ResampleTo(icon_width, icon_height, &resampled))
            picture->TakePixels(&resampled);
    }
    cPictPropSlot* slot = nullptr;
    if (picture->width == icon_width && picture->height == icon_height && !picture->deep)
        slot = tree_get_or_add(properties, icon_id);
    if (slot) {
        cPictPropImage* icon = new cPictPropImage;
        if (icon) {
            delete slot->prop;
            icon->picture = picture;
            slot->prop = icon;
            stored = true;
        }
    }
    if (!stored)
        delete picture;
    return stored;
}

cPictFileProps::cPictFileProps(cPictBase* decoder) : picture(decoder)
{
}

cPictFileProps::~cPictFileProps()
{
    delete picture;
}

bool cPictFileProps::Read(cFileIOTarget* stream, int32_t icon_index, bool read_icon)
{
    if (!read_icon)
        return true;
    cPictDummy fitted;
    if (icon_width < 1 || icon_height < 1 || !stream || !stream->Seek(0) ||
        !picture->LoadPageScaled(stream, &fitted, icon_width, icon_height, icon_index, true, 0))
        return false;
    cPictDummy* icon = new cPictDummy;
    if (!icon || !icon->AllocPixels32(icon_width, icon_height)) {
        delete icon;
        return false;
    }
    cPictTarget target;
    pict_target_init(&target, icon);
    if (!pict_target_render(&target, &fitted)) {
        delete icon;
        return false;
    }
    return StoreIcon(icon);
}

cFileObjectProps* file_props_open(cFileIOTarget* stream)
{
    uint8_t magic[2];
    if (!stream || !stream->Seek(0))
        return nullptr;
    if (stream->ReadExact(magic, 2) && magic[0] == 'M' && magic[1] == 'Z')
        return new cWinExeProps;
    cPictInfo info = {};
    cPictBase* picture = pict_open_stream(stream, &info);
    if (!picture)
        return nullptr;
    cFileObjectProps* props = new cPictFileProps(picture);
    if (!props)
        delete picture;
    return props;
}
