#pragma once
// Lays printed markers with their names on A4 pages of a PDF for printing at 100 %.
// Each marker is drawn as vector black border plus its inner picture, inside a white
// quiet zone of 1/16 of the marker width on each side, inside a light dashed cutting
// line shared with its neighbours, and the name below.

#include <string>
#include <vector>

#include "Image.h"

namespace vxtools {

class MarkerSheet {
public:
    struct Entry {
        std::string name;
        Image inner;
    };

    static constexpr double kPageWidthMm = 210.0;
    static constexpr double kPageHeightMm = 297.0;

    explicit MarkerSheet(double markerWidthMm) : widthMm_(markerWidthMm) {}

    // Largest marker width in mm that fits one marker on an A4 page.
    static double maxWidthMm();

    // Markers per page with the current width (0 when one does not fit).
    int perPage() const;

    // Writes all entries to `path` (temporary sibling, then rename). Returns false with
    // `error` set when the width does not fit or the file cannot be written.
    bool write(const std::string& path, const std::vector<Entry>& entries, std::string& error) const;

private:
    int columns() const;
    int rows() const;

    double widthMm_;
};

}  // namespace vxtools
