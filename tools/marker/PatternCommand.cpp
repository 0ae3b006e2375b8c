#include "PatternCommand.h"

#include "MarkerArt.h"
#include "PrintedMarker.h"

#ifdef VEXAMARK_HAVE_TRACK_CORE
#include "vxt/Detector.h"
#include "vxt/ImageView.h"
#include "vxt/MarkerInfo.h"
#endif

namespace vxtools {

#ifndef VEXAMARK_HAVE_TRACK_CORE
bool PatternCommand::run(const std::string&, const std::string& outPath, std::string& error) {
    error = "cannot write '" + outPath +
            "': pattern files are not available in this build (the marker-detection core is not part of it)";
    return false;
}
#else
bool PatternCommand::run(const std::string& innerSource, const std::string& outPath, std::string& error) {
    Image inner;
    if (!MarkerArt::load(innerSource, kTrainingMarkerPx / 2, inner, error)) return false;
    const Image printed = PrintedMarker::compose(inner, kTrainingMarkerPx);
    int x0, y0, side;
    PrintedMarker::markerBox(kTrainingMarkerPx, x0, y0, side);
    vxt::ImageView view;
    view.data = printed.data().data();
    view.width = printed.width();
    view.height = printed.height();
    view.format = vxt::PixelFormat::RGB;
    vxt::MarkerInfo square;  // id -1: vertex 0 is the printed top-left, then clockwise
    const double corners[4][2] = {{double(x0), double(y0)},
                                  {double(x0 + side), double(y0)},
                                  {double(x0 + side), double(y0 + side)},
                                  {double(x0), double(y0 + side)}};
    for (int k = 0; k < 4; ++k) {
        square.vertex[k][0] = corners[k][0];
        square.vertex[k][1] = corners[k][1];
    }
    square.pos[0] = x0 + side / 2.0;
    square.pos[1] = y0 + side / 2.0;
    square.area = side * side - (side / 2) * (side / 2);
    const vxt::Status st = vxt::Detector::savePattern(view, square, outPath);
    if (!st) error = "cannot write '" + outPath + "': " + st.message();
    return bool(st);
}
#endif

}  // namespace vxtools
