#pragma once
// The program's document. The engine holds everything the program shows, so
// the document is only the name the main window's title shows.

#include <QString>

class CVexamarkMFCDoc
{
public:
    /// "Untitled".
    const QString& GetTitle() const { return m_title; }
    /// The main window's title: the document's title and the program's name.
    QString FrameTitle() const;

private:
    QString m_title = QStringLiteral("Untitled");
};
