#include "CVideoStream.h"

#include <cstring>

CVideoStream::CVideoStream(int width, int height)
{
    allocateImage(width, height, 1, GL_BGRA, GL_UNSIGNED_BYTE);
    std::memset(data(), 0, getTotalSizeInBytes());
}
