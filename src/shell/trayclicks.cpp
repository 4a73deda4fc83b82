#include "trayclicks.h"

bool TrayClicks::click(qint64 ms)
{
    if (last_ && ms >= *last_ && ms - *last_ <= interval_) {
        last_.reset();
        pending_ = true;
        return true;
    }
    last_ = ms;
    return false;
}

void TrayClicks::reported()
{
    last_.reset();
    pending_ = false;
}

bool TrayClicks::takePending()
{
    const bool pending = pending_;
    pending_ = false;
    return pending;
}
