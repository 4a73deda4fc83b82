#pragma once

// Where the help lives. An installed program finds it in its data folder, share/scrawlix beside
// its bin folder, whatever the prefix; a program run from its build folder finds it beside itself.
// On Windows the help sits beside the program.

#include <QString>
#include <QStringList>

// The folders to look in, first choice first.
QStringList helpFolders(const QString& programDir, bool windows);

// Scrawlix_Help.chm in the first of those folders that has it; when none has it, the name beside
// the program, so that Help says the file is unavailable.
QString findHelpFile(const QString& programDir, bool windows);

// The index of the help's HTML pages, which lie in help/ beside the help file.
QString helpPagesIndex(const QString& helpFile);
