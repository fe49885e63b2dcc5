#ifndef BASE_FILE_IO_H
#define BASE_FILE_IO_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/file_handle.h"
#include "base/file_io_target.h"

// A Windows file as a stream. Paths are in the program's '/' form; modes
// are the FILE_MODE_ bits. Operations on a closed file fail.
class cFileIO : public cFileIOTarget {
public:
    cFileIO();
    ~cFileIO() override;

    // Both close the file first. Create makes a new file or empties an
    // existing one; Open needs an existing file. Answer IsOpen().
    bool Create(const wchar_t* path, uint32_t mode);
    bool Open(const wchar_t* path, uint32_t mode);
    // Like Create, but only where nothing exists yet: a file that another
    // process made first is left as it is, and the answer is false.
    bool CreateNew(const wchar_t* path, uint32_t mode);

    uint64_t GetSize() override;
    int32_t Read(void* buffer, uint32_t count) override;
    int32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    // False, with the position unchanged, further back than the start.
    bool SeekFromEnd(uint64_t distance) override;
    bool SetSize(uint64_t size) override;
    void Close() override;
    // Creation and last-write time, given in UTC.
    bool SetTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                 uint16_t second) override;
    bool IsOpen() override;
    uint32_t GetKind() override;
    // Sends what was written through to the disk before answering.
    bool Flush();

    // Unix seconds in local time; the value 0xFFFFFFFF leaves that time
    // as it is. False when all three are 0xFFFFFFFF (nothing is touched).
    virtual bool SetTimesUnix(uint64_t modified, uint64_t created, uint64_t accessed);

    // Exclusive lock of [offset, offset + length) against other handles,
    // tried again while another handle holds it, for at most wait_ms: any
    // program that may open the file can take a lock and keep it.
    // TryLockRegion answers false at once instead. Locks end with the
    // handle.
    bool LockRegion(uint64_t offset, uint64_t length, uint32_t wait_ms);
    bool TryLockRegion(uint64_t offset, uint64_t length);

    // The path as given to the last successful Create or Open.
    const wchar_t* Path() const { return path.Text(); }

private:
    HANDLE handle;
    _guardchar<wchar_t> path;

    bool Adopt(HANDLE opened, const wchar_t* opened_path);
    bool Lock(uint64_t offset, uint64_t length, DWORD flags);
};

#endif
