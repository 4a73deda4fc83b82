#pragma once

// Services that Qt itself provides well enough on every windowing system.

#include "platform/cursorposition.h"
#include "platform/dialogs.h"
#include "platform/messagebox.h"
#include "platform/shellopen.h"
#include "platform/taskbar.h"
#include "platform/topmost.h"

class QtMessageBoxes : public MessageBoxes
{
public:
    // The boxes stay off the taskbar through `taskbar` (may be null).
    explicit QtMessageBoxes(Taskbar* taskbar = nullptr) : taskbar_(taskbar) {}
    void Show(const QString& text, int style, const QString& title) override;

private:
    Taskbar* taskbar_;
};

class QtDialogs : public DialogBackend
{
public:
    QString OpenFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& initialName) override;
    QString SaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& initialName) override;
    bool Printer(const QString& title, QPrinter* printer) override;
    std::optional<QColor> Color(const QString& title, const QColor& initial) override;
};

class QtCursorPosition : public CursorPosition
{
public:
    QPoint GetCursorPos() override;
};

class QtShellOpen : public ShellOpen
{
public:
    bool Open(const QString& target) override;
};

// Stays-on-top through Qt's window flag; backends with a flicker-free way override this.
class QtTopMost : public TopMost
{
public:
    void SetTopMost(QWidget* window) override;
};
