#pragma once
// The console host run as a user runs it: on an X server of the test's own,
// in a copy of the prepared working folder, ended through its window's close
// button. Window tests of the real program derive their fixtures from it;
// the picture counts below are what they judge pictures by.

#include "ChildProcess.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HostOnScreen : public ::testing::Test
{
protected:
    /// The server is up, the driver open and the working folder copied.
    void SetUp() override;
    /// Starts `program` with `args` in the folder (unattended, on this
    /// server, sound to the null device unless `environment` says otherwise)
    /// and waits for its window.
    void Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {});
    /// Closes the window as a user does and waits for an orderly end.
    void Close();
    std::string Log() const;

    XvfbServer server;
    XWindowDriver x{server.Name()};
    TestFolder folder;
    std::unique_ptr<ChildProcess> host;
    Window window = 0;
};

/// Pixels of `picture` from row `top` down that pass `test`.
int CountWhere(const XWindowDriver::Picture& picture, bool (*test)(const uint8_t*), int top = 0);
/// Pixels whose colours in two pictures of one size differ by more than
/// `step` (the sum over the channels); 0 for pictures of different sizes.
int Differing(const XWindowDriver::Picture& a, const XWindowDriver::Picture& b, int step);
