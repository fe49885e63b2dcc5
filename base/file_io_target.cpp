#include "base/file_io_target.h"

int32_t cFileIOTarget::Write(const void*, uint32_t)
{
    return 0;
}

bool cFileIOTarget::ReadExact(void* buffer, uint32_t count)
{
    int32_t moved = Read(buffer, count);
    return moved >= 0 && uint32_t(moved) == count;
}

bool cFileIOTarget::WriteExact(const void* buffer, uint32_t count)
{
    int32_t moved = Write(buffer, count);
    return moved >= 0 && uint32_t(moved) == count;
}

bool cFileIOTarget::SetTime(uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t)
{
    return false;
}

bool cFileIOTarget::IsOpen()
{
    return false;
}

cFileIOTarget::~cFileIOTarget()
{
}

uint32_t cFileIOTarget::GetKind()
{
    return 0;
}
