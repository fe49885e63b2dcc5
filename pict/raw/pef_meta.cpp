#include "pict/raw/pef_meta.h"

#include <string.h>

cPefMeta::cPefMeta()
{
    Reset();
}

void cPefMeta::Reset()
{
    memset(block, 0, sizeof block);
    for (double& multiplier : multipliers)
        multiplier = 1.0;
    tables[0].Clear();
    tables[1].Clear();
}
