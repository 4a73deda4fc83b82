#pragma once

// Reading the stored defaults. Values written by the program are plain decimal numbers; anything
// else (text, a number outside its list, a fill style that names no button) falls back to the
// key's start-up default. Nothing here writes to the store.

#include <QString>

namespace defaults {
inline const QString PenSize = QStringLiteral("25");
inline const QString PenColor = QStringLiteral("8");
inline const QString Font = QStringLiteral("0");
inline const QString Tool = QStringLiteral("0");
inline const QString Fill = QStringLiteral("1");
inline const QString HotKey = QStringLiteral("V");
} // namespace defaults

// A plain whole number within [low, high], or nothing. Surrounding blanks are tolerated.
bool parseWholeNumber(const QString& text, int low, int high, int* out);

// The size 1..100.
int storedPenSize(const QString& text);
// The colour list position 0..20.
int storedPenColor(const QString& text);
// The font list position; 0 when out of the list of fontCount fonts.
int storedFont(const QString& text, int fontCount);
// The tool number 0 .. toolCount() - 1 (one less than the tool code).
int storedTool(const QString& text);
// The fill button index, 1 (Outline) or 2 (Solid).
int storedFill(const QString& text);
// The check state of the run-on-startup box: true only for a stored 1.
bool storedRunOnStartup(const QString& text);
