#include "capturesession.h"

void CaptureSession::setState(State state)
{
    if (state == state_)
        return;
    state_ = state;
    Q_EMIT stateChanged(state);
}

void CaptureSession::showing()
{
    if (state_ != State::Kept)
        setState(State::Showing);
}

void CaptureSession::kept()
{
    setState(State::Kept);
}

void CaptureSession::shownAgain()
{
    setState(State::Showing);
}

void CaptureSession::sentToTray()
{
    if (state_ != State::Kept)
        setState(State::Waiting);
}
