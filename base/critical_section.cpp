#include "base/critical_section.h"

cCriticalSection::cCriticalSection() { InitializeCriticalSection(&section); }

cCriticalSection::~cCriticalSection() { DeleteCriticalSection(&section); }

void cCriticalSection::Enter() { EnterCriticalSection(&section); }

void cCriticalSection::Leave() { LeaveCriticalSection(&section); }

cSafeCriticalSectionAccess::cSafeCriticalSectionAccess(cCriticalSection* locked) : section(locked)
{
    if (section)
        section->Enter();
}

cSafeCriticalSectionAccess::~cSafeCriticalSectionAccess()
{
    if (section)
        section->Leave();
}

cSafeCriticalSectionUnlock::cSafeCriticalSectionUnlock(cCriticalSection* entered_section) : section(entered_section) {}

cSafeCriticalSectionUnlock::~cSafeCriticalSectionUnlock()
{
    if (section)
        section->Leave();
}
