// Windows sockets before the form's Windows headers.
#include <winsock2.h>

#include "tools/shell/update_download.h"

#include "base/http_exchange.h"
#include "base/string_convert.h"
#include "base/wait_bound.h"
#include "tools/shell/pending_file.h"
#include "tools/shell/update_server.h"

cUpdateDownloader::cUpdateDownloader(const wchar_t* target_path, const wchar_t* download_address)
    : file(nullptr), path(target_path), address(download_address), status(DOWNLOAD_INCOMPLETE), received(0)
{
}

// Run writes into the members: the job ends before they go.
cUpdateDownloader::~cUpdateDownloader()
{
    Stop(4000);
}

uint32_t cUpdateDownloader::Run()
{
    cPendingFile pending;
    if (!pending.Create(path.Text()))
        return DOWNLOAD_CANNOT_CREATE;
    uint32_t result = Transfer(&pending.File());
    if (result == DOWNLOAD_COMPLETE && !pending.Commit())
        return DOWNLOAD_CANNOT_CREATE;
    return result;
}

uint32_t cUpdateDownloader::Transfer(cFileIOTarget* target)
{
    file = target;
    _guardchar<char> url;
    str_from_wstr_utf8(address.Text(), -1, url);
    cHttpRequest request;
    if (!request.SetUrl(url.Text()) || !start_update_sockets())
        return DOWNLOAD_REFUSED;
    request.version = HTTP_VERSION_1_1;
    // The target holds this transfer only, whatever it held before.
    received = 0;
    status = DOWNLOAD_INCOMPLETE;
    if (!file || !file->Seek(0) || !file->SetSize(0))
        return DOWNLOAD_WRITE_ERROR;

    cHttpTransport transport;
    cWaitBound bound(0, this);
    http_exchange(request, transport, *this, &bound);
    if (HasContentLength() && content_length != 0 && received == content_length)
        return DOWNLOAD_COMPLETE;
    if (status == DOWNLOAD_INCOMPLETE && IsStopRequested())
        return DOWNLOAD_STOPPED;
    return status;
}

bool cUpdateDownloader::OnHeadersDone()
{
    if (status_code == 200)
        return true;
    status = DOWNLOAD_SERVER_ERROR;
    return false;
}

bool cUpdateDownloader::OnBody(const uint8_t* data, uint32_t length, uint64_t offset)
{
    if (file->Write(data, length) != int32_t(length)) {
        status = DOWNLOAD_WRITE_ERROR;
        return false;
    }
    bool go_on = true;
    if (HasContentLength() && content_length != 0)
        go_on = Notify(double(offset) * 100.0 / double(content_length));
    received += length;
    if (go_on && !IsStopRequested())
        return true;
    status = DOWNLOAD_STOPPED;
    return false;
}
