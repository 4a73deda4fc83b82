#pragma once

#include <QString>

// The command line stored in the machine-wide Run key for the program at nativeProgramPath
// (backslash separators): the program's folder, a backslash, the file name without its
// extension and ".exe". The folder is kept as it is, spaces included and unquoted, so
// C:\Tools\Sketch.EXE becomes C:\Tools\Sketch.exe.
//
// Kept apart from the registry code so it builds and is tested on every system.
QString runKeyValueForProgram(const QString& nativeProgramPath);
