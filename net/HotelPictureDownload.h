// Downloading the hotel picture of the plan window into its temporary file
// and showing it in the window's picture box.
//
// The hotel picture file is emptied first. The worker writes into a private
// file of its own beside it; only a complete picture (status 200) is copied
// onto the hotel picture, on the user-interface thread, and only while the
// window is still open. A download the window stopped waiting for thus never
// leaves a file behind (its private file goes with its job, or with the
// process when the program ends first) and never touches the picture of a
// later window.
#pragma once

#include "controls/PictureBox.h"
#include "net/HttpFetchJob.h"

namespace qx {

// The hotel picture is given up after this long.
inline constexpr DWORD kPictureTimeLimitMs = 5000;

// The plan window's hold on its picture download.
class HotelPictureDownload {
public:
    // The window is closing: a download being awaited is given up at once,
    // and nothing is moved, shown or left behind afterwards.
    void Close();
    bool closed() const { return closed_; }

    // The job being awaited, or null.
    HttpFetchJob* runningJob() const { return runningJob_; }

    // Called, when set, with the private file's path right after the file is
    // made and before the download holds it: a test stands in there for
    // another program that opens the file.
    void (*privateFileMade)(const char* path) = nullptr;

private:
    friend bool DownloadHotelPicture(HWND, HotelPictureDownload&, PictureBox&, const char*, const char*, DWORD);

    HttpFetchJob* runningJob_ = nullptr;
    bool closed_ = false;
};

// Fetches url into hotelPath while dispatching messages (at most timeLimitMs),
// then has box show the picture and redraws window. On any failure the box
// keeps what it shows. Always true.
bool DownloadHotelPicture(HWND window, HotelPictureDownload& download, PictureBox& box, const char* url,
                          const char* hotelPath, DWORD timeLimitMs = kPictureTimeLimitMs);

}  // namespace qx
