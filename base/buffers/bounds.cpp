#include "base/buffers/bounds.h"

#include "base/exception.h"

// Every bounds failure names the buffers header and a fixed line, so that
// reports from different sites read alike.
void throw_typebuf_out_of_bounds()
{
    throw cException(L"base/buffers/typebuf.h", 17, 0, L"_typebuf::Out of bounds");
}

void throw_classbuf_out_of_bounds()
{
    throw cException(L"base/buffers/classbuf.h", 127, 0, L"_classbuf::Out of bounds");
}
