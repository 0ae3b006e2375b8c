// The capture device settings file ("Data/DSVideoSetings.dat"): the device,
// its stable name, the format, the flips, de-interlacing and the preferred
// formats, read as a capture stream reads them before it connects. No
// device is opened.
#include "FuzzInput.h"

#include "DSCaptureStream.h"

#include <osg/ref_ptr>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    // The stream reads its file from the working folder, the scratch folder.
    if (fuzz::WriteInput(data, size, "Data/DSVideoSetings.dat").empty()) return 0;
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream;
    stream->LoadSettings();
    return 0;
}
