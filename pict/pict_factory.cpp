#include "pict/pict_factory.h"

#include "pict/pict_classes.h"

cPictBase* pict_open_stream(cFileIOTarget* stream, cPictInfo* info)
{
    if (!stream)
        return nullptr;
    for (const cPictClassRow& row : pict_classes) {
        if (!row.read_info || !stream->Seek(0))
            continue;
        cPictBase* picture = row.create();
        if (!picture)
            continue;
        if (picture->ReadInfo(stream, info)) {
            if (info)
                return picture;
            if (stream->Seek(0) && picture->Load(stream))
                return picture;
        }
        delete picture;
    }
    return nullptr;
}
