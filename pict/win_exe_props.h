#ifndef PICT_WIN_EXE_PROPS_H
#define PICT_WIN_EXE_PROPS_H

#include "pict/file_props.h"

// A Windows executable (PE32 or PE32+): its icon comes from an icon group
// of its resources, the entry nearest the wanted size, decoded and brought
// to that size.
class cWinExeProps : public cFileObjectProps {
public:
    bool Read(cFileIOTarget* stream, int32_t icon_index, bool read_icon) override;
};

#endif
