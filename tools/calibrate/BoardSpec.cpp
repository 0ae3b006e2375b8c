#include "BoardSpec.h"

#include "CommandLine.h"

namespace vxtools
{
bool BoardSpec::parseSize(const std::string& text, BoardSpec& board, std::string& error)
{
    const size_t x = text.find('x');
    int cols = 0, rows = 0;
    if (x == std::string::npos || !CommandLine::toInt(text.substr(0, x), cols) ||
        !CommandLine::toInt(text.substr(x + 1), rows) || cols < 2 || rows < 2 || cols > 100 || rows > 100)
    {
        error = "--board expects COLSxROWS inner corners, each 2..100 (e.g. 9x6), found '" + text + "'";
        return false;
    }
    board.cols = cols;
    board.rows = rows;
    return true;
}
}
