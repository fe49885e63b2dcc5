#ifndef PICT_PICT_FACTORY_H
#define PICT_PICT_FACTORY_H

#include "pict/pict_base.h"

// The decoder of the first format, in the factory's fixed order, whose
// header test passes. With info: identify only; the record is filled and
// the object comes back unloaded. Without: the first object whose Load also
// succeeds comes back loaded (a file whose header matches but whose data
// fails may still be taken by a later format). Null when none. The caller
// owns the object.
cPictBase* pict_open_stream(cFileIOTarget* stream, cPictInfo* info);

#endif
