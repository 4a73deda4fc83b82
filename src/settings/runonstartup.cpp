#include "runonstartup.h"

#include "platform/messagebox.h"
#include "platform/startupentry.h"

#include <QCoreApplication>

static void tellCannotAccess(MessageBoxes& messages, StartupEntry::Result result)
{
    if (result == StartupEntry::Result::CannotAccess)
        messages.Show(QCoreApplication::translate("Settings", "Error.  Cannot Access The Subkey."),
                      mb::Critical, QCoreApplication::translate("Settings", "Error"));
}

void AddToStartup(StartupEntry& entry, MessageBoxes& messages)
{
    tellCannotAccess(messages, entry.Add(QCoreApplication::applicationFilePath()));
}

void RemoveFromStartup(StartupEntry& entry, MessageBoxes& messages)
{
    tellCannotAccess(messages, entry.Remove());
}
