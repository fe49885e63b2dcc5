#ifndef TOOLS_SHELL_UPDATE_DOWNLOAD_H
#define TOOLS_SHELL_UPDATE_DOWNLOAD_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/file_io_target.h"
#include "base/http_response.h"
#include "gui/dialogs/progress_form.h"

// How a download ended: the downloader's job result.
enum : uint32_t {
    DOWNLOAD_REFUSED = 1,       // the address cannot be requested, or sockets did not start
    DOWNLOAD_INCOMPLETE = 2,    // the transfer broke off, or its end could not be known
    DOWNLOAD_SERVER_ERROR = 3,  // an HTTP status other than 200
    DOWNLOAD_WRITE_ERROR = 4,   // the file took fewer bytes than it was given
    DOWNLOAD_STOPPED = 5,       // the user stopped it
    DOWNLOAD_CANNOT_CREATE = 6, // no file could be made beside the target, or it could not replace the target
    DOWNLOAD_COMPLETE = 10,     // every announced byte is in the file
};

// The progress form that fetches the new installer with one GET over
// HTTP/1.1 into a file beside the target path, which replaces the target
// only once every announced byte has arrived. Whatever else ends the run
// (a server error, a cut transfer, Stop) deletes that file and leaves the
// target as it was, so a retry is simply another run. Stop ends the
// transfer at once, also while the server is silent. The form's texts are
// the progress form's.
class cUpdateDownloader : public cStdBasicProgressForm, public cHttpResponse {
public:
    cUpdateDownloader(const wchar_t* target_path, const wchar_t* download_address);
    ~cUpdateDownloader() override;

    // Worker thread: one download onto the target path; a DOWNLOAD_* result.
    uint32_t Run() override;
    // The transfer of one run into target, from its start (position 0,
    // size 0); a DOWNLOAD_* result, DOWNLOAD_COMPLETE once every announced
    // byte is in it.
    uint32_t Transfer(cFileIOTarget* target);
    // A status other than 200 is a server error, and no body is taken.
    bool OnHeadersDone() override;
    // Writes the piece at the file's position and reports progress; false
    // (ending the transfer) on a short write or once a stop is asked for.
    bool OnBody(const uint8_t* data, uint32_t length, uint64_t offset) override;

    uint64_t GetReceived() const { return received; }

private:
    cFileIOTarget* file;  // the run's, while it transfers
    _guardchar<wchar_t> path;
    _guardchar<wchar_t> address;
    uint32_t status;
    uint64_t received;
};

#endif
