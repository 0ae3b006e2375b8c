#include "TruthTable.h"

#include <fstream>
#include <map>
#include <sstream>

namespace peerbench
{
namespace
{
std::vector<std::string> splitCommas(const std::string& line)
{
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) out.push_back(cell);
    return out;
}
}

bool TruthTable::load(const std::string& path, std::string& error)
{
    std::ifstream in(path);
    if (!in)
    {
        error = "cannot open '" + path + "'";
        return false;
    }
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = splitCommas(line);
    std::map<std::string, size_t> col;
    for (size_t i = 0; i < header.size(); ++i) col[header[i]] = i;
    const char* needed[] = {"frame", "marker", "visible", "x0", "y3", "tx", "tz", "occluded"};
    for (const char* name : needed)
        if (!col.count(name))
        {
            error = "'" + path + "': header lacks column '" + name + "'";
            return false;
        }
    std::map<std::string, int> markerIndex;
    m_frames.clear();
    for (int lineNo = 2; std::getline(in, line); ++lineNo)
    {
        if (line.empty()) continue;
        if (!readRow(line, header.size(), col, markerIndex, lineNo, path, error)) return false;
    }
    m_markers = static_cast<int>(markerIndex.size());
    for (std::vector<TruthMarker>& row : m_frames) row.resize(static_cast<size_t>(m_markers));
    return true;
}

bool TruthTable::readRow(const std::string& line, size_t columns, std::map<std::string, size_t>& col,
                         std::map<std::string, int>& markerIndex, int lineNo, const std::string& path,
                         std::string& error)
{
    try
    {
        const std::vector<std::string> cells = splitCommas(line);
        if (cells.size() < columns)
        {
            error = "'" + path + "': line " + std::to_string(lineNo) + ": expected " +
                    std::to_string(columns) + " columns, found " + std::to_string(cells.size());
            return false;
        }
        const int frame = std::stoi(cells[col["frame"]]);
        const std::string& name = cells[col["marker"]];
        if (!markerIndex.count(name)) markerIndex[name] = static_cast<int>(markerIndex.size());
        const int m = markerIndex[name];
        if (frame < 0 || frame > 1000000)
        {
            error = "'" + path + "': line " + std::to_string(lineNo) + ": bad frame number";
            return false;
        }
        if (static_cast<size_t>(frame) >= m_frames.size()) m_frames.resize(static_cast<size_t>(frame) + 1);
        std::vector<TruthMarker>& row = m_frames[static_cast<size_t>(frame)];
        if (static_cast<size_t>(m) >= row.size()) row.resize(static_cast<size_t>(m) + 1);
        TruthMarker& t = row[static_cast<size_t>(m)];
        t.visible = cells[col["visible"]] == "1";
        for (int k = 0; k < 4; ++k)
        {
            t.corner[k][0] = std::stod(cells[col["x" + std::to_string(k)]]);
            t.corner[k][1] = std::stod(cells[col["y" + std::to_string(k)]]);
        }
        t.t[0] = std::stod(cells[col["tx"]]);
        t.t[1] = std::stod(cells[col["ty"]]);
        t.t[2] = std::stod(cells[col["tz"]]);
        t.occluded = std::stod(cells[col["occluded"]]);
    }
    catch (const std::exception&)
    {
        error = "'" + path + "': line " + std::to_string(lineNo) + ": expected numbers, found '" + line + "'";
        return false;
    }
    return true;
}
}
