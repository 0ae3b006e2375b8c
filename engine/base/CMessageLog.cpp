#include "CMessageLog.h"

#include "CContentFindings.h"

#include <cstdio>

namespace
{
CMessageLog* g_instance = nullptr;
std::string g_logPath = "Data/messageLog.txt";

void showOnStandardError(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

// Constant-initialised, so a shower installed by another file's static
// initialiser is never overwritten.
CMessageLog::BoxShower g_boxShower = nullptr;
}

void CMessageLog::SetBoxShower(BoxShower shower)
{
    g_boxShower = shower;
}

void CMessageLog::UseFile(const std::string& path)
{
    g_logPath = path;
}

CMessageLog* CMessageLog::Instance()
{
    if (!g_instance) g_instance = new CMessageLog();
    return g_instance;
}

CMessageLog::CMessageLog()
{
    if (!InitLog(g_logPath)) DisplayMessage("Unable to create messageLog", "Error!");
}

CMessageLog::~CMessageLog()
{
    CloseLog();
}

bool CMessageLog::InitLog(const std::string& path)
{
    if (!Open(path, false)) return false;
    WriteString("Start Vexamark LogFile v0.1");
    WriteString(" ");
    return true;
}

std::string CMessageLog::GetMessageCountString() const
{
    char number[32];
    std::snprintf(number, sizeof(number), "%4d", m_messageCount);
    return std::string("MSG ") + number + " ";
}

bool CMessageLog::WriteToLog(const std::string& message)
{
    if (IsOpen()) WriteString(GetMessageCountString() + message);
    CContentFindings::Report(message);
    ++m_messageCount;
    return true;
}

bool CMessageLog::WriteToLog(int)
{
    return true;
}

bool CMessageLog::WriteToLog(float)
{
    return true;
}

bool CMessageLog::DisplayMessage(const std::string& text, const std::string& caption)
{
    (g_boxShower ? g_boxShower : showOnStandardError)(text, caption);
    return true;
}

bool CMessageLog::CloseLog()
{
    if (!IsOpen()) return true;
    WriteString(" ");
    WriteString("End Vexamark LogFile v0.1");
    if (Close()) return true;
    DisplayMessage("Unable to close Message Log", "Error!");
    return false;
}
