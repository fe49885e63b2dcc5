#include "gui/request_target.h"

cWindowRequestTarget::~cWindowRequestTarget() {}

bool cWindowRequestTarget::ClipboardPutBytes(const void* bytes, uint32_t size)
{
    return ClipboardPutText(static_cast<const wchar_t*>(bytes), size);
}

bool cWindowRequestTarget::ClipboardGetBytes(_typebuf<uint8_t>& out)
{
    return ClipboardGetText(out);
}

bool cWindowRequestTarget::ClipboardHasData(bool)
{
    return true;
}

bool cWindowRequestTarget::GetScreenArea(cSize* size)
{
    return GetWorkArea(size);
}

int32_t cWindowRequestTarget::GetDpi()
{
    return 96;
}

bool cWindowRequestTarget::KeepAwake()
{
    return false;
}

bool cWindowRequestTarget::AllowSleep()
{
    return false;
}

bool cWindowRequestTarget::SetWindowFocus()
{
    return false;
}

bool cWindowRequestTarget::IsResizable()
{
    return false;
}
