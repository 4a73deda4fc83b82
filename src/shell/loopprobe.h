#pragma once

class QObject;

// For the benchmarks: when the "scrawlix.loop" logging category is on, notes every stretch of
// 25 ms or more in which the event loop did not get round to its timers, as "loop gap N ms".
// Does nothing, and costs nothing, when the category is off.
void startLoopProbe(QObject* parent);
