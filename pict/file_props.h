#ifndef PICT_FILE_PROPS_H
#define PICT_FILE_PROPS_H

#include <stdint.h>

#include "base/file_io_target.h"
#include "pict/pict_base.h"
#include "pict/pict_props.h"

// What the program shows of a file, such as a product's icon: properties
// by id. Set the wanted icon size, then Read; Reset empties the properties
// for another Read.
class cFileObjectProps {
public:
    // The property that holds the file's icon, a cPictPropImage.
    static const int32_t icon_id = 3;

    cFileObjectProps();
    virtual ~cFileObjectProps();
    cFileObjectProps(const cFileObjectProps&) = delete;
    cFileObjectProps& operator=(const cFileObjectProps&) = delete;

    // Fills the properties from the stream, which holds the file from its
    // start. icon_index picks the icon (the icon group of an executable,
    // the page of a picture; 0 the first); with read_icon false only the
    // file's form is checked. False when the file cannot give the icon.
    virtual bool Read(cFileIOTarget* stream, int32_t icon_index, bool read_icon) = 0;
    virtual void Reset();

    // The icon property, holding a 32-bit picture of the wanted size; null
    // when there is none.
    cPictPropImage* FindIcon();

    int32_t icon_width;
    int32_t icon_height;
    cPictPropMap properties;

protected:
    // Takes picture over as the icon at the wanted size (resampled when its
    // size differs); false, and picture destroyed, when that fails.
    bool StoreIcon(cPictBase* picture);
};

// A picture file: its icon is the picture fitted into the wanted size,
// centred on transparent pixels.
class cPictFileProps : public cFileObjectProps {
public:
    explicit cPictFileProps(cPictBase* decoder);  // owns the decoder
    ~cPictFileProps() override;
    bool Read(cFileIOTarget* stream, int32_t icon_index, bool read_icon) override;

    cPictBase* picture;
};

// Properties of the file in the stream: a Windows executable (it starts
// with "MZ") or a picture that the factory identifies; null for anything
// else. The caller owns the object.
cFileObjectProps* file_props_open(cFileIOTarget* stream);

#endif
