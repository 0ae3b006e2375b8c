#pragma once
// Values of one line of an entity block kept as tokens (the tag first): the
// animation control and character blocks are read from their kept lines, so
// the same lines are written back when the object is saved.
//
// A value that is missing or not a number prints one warning line naming the
// tag, what was expected and what was found, and the caller's fallback is used.

#include "CTagBlock.h"

#include <osg/Vec3f>

#include <string>
#include <vector>

class CEntityBlockValues
{
public:
    /// The first value after the tag as a word, or `fallback` (with a warning).
    static std::string Word(const std::vector<std::string>& line, const std::string& fallback);
    /// The first value as an integer, or `fallback` (with a warning).
    static int Integer(const std::vector<std::string>& line, int fallback);
    /// The first value as a number, or `fallback` (with a warning).
    static double Number(const std::vector<std::string>& line, double fallback);
    /// The first three values as numbers (a colour, a direction), or
    /// `fallback` (with a warning) when they are not three numbers.
    static osg::Vec3f Vec3(const std::vector<std::string>& line, const osg::Vec3f& fallback);
    /// The block's own lines (without its opening and closing lines and
    /// without the lines of blocks nested in it).
    static std::vector<std::vector<std::string>> Body(const std::vector<CTagBlock::KeptLine>& block);

private:
    /// The line closing the block opened at `opening`, searched before
    /// `end`; 0 when the line opens no block.
    static size_t ClosingLine(const std::vector<CTagBlock::KeptLine>& block, size_t opening, size_t end);
};
