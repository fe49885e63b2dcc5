#include "tools/install/flush_batch.h"

#include <process.h>

cFlushBatch::cFlushBatch()
    : files(capacity), flushed(capacity), count(0), taken(0), done(0), sleeping(0), skipping(false),
      stopping(false), awaited(false), work(0), started(0)
{
}

cFlushBatch::~cFlushBatch()
{
    CloseAll();
    {
        cSafeCriticalSectionAccess access(&lock);
        stopping = true;
    }
    if (started) {
        ReleaseSemaphore(work, started, nullptr);
        WaitForMultipleObjects(DWORD(started), threads, TRUE, INFINITE);
    }
    for (int32_t i = 0; i < started; ++i)
        CloseHandle(threads[i]);
    if (work)
        CloseHandle(work);
}

bool cFlushBatch::StartThreads()
{
    if (started)
        return true;
    if (!work)
        work = CreateSemaphoreW(nullptr, 0, capacity + thread_count, nullptr);
    if (!work || (!idle.Handle() && !idle.Create(nullptr, true, true)))
        return false;
    while (started < thread_count) {
        uintptr_t thread = _beginthreadex(nullptr, 0, FlushKept, this, 0, nullptr);
        if (!thread)
            break;
        threads[started++] = reinterpret_cast<HANDLE>(thread);
    }
    return started > 0;
}

unsigned __stdcall cFlushBatch::FlushKept(void* context)
{
    cFlushBatch* batch = static_cast<cFlushBatch*>(context);
    for (;;) {
        int32_t index = -1;
        bool skip;
        {
            cSafeCriticalSectionAccess access(&batch->lock);
            if (batch->stopping)
                return 0;
            if (batch->taken == batch->count)
                ++batch->sleeping;
            else
                index = batch->taken++;
            skip = batch->skipping;
        }
        if (index < 0) {
            WaitForSingleObject(batch->work, INFINITE);
            continue;
        }
        batch->flushed[index] = !skip && batch->files[index].Flush() ? 1 : 0;
        cSafeCriticalSectionAccess access(&batch->lock);
        if (++batch->done == batch->count && batch->awaited)
            batch->idle.Set();
    }
}

cFileIO* cFlushBatch::Next()
{
    if (count >= files.Count() || !flushed.Data() || !StartThreads())
        return nullptr;
    return &files[count];
}

void cFlushBatch::Keep()
{
    bool wake;
    {
        cSafeCriticalSectionAccess access(&lock);
        ++count;
        // Busy threads take the file up themselves: a wake-up costs the
        // system a call on each side.
        wake = sleeping > 0;
        if (wake)
            --sleeping;
    }
    if (wake)
        ReleaseSemaphore(work, 1, nullptr);
}

void cFlushBatch::WaitIdle()
{
    if (!started)
        return;
    {
        cSafeCriticalSectionAccess access(&lock);
        if (done == count)
            return;
        awaited = true;
        idle.Reset();
    }
    idle.Wait();
    cSafeCriticalSectionAccess access(&lock);
    awaited = false;
}

bool cFlushBatch::FlushAll(_guardchar<wchar_t>& failed_path)
{
    WaitIdle();
    bool all = true;
    for (int32_t i = 0; i < count; ++i)
        if (!flushed[i] && all) {
            failed_path.Assign(files[i].Path());
            all = false;
        }
    CloseAll();
    return all;
}

void cFlushBatch::CloseAll()
{
    {
        cSafeCriticalSectionAccess access(&lock);
        skipping = true;
    }
    WaitIdle();
    for (int32_t i = 0; i < files.Count(); ++i)
        files[i].Close();
    cSafeCriticalSectionAccess access(&lock);
    count = taken = done = 0;
    skipping = false;
}
