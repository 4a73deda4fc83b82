#include "program.h"

#include "captureflow.h"
#include "frmmain.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "settings/settingsstore.h"
#include "toolbox/frmtoolbox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

Program::Program(std::unique_ptr<Platform> platform, std::unique_ptr<SettingsStore> settings)
    : platform_(std::move(platform)), settings_(std::move(settings))
{
    endProgram = [] { QCoreApplication::exit(0); };
    captureWait = waitForNextSecond;
}

Program::~Program()
{
    // Toolbox first: it refers to the canvas's dialog.
    for (int i = static_cast<int>(forms_.size()) - 1; i >= 0; --i)
        delete forms_[i].data();
}

FrmMain* Program::frmMain() const
{
    return frmMain_.data();
}

FrmToolbox* Program::frmToolbox() const
{
    return frmToolbox_.data();
}

void Program::registerForm(QWidget* form)
{
    forms_.append(form);
}

void Program::start()
{
    if (!frmMain_) {
        frmMain_ = new FrmMain(*this);
        registerForm(frmMain_);
    }
    frmMain_->Form_Load();
}

FrmToolbox* Program::loadToolbox()
{
    if (!frmToolbox_) {
        frmToolbox_ = new FrmToolbox(*this, frmMain_.data());
        registerForm(frmToolbox_);
    }
    return frmToolbox_;
}

QList<QWidget*> Program::loadedForms() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& f : forms_) {
        if (f)
            out.append(f.data());
    }
    return out;
}

void Program::unloadForm(QWidget* form)
{
    // Closing the window comes back here from its close handler; by then it is no longer loaded.
    if (!form || !forms_.contains(QPointer<QWidget>(form)))
        return;
    if (beforeUnload)
        beforeUnload(form->objectName());
    forms_.removeAll(QPointer<QWidget>(form));
    form->close();
    form->deleteLater();
}

double Program::twipsPerPixelX() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return units::twipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double Program::twipsPerPixelY() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return units::twipsPerPixel(s ? s->logicalDotsPerInchY() : 96.0);
}

QWidget* loadedForm(const Program& program, const QString& name)
{
    for (QWidget* form : program.loadedForms()) {
        if (form->objectName() == name)
            return form;
    }
    return nullptr;
}

bool IsFormLoaded(const Program& program, const QString& name)
{
    return loadedForm(program, name) != nullptr;
}

void ExitProgram(Program& program)
{
    program.shell.IsExiting = true;
    try {
        for (const char* name : {"frmAbout", "frmOptions", "frmToolbox", "frmMain"}) {
            const QString formName = QLatin1String(name);
            if (!IsFormLoaded(program, formName))
                continue;
            QWidget* form = loadedForm(program, formName);
            if (auto* toolbox = qobject_cast<FrmToolbox*>(form))
                toolbox->stopTimer();
            if (auto* canvas = qobject_cast<FrmMain*>(form))
                canvas->stopTimer();
            program.unloadForm(form);
        }
    } catch (const ProgramError& e) {
        MessageBoxes& boxes = *program.platform().messages;
        boxes.Show(QStringLiteral("An error has occurred."), mb::Critical, QStringLiteral("Scrawlix"));
        boxes.Show(e.source(), mb::OkOnly, QStringLiteral("Scrawlix"));
        return;
    }
    program.ended = true;
    program.endProgram();
}
