#include "base/event.h"

cEvent::cEvent() : handle(0) {}

cEvent::~cEvent() { Close(); }

bool cEvent::Create(const wchar_t* name, bool initially_signalled, bool manual_reset)
{
    Close();
    handle = CreateEventW(nullptr, manual_reset, initially_signalled, name);
    return handle != 0;
}

void cEvent::Set()
{
    if (handle)
        SetEvent(handle);
}

void cEvent::Reset()
{
    if (handle)
        ResetEvent(handle);
}

bool cEvent::Wait() { return handle && WaitForSingleObject(handle, INFINITE) == WAIT_OBJECT_0; }

void cEvent::Close()
{
    if (handle)
        CloseHandle(handle);
    handle = 0;
}
