#include "CEmptyVideoStream.h"

#include <cstring>

CEmptyVideoStream::CEmptyVideoStream(int width, int height) : CVideoStream(false)
{
    allocateImage(width, height, 1, GL_BGRA, GL_UNSIGNED_BYTE);
    setInternalTextureFormat(GL_RGBA);
    std::memset(data(), 0, getTotalSizeInBytes());
    m_valid = true;
}

CEmptyVideoStream::CEmptyVideoStream() : CEmptyVideoStream(640, 480) {}
