#pragma once

// The program's texts in the user's language. The English texts are in the code; a translation
// is a compiled Qt catalogue, scrawlix_<language>.qm, in the translations folder beside the help
// (the installed data folder, or the folder of the program run from its build or on Windows).
// Qt's own texts (the standard buttons, the file and print dialogs) come from Qt's catalogue
// qtbase_<language>.qm. Without a catalogue for the language the texts stay English.

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

// The folders a catalogue of ours is looked for in, first choice first.
QStringList translationFolders(const QString& programDir, bool windows);

// Installs into the application the catalogues found for the locale: ours from the first folder
// that has one, and Qt's from Qt's translations folder, else from ours. They belong to the
// application and go with it. Returns the names of the files loaded.
QStringList installTranslations(QCoreApplication& app, const QLocale& locale,
                                const QStringList& folders);

// The same for the user's locale and the program's own folders.
QStringList installTranslations(QCoreApplication& app);
