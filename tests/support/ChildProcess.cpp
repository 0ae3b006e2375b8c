#include "ChildProcess.h"

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder, const std::vector<std::string>& environment)
{
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("ChildProcess: pipe failed");
    m_pid = ::fork();
    if (m_pid < 0) throw std::runtime_error("ChildProcess: fork failed");
    if (m_pid == 0)
    {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(out[0]);
        ::close(err[0]);
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        for (const std::string& e : environment) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
    ::fcntl(m_outFd, F_SETFL, O_NONBLOCK);
    ::fcntl(m_errFd, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess()
{
    if (!m_finished) Kill();
    if (m_outFd >= 0) ::close(m_outFd);
    if (m_errFd >= 0) ::close(m_errFd);
}

void ChildProcess::Drain(bool block)
{
    char buf[4096];
    for (;;)
    {
        pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
        if (::poll(fds, 2, block ? 50 : 0) <= 0) return;
        bool any = false;
        for (int i = 0; i < 2; ++i)
        {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            const ssize_t n = ::read(fds[i].fd, buf, sizeof(buf));
            if (n > 0)
            {
                (i == 0 ? m_stdout : m_stderr).append(buf, static_cast<size_t>(n));
                any = true;
            }
        }
        if (!any) return;
    }
}

bool ChildProcess::Wait(double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!m_finished)
    {
        Drain(true);
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid)
        {
            m_finished = true;
            m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            Drain(false);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) return false;
    }
    return true;
}

void ChildProcess::Kill()
{
    if (m_finished || m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_finished = true;
    m_exitCode = 128 + SIGKILL;
}
