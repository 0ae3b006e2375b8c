#include "CDesktopMessages.h"

#include "CMessageBox.h"
#include "CSaveFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdio>

namespace
{
void report(const QString& text, const QString& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}

QWidget* activeWindow()
{
    return QApplication::activeWindow();
}

// "Model Data (*.dat);;All (*)" from the request's filters.
QString filterText(const CSaveFileDialog::Request& request)
{
    QStringList parts;
    for (const auto& filter : request.filters)
        parts << QString::fromStdString(filter.first + " (" + filter.second + ")");
    return parts.join(QStringLiteral(";;"));
}

bool saveDialog(const CSaveFileDialog::Request& request, std::string& chosenPath)
{
    QFileDialog::Options options;
    if (!request.askBeforeOverwrite) options |= QFileDialog::DontConfirmOverwrite;
    const QString name = QFileDialog::getSaveFileName(activeWindow(), QString::fromStdString(request.title),
                                                      QString::fromStdString(request.initialName),
                                                      filterText(request), nullptr, options);
    if (name.isEmpty()) return false;
    chosenPath = CSaveFileDialog::WithDefaultExtension(name.toStdString(), request.defaultExtension);
    return true;
}
}

void CDesktopMessages::Show(QWidget* parent, const QString& text, const QString& caption)
{
    if (CMessageBox::IsUnattended()) return report(text, caption);
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool CDesktopMessages::AskOkCancel(QWidget* parent, const QString& text, const QString& caption,
                                   bool unattendedAnswer)
{
    if (CMessageBox::IsUnattended())
    {
        report(text, caption);
        return unattendedAnswer;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

void CDesktopMessages::InstallEngineHooks()
{
    CMessageBox::SetHook([](const std::string& text, const std::string& caption) {
        Show(activeWindow(), QString::fromStdString(text), QString::fromStdString(caption));
    });
    CSaveFileDialog::SetHook(&saveDialog);
}

void CDesktopMessages::RemoveEngineHooks()
{
    CMessageBox::SetHook(nullptr);
    CSaveFileDialog::SetHook(nullptr);
}
