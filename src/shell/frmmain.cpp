#include "frmmain.h"

#include "platform/platform.h"
#include "program.h"
#include "startup.h"

#include <QCloseEvent>
#include <QTimer>

FrmMain::FrmMain(Program& program)
    : QWidget(nullptr), cmdlg(*program.platform().dialogs), program_(program)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Scrawlix"));
    // Borderless, and a tool window so that it gets no taskbar entry.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    tmrTimer = new QTimer(this);
    tmrTimer->setInterval(1);
}

void FrmMain::stopTimer()
{
    tmrTimer->stop();
}

FrmMain::~FrmMain() = default;

void FrmMain::Form_Load()
{
    runStartup(program_);
}

void FrmMain::Form_QueryUnload()
{
    // Closing is never cancelled.
}

void FrmMain::Form_Unload()
{
}

void FrmMain::setToolCursor(const QCursor& cursor)
{
    setCursor(cursor);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    Form_Unload();
}
