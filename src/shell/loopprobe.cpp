#include "loopprobe.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

#include <memory>

Q_LOGGING_CATEGORY(lcLoop, "scrawlix.loop", QtWarningMsg)

void startLoopProbe(QObject* parent)
{
    if (!lcLoop().isInfoEnabled())
        return;
    // A timer that should fire every 5 ms: the time between two firings is how long the loop
    // was away, nested loops (dialogs, waits) included, as those run timers too.
    auto* timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(5);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [clock] {
        const qint64 gap = clock->restart();
        if (gap >= 25)
            qCInfo(lcLoop, "loop gap %lld ms", static_cast<long long>(gap));
    });
    timer->start();
    qCInfo(lcLoop, "loop probe on");
}
