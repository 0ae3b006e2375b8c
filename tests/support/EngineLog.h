#pragma once
// Helpers for tests that read what the engine logged or need a display.

#include <string>
#include <vector>

/// The texts of the numbered "MSG" lines of a log file's contents, in order.
std::vector<std::string> LogMessages(const std::string& logText);

/// True when an X display is available (the test command starts Xvfb).
bool HaveDisplay();
