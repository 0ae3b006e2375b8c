#pragma once
// An X server of the test's own (Xvfb, rendering through Mesa), for tests
// that type keys: keyboard focus is one per server, so tests running side by
// side on a shared display would take it from each other.

#include <string>

class XvfbServer
{
public:
    /// Starts Xvfb with one screen of this size on a free display number and
    /// waits until it takes connections; Name() is empty when that failed.
    explicit XvfbServer(int width = 1280, int height = 1024);
    /// Stops the server.
    ~XvfbServer();
    /// Stops the server now, as a server that ends under its clients does.
    void Stop();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    /// The display name (":N"), for DISPLAY.
    const std::string& Name() const { return m_name; }

private:
    int m_pid = -1;
    std::string m_name;
};
