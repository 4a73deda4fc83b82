#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QPrinter;

// The modal common dialogs. Filters come in Qt's form ("Text (*.txt);;All (*)").
class DialogBackend
{
public:
    virtual ~DialogBackend() = default;

    // The chosen file name, or an empty string when the user cancelled.
    virtual QString OpenFile(const QString& title, const QString& filter,
                             const QString& defaultSuffix, const QString& initialName) = 0;
    virtual QString SaveFile(const QString& title, const QString& filter,
                             const QString& defaultSuffix, const QString& initialName) = 0;
    // Lets the user pick and set up a printer. True on OK.
    virtual bool Printer(const QString& title, QPrinter* printer) = 0;
    // The picked colour, or nothing when the user cancelled.
    virtual std::optional<QColor> Color(const QString& title, const QColor& initial) = 0;
};
