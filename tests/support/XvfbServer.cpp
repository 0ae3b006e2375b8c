#include "XvfbServer.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(int width, int height)
{
    int ready[2];
    if (::pipe(ready) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    m_pid = ::fork();
    if (m_pid == 0)
    {
        // The server writes its display number to descriptor 3 once it listens.
        ::dup2(ready[1], 3);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    std::string number;
    for (;;)
    {
        pollfd fd = {ready[0], POLLIN, 0};
        if (::poll(&fd, 1, 30000) <= 0) break;
        char c;
        if (::read(ready[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    ::close(ready[0]);
    if (!number.empty()) m_name = ":" + number;
}

XvfbServer::~XvfbServer()
{
    Stop();
}

void XvfbServer::Stop()
{
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}
