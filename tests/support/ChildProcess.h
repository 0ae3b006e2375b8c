#pragma once
// Runs a program as a child process with its output captured, so tests can
// drive the real host programs.

#include <string>
#include <vector>

class ChildProcess
{
public:
    /// Starts `program` with `args` in `folder`; extra "NAME=VALUE" entries are
    /// added to the environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();

    /// Waits at most `seconds`; true when the process ended (then ExitCode is valid).
    bool Wait(double seconds);
    /// Exit code, or 128 + signal number when it was killed by a signal.
    int ExitCode() const { return m_exitCode; }
    const std::string& StandardOutput() const { return m_stdout; }
    const std::string& StandardError() const { return m_stderr; }
    int Pid() const { return m_pid; }
    void Kill();

private:
    void Drain(bool block);

    int m_pid = -1;
    int m_outFd = -1, m_errFd = -1;
    bool m_finished = false;
    int m_exitCode = -1;
    std::string m_stdout, m_stderr;
};
