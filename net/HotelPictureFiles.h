// The two picture files of the plan dialog in the user's temporary directory:
// the waiting picture, written from the program's resources, and the hotel
// picture, downloaded. They are the only files the program writes.
#pragma once

#include <cstddef>
#include <string_view>

namespace qx {

inline constexpr char kHotelPictureName[] = "hotel_image.jpg";
inline constexpr char kWaitPictureName[] = "wait_image.jpg";
// Width of a picture path field, zero included.
inline constexpr std::size_t kPicturePathWidth = 256;

// name joined to the temporary directory, written into path (width bytes with
// the zero). A path that does not fit whole leaves path empty and returns
// false: no picture is written or shown then.
bool TempFilePath(std::string_view name, char* path, std::size_t width);

template <std::size_t N>
bool TempFilePath(std::string_view name, char (&path)[N]) {
    return TempFilePath(name, path, N);
}

// Writes the "WAIT_IMAGE" resource of type "JPEG" of the running program to
// waitPath, replacing any file there. True when every byte was written.
bool ExtractWaitImage(const char* waitPath);

// Deletes the hotel picture, then the waiting picture; a file that is not
// there is no error.
void DeletePictureFiles(const char* hotelPath, const char* waitPath);

}  // namespace qx
