#ifndef BASE_CRITICAL_SECTION_H
#define BASE_CRITICAL_SECTION_H

#include <windows.h>

// The program's lock: one Windows critical section. The owning thread may
// enter again (each Enter needs its Leave). No time-outs.
class cCriticalSection {
public:
    cCriticalSection();
    virtual ~cCriticalSection();
    cCriticalSection(const cCriticalSection&) = delete;
    cCriticalSection& operator=(const cCriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    CRITICAL_SECTION section;
};

// Scoped lock: enters the section for the object's lifetime. A null section
// makes it do nothing, for code whose lock is optional.
class cSafeCriticalSectionAccess {
public:
    explicit cSafeCriticalSectionAccess(cCriticalSection* section);
    virtual ~cSafeCriticalSectionAccess();
    cSafeCriticalSectionAccess(const cSafeCriticalSectionAccess&) = delete;
    cSafeCriticalSectionAccess& operator=(const cSafeCriticalSectionAccess&) = delete;

private:
    cCriticalSection* section;
};

// Scoped release of a section that the current thread has already entered:
// the destructor leaves it (nothing for null).
class cSafeCriticalSectionUnlock {
public:
    explicit cSafeCriticalSectionUnlock(cCriticalSection* entered_section);
    virtual ~cSafeCriticalSectionUnlock();
    cSafeCriticalSectionUnlock(const cSafeCriticalSectionUnlock&) = delete;
    cSafeCriticalSectionUnlock& operator=(const cSafeCriticalSectionUnlock&) = delete;

private:
    cCriticalSection* section;
};

#endif
