#include "FootageTruth.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

std::map<int, std::map<std::string, FootageTruth>> FootageTruth::Read(const std::string& path)
{
    std::map<int, std::map<std::string, FootageTruth>> all;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line))
    {
        std::stringstream s(line);
        std::vector<std::string> cells;
        for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
        if (cells.size() < 23) continue;
        FootageTruth t;
        t.visible = cells[2] == "1";
        for (int k = 0; k < 8; ++k) t.corners[k / 2][k % 2] = std::atof(cells[3 + k].c_str());
        for (int k = 0; k < 9; ++k) t.r[k / 3][k % 3] = std::atof(cells[11 + k].c_str());
        for (int k = 0; k < 3; ++k) t.t[k] = std::atof(cells[20 + k].c_str());
        all[std::atoi(cells[0].c_str())][cells[1]] = t;
    }
    return all;
}
