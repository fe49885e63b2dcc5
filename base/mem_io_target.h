#ifndef BASE_MEM_IO_TARGET_H
#define BASE_MEM_IO_TARGET_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "base/tree_map.h"

// A growable stream in memory, made of 64 KiB chunks found through an
// ordered map by chunk index, so that growing never moves bytes already
// held. A chunk exists only where something was written; bytes no write
// reached read as zeros. Holds at most 2^31 - 1 bytes.
class cMemIOTarget : public cFileIOTarget {
public:
    cMemIOTarget();
    ~cMemIOTarget() override;

    uint64_t GetSize() override;
    int32_t Read(void* buffer, uint32_t count) override;
    // Stops short when a chunk cannot be allocated or the stream would pass
    // 2^31 - 1 bytes, and answers what was written.
    int32_t Write(const void* buffer, uint32_t count) override;
    // Past the end: the position stays at the size and the answer is false.
    bool Seek(uint64_t position) override;
    // Further back than the start: the position goes to 0, false.
    bool SeekFromEnd(uint64_t distance) override;
    // Shrinking frees whole chunks past the new end and clears the rest of
    // the last one, so that growing again reads zeros. False past 2^31 - 1.
    bool SetSize(uint64_t size) override;
    void Close() override;
    bool IsOpen() override;
    uint32_t GetKind() override;

    // The whole content into out (resized to the size); false when out
    // cannot be allocated.
    bool CopyTo(_typebuf<uint8_t>& out);

private:
    int32_t position;
    int32_t chunk_size;
    int32_t size;
    cTreeMap<int32_t, _typebuf<uint8_t>> chunks;

    // The chunk of index, created zero-filled when missing; null when the
    // heap refuses it.
    uint8_t* WritableChunk(int32_t index);
    // Copies count bytes from the position on (zeros from missing chunks).
    void CopyOut(uint8_t* out, int32_t from, int32_t count);
};

#endif
