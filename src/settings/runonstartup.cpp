#include "runonstartup.h"

#include "platform/messagebox.h"
#include "platform/startupentry.h"

#include <QCoreApplication>

static void tellCannotAccess(MessageBoxes& messages, StartupEntry::Result result)
{
    if (result == StartupEntry::Result::CannotAccess)
        messages.Show(QStringLiteral("Error.  Cannot Access The Subkey."), mb::Critical,
                      QStringLiteral("Error"));
}

void AddToStartup(StartupEntry& entry, MessageBoxes& messages)
{
    tellCannotAccess(messages, entry.Add(QCoreApplication::applicationFilePath()));
}

void RemoveFromStartup(StartupEntry& entry, MessageBoxes& messages)
{
    tellCannotAccess(messages, entry.Remove());
}
