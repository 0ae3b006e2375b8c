#pragma once
// Shared by the media entity tests: a marker state record that a test moves
// frame by frame, and the messages the engine logged.

#include "MarkerState.h"

#include <osg/Matrixd>

#include <string>
#include <vector>

/// A marker as its content object sees it: each call gives the state record
/// of one update, with the flags the tracked marker sets.
class MarkerScript
{
public:
    /// Seen at `pose`; `reappeared` as after four seconds or more away.
    const MarkerState& Seen(const osg::Matrixd& pose = osg::Matrixd(), bool reappeared = false);
    const MarkerState& Lost();

private:
    MarkerState m_state;
    osg::Matrixd m_pose, m_previous;
};

/// The texts of the messages logged so far in the current folder's log.
std::vector<std::string> LoggedMessages();
/// How many logged messages start with `start`.
int CountLogged(const std::string& start);
