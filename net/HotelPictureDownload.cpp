#include "net/HotelPictureDownload.h"

#include "framework/ScopedHandles.h"
#include "net/PathText.h"

#include <string>

namespace qx {
namespace {

// A new empty file with a unique name in the hotel picture's directory, or
// empty when none can be had.
std::string CreatePrivateFile(const char* hotelPath) {
    const std::string directory(DirectoryOf(hotelPath));
    char path[MAX_PATH];
    if (directory.empty() || GetTempFileNameA(directory.c_str(), "qxp", 0, path) == 0) {
        return std::string();
    }
    return path;
}

}  // namespace

void HotelPictureDownload::Close() {
    closed_ = true;
    if (runningJob_) {
        runningJob_->stopWaiting = true;
    }
}

bool DownloadHotelPicture(HWND window, HotelPictureDownload& download, PictureBox& box, const char* url,
                          const char* hotelPath, DWORD timeLimitMs) {
    if (download.closed_ || download.runningJob_ || !hotelPath || !hotelPath[0]) {
        return true;
    }
    const std::string privateFile = CreatePrivateFile(hotelPath);
    if (privateFile.empty()) {
        return true;
    }
    if (download.privateFileMade) {
        download.privateFileMade(privateFile.c_str());
    }
    // The hotel picture file stays empty until a whole picture replaces it.
    // Shared for reading, like every open of the picture files: another
    // program reading the file must not make the open fail. It is closed
    // again at once, before the picture is copied into it.
    {
        const KernelHandle emptied(CreateFileA(hotelPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    // The job deletes the private file when the last of its two users lets
    // go, or with the process.
    HttpFetchJobPtr job = HttpFetchJob::Create(url ? url : "", nullptr, privateFile, true);
    if (!job->holdsOutput()) {
        // Nothing would remove the file later: it goes now, and the picture with it.
        DeleteFileA(privateFile.c_str());
        return true;
    }
    download.runningJob_ = job.get();
    const int result = WaitForFetch(*job, FetchFileWorker, timeLimitMs);
    download.runningJob_ = nullptr;
    if (result != kFetchOk || download.closed_) {
        return true;
    }
    if (job->CopyOutputTo(hotelPath)) {
        box.LoadFile(hotelPath);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return true;
}

}  // namespace qx
