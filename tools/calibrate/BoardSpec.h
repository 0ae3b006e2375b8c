#pragma once
// The chessboard of a calibration: inner corners per row and column and the
// side of one square.

#include <string>

namespace vxtools
{
struct BoardSpec
{
    int cols = 0;          // inner corners along a row
    int rows = 0;          // inner corners along a column
    double squareMm = 0.0; // side of one square, mm

    /// Reads "COLSxROWS" (each 2..100, e.g. "9x6"); false with `error` set
    /// (what was expected and what was found) otherwise.
    static bool parseSize(const std::string& text, BoardSpec& board, std::string& error);
};
}
