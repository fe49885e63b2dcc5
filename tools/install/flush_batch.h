#ifndef TOOLS_INSTALL_FLUSH_BATCH_H
#define TOOLS_INSTALL_FLUSH_BATCH_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/critical_section.h"
#include "base/event.h"
#include "base/file_io.h"

// Written files kept open until they are on the disk. Each kept file is
// sent to the disk at once by a few threads of the batch's own while the
// caller writes the next ones: the flushes overlap with the writing and
// with each other, and the system commits flushes that come together far
// cheaper than the same flushes one after the other. Holds at most
// capacity files; one thread (the caller's) uses the batch.
class cFlushBatch {
public:
    static const int32_t capacity = 256;

    cFlushBatch();
    // Closes what is still open, flushed or not.
    ~cFlushBatch();
    cFlushBatch(const cFlushBatch&) = delete;
    cFlushBatch& operator=(const cFlushBatch&) = delete;

    // The stream for the next file, closed; null when the batch is full (or
    // could not be set up).
    cFileIO* Next();
    // The file of the last Next is written: its flush starts.
    void Keep();
    // Waits until every kept file is flushed, then closes them all. False
    // when a flush failed; failed_path then names the file.
    bool FlushAll(_guardchar<wchar_t>& failed_path);
    // Closes every file, kept or not; kept files not yet flushed are left
    // as they are.
    void CloseAll();

private:
    // Two: more were no faster, and each thread's stack adds to the
    // installer's peak, which already holds the whole package.
    static const int32_t thread_count = 2;
    static unsigned __stdcall FlushKept(void* batch);
    bool StartThreads();
    // Waits until the threads have taken up every kept file.
    void WaitIdle();

    _classbuf<cFileIO> files;
    _typebuf<uint8_t> flushed;
    int32_t count;  // kept files, from the first on
    cCriticalSection lock;  // guards count, taken, done, sleeping, skipping, stopping, awaited
    int32_t taken;          // kept files a thread has begun
    int32_t done;           // kept files a thread has finished
    int32_t sleeping;       // threads that found nothing to take and wait for a wake-up
    bool skipping;          // CloseAll: kept files are only counted as done
    bool stopping;
    bool awaited;           // WaitIdle waits for idle: the thread that makes done reach count sets it
    HANDLE work;   // semaphore: one wake-up per sleeping thread that a kept file needs, then one per thread to end
    cEvent idle;   // manual reset; only WaitIdle resets it, so each file costs no event call
    HANDLE threads[thread_count];
    int32_t started;
};

#endif
