#include "win32instance.h"

#include <windows.h>

namespace {

// Names of this login session: two users on one machine each run their own program.
QString sessionName()
{
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return QStringLiteral("io.github.scrawlix.Scrawlix-%1").arg(session);
}

} // namespace

Win32InstanceChannel::Win32InstanceChannel() : pipe_(sessionName()) {}

Win32InstanceChannel::~Win32InstanceChannel()
{
    if (mutex_)
        CloseHandle(static_cast<HANDLE>(mutex_));
}

InstanceChannel::Claim Win32InstanceChannel::claim(const QList<InstanceAction>& actions,
                                                   Receiver received)
{
    // "Local\" keeps the mutex to this session's namespace.
    const std::wstring name = (QStringLiteral("Local\\") + sessionName()).toStdWString();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        problem_ = QStringLiteral("CreateMutexW failed with error %1").arg(GetLastError());
        return Claim::Unavailable;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return Claim::AlreadyRunning;
    }
    mutex_ = mutex;
    const Claim pipe = pipe_.claim(actions, std::move(received));
    if (pipe == Claim::First)
        return Claim::First;
    // The mutex is ours, so no other program of ours listens; yet the pipe could not be made.
    problem_ = pipe_.problem();
    return Claim::Unavailable;
}

bool Win32InstanceChannel::send(const InstanceRequest& request, QString* error)
{
    return pipe_.send(request, error);
}

QString Win32InstanceChannel::problem() const
{
    return problem_;
}
