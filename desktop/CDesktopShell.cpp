#include "CDesktopShell.h"

#include "CDesktopMessages.h"

#include "CMessageLog.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace
{
const QString kCaption = QStringLiteral("VexamarkMFC");

void fail(QWidget* parent, const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
    CDesktopMessages::Show(parent, QString::fromStdString(text), kCaption);
}

// With VEXAMARK_OPEN_LOG set, what would be handed to the desktop is
// appended to that file as "VERB TARGET" instead, so unattended runs open
// nothing and can be checked. True when the request went there.
bool divertedToLog(const char* verb, const std::string& target)
{
    const char* logPath = std::getenv("VEXAMARK_OPEN_LOG");
    if (!logPath || !*logPath) return false;
    std::FILE* log = std::fopen(logPath, "a");
    if (!log)
    {
        CMessageLog::Instance()->WriteToLog(std::string("Cannot append to ") + logPath + " (VEXAMARK_OPEN_LOG)");
        return true;
    }
    std::fprintf(log, "%s %s\n", verb, target.c_str());
    std::fclose(log);
    return true;
}

bool exists(QWidget* parent, const std::string& path)
{
    std::error_code error;
    if (std::filesystem::exists(path, error)) return true;
    fail(parent, "Cannot find " + path);
    return false;
}
}

bool CDesktopShell::Open(QWidget* parent, const std::string& path)
{
    if (!exists(parent, path)) return false;
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (divertedToLog("open", url.toString(QUrl::FullyEncoded).toStdString())) return true;
    if (QDesktopServices::openUrl(url)) return true;
    fail(parent, "No program could be started to open " + path);
    return false;
}

bool CDesktopShell::Explore(QWidget* parent, const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return Open(parent, folder);
}

bool CDesktopShell::Print(QWidget* parent, const std::string& path)
{
    if (!exists(parent, path)) return false;
    if (divertedToLog("print", std::string(PrintCommand()) + " " + path)) return true;
    auto* process = new QProcess(parent);
    process->setProgram(QString::fromLatin1(PrintCommand()));
    process->setArguments({QString::fromStdString(path)});
    QObject::connect(process, &QProcess::errorOccurred, process, [process, parent, path](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        fail(parent, std::string("Cannot print ") + path + ": the print command \"" + PrintCommand() +
                         "\" could not be started");
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, parent, path](int code, QProcess::ExitStatus) {
        const QString said = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
        if (code != 0)
            fail(parent, "Printing " + path + " failed" + (said.isEmpty() ? std::string() : ": " + said.toStdString()));
        process->deleteLater();
    });
    process->start();
    return true;
}
