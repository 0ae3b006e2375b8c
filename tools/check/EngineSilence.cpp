#include "EngineSilence.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

EngineSilence::EngineSilence()
{
    std::cout.flush();
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    m_saved = dup(STDOUT_FILENO);
    if (m_saved >= 0) dup2(null, STDOUT_FILENO);
    close(null);
}

EngineSilence::~EngineSilence()
{
    if (m_saved < 0) return;
    std::cout.flush();
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
}
