#ifndef BASE_EVENT_H
#define BASE_EVENT_H

#include <windows.h>

// A Windows event. Owns its handle; Close (or the destructor) releases it.
class cEvent {
public:
    cEvent();
    ~cEvent();
    cEvent(const cEvent&) = delete;
    cEvent& operator=(const cEvent&) = delete;

    // A named event when name is not null (an existing one of that name is
    // opened). An earlier handle is closed first. True when one was made.
    bool Create(const wchar_t* name, bool initially_signalled, bool manual_reset);
    void Set();
    // Back to unsignalled (a manual-reset event).
    void Reset();
    // Waits without a time-out; true when the event was signalled.
    bool Wait();
    void Close();

    HANDLE Handle() const { return handle; }

private:
    HANDLE handle;
};

#endif
