#pragma once
// The process-wide diagnostic log: numbered lines in "Data/messageLog.txt",
// each flushed at once, and the engine's modal warning box.
//
// One instance per process, made by the first Instance() call and never
// destroyed by the engine. When the file cannot be created an "Error!" box is
// shown once and later messages are counted but lost. One writer at a time.
//
// The box itself belongs to the platform layer, which installs its shower
// with SetBoxShower when the library loads; until then (and in programs
// without it) boxes go to standard error.

#include "COsgSettings.h"

#include <string>

class CMessageLog : public COsgSettings
{
public:
    static CMessageLog* Instance();
    /// The file the log is made in (default "Data/messageLog.txt"); only a
    /// call before the first Instance() has an effect. A checking program
    /// that must not write into the folder it reads passes "/dev/null".
    static void UseFile(const std::string& path);

    /// Writes "MSG %4d <text> " as one line and counts it, and hands the text
    /// to the content findings (CContentFindings). Always true.
    bool WriteToLog(const std::string& message);
    bool WriteToLog(const char* message) { return WriteToLog(std::string(message ? message : "")); }
    /// Numbers are not messages: these write nothing and count nothing.
    bool WriteToLog(int);
    bool WriteToLog(float);

    /// Modal box with an OK button (standard error when unattended); the log
    /// file is not touched. Always true.
    bool DisplayMessage(const std::string& text, const std::string& caption);

    int GetMessageCount() const { return m_messageCount; }

    /// Shows a modal box: text, caption. Null restores standard error.
    using BoxShower = void (*)(const std::string& text, const std::string& caption);
    static void SetBoxShower(BoxShower shower);

    ~CMessageLog();

protected:
    CMessageLog();
    /// Truncates the file and writes the two header lines.
    bool InitLog(const std::string& path);
    std::string GetMessageCountString() const;
    /// Writes the two closing lines and closes the file.
    bool CloseLog();

    friend class CMessageLogTestAccess;

private:
    int m_messageCount = 0;
};
