#ifndef TOOLS_INSTALL_FLUSH_BATCH_H
#define TOOLS_INSTALL_FLUSH_BATCH_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/file_io.h"

// Written files kept open until they are sent to the disk together: the
// system commits flushes that come at once far cheaper than the same
// flushes one after the other. Holds at most capacity files.
class cFlushBatch {
public:
    static const int32_t capacity = 256;

    cFlushBatch();
    // Closes what is still open, unflushed.
    ~cFlushBatch();
    cFlushBatch(const cFlushBatch&) = delete;
    cFlushBatch& operator=(const cFlushBatch&) = delete;

    // The stream for the next file, closed; null when the batch is full (or
    // could not be allocated).
    cFileIO* Next();
    // The file of the last Next is written: it waits for the flush.
    void Keep() { ++count; }
    // Flushes every kept file (several at once) and closes it. False when a
    // flush failed; failed_path then names the file.
    bool FlushAll(_guardchar<wchar_t>& failed_path);
    // Closes every file, kept or not, without flushing.
    void CloseAll();

private:
    static void FlushOne(void* batch, uint32_t index);

    _classbuf<cFileIO> files;
    _typebuf<uint8_t> flushed;
    int32_t count;
};

#endif
