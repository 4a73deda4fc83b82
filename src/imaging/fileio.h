#pragma once

// The pieces of saving, opening and printing that SaveImage, OpenImage and PrintImage are made
// of.

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <memory>

// A system error phrase ("Permission denied") as a sentence for a message box.
QString errorSentence(QString text);

class QPrinter;

// The file types both file dialogs offer, in the common dialog's "description|pattern" form,
// the descriptions in the user's language.
QString imageFileFilter();

// Writes the image as a BMP file, replacing the file of that name only once the whole file has
// been written; a failed write leaves an existing file as it was. On failure, reason says why.
bool writeBmpFile(const QImage& image, const QString& path, QString* reason);

// The printer that printing goes to: the default printer, else the first one there is. Null when
// there is none.
std::unique_ptr<QPrinter> chooseSystemPrinter();

// A file's full name as messages show it, with the platform's separators: control characters
// (a newline is allowed in a name) as U+FFFD, and a name longer than ShownPathLength characters
// cut in its middle, so that no name makes a box higher or wider than the screen.
constexpr int ShownPathLength = 90;
QString shownPath(const QString& path);
