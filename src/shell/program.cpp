#include "program.h"

#include "canvas/frmmain.h"
#include "canvas/tools.h"
#include "captureflow.h"
#include "commandtable.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "settings/settingsstore.h"
#include "shortcuts.h"
#include "startup.h"
#include "toolbox/frmtoolbox.h"
#include "toolselection.h"
#include "trayicon.h"

#include <QCoreApplication>

Program::Program(std::unique_ptr<Platform> platform, std::unique_ptr<SettingsStore> settings)
    : capture(*this), cmdlg(*platform->dialogs), platform_(std::move(platform)),
      settings_(std::move(settings))
{
    if (platform_->grab)
        capture.listenTo(*platform_->grab);
    endProgram = [] { QCoreApplication::exit(0); };
    trayNotice = [this](const QString& text) { platform_->notices->tell(text); };
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

TrayIcon* Program::tray() const
{
    return tray_.data();
}

void Program::registerForm(QWidget* form)
{
    forms_.append(form);
}

void Program::start()
{
    if (!frmMain_) {
        FrmMain* canvas = new FrmMain(drawing, *platform_->cursor);
        frmMain_ = canvas;
        registerForm(canvas);
        tray_ = new TrayIcon(*this, canvas);
        // The hot key's presses, for as long as there is a canvas to show them in.
        QObject::connect(platform_->hotKeys.get(), &HotKeys::pressed, canvas,
                         [this](quint32 vk, quint32 modifiers) { HotKeyPressed(*this, vk, modifiers); });
        QObject::connect(canvas, &FrmMain::keyDown, canvas,
                         [this](int code) { Form_KeyDown(*this, code); });
        QObject::connect(canvas, &FrmMain::menuRequested, canvas, [this] {
            if (tray_)
                tray_->STI_MouseDown(2);
        });
        QObject::connect(canvas, &FrmMain::textFinished, canvas, [this] {
            SelectTool(*this, PenTool);
            if (frmToolbox_)
                frmToolbox_->showTool(PenTool);
        });
        QObject::connect(canvas, &FrmMain::closing, canvas, [this] {
            if (tray_)
                tray_->Form_Unload();
        });
        // Alt+F4 or a pager's close: the program goes on in the tray.
        QObject::connect(canvas, &FrmMain::closeAsked, canvas, [this] { SendToTray(*this); });
    }
    runStartup(*this);
}

FrmToolbox* Program::loadToolbox()
{
    if (!frmToolbox_) {
        FrmToolbox* toolbox = new FrmToolbox(*platform_->keys, cmdlg, colorTable, frmMain_.data());
        frmToolbox_ = toolbox;
        registerForm(toolbox);
        QObject::connect(toolbox, &FrmToolbox::attributesChanged, toolbox,
                         [this](const DrawingAttributes& a) {
                             if (frmMain_)
                                 frmMain_->setAttributes(a);
                         });
        QObject::connect(toolbox, &FrmToolbox::toolChosen, toolbox, [this](int tool) {
            SelectTool(*this, static_cast<std::int16_t>(tool));
        });
        toolbox->addCommandButtons(toolboxButtons());
        QObject::connect(toolbox, &FrmToolbox::command, toolbox,
                         [this](int c) { runCommand(*this, static_cast<Command>(c)); });
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
    // A save or copy under way finishes first; a capture under way is dropped.
    if (program.capture.held()) {
        program.capture.whenFree([&program] { ExitProgram(program); });
        return;
    }
    program.capture.abandon();
    program.shell.IsExiting = true;
    if (FrmToolbox* toolbox = program.frmToolbox())
        toolbox->allowClose();
    if (FrmMain* canvas = program.frmMain())
        canvas->allowClose();
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
        boxes.Show(QCoreApplication::translate("Messages", "An error has occurred."), mb::Critical,
                   QCoreApplication::translate("Messages", "Scrawlix"));
        boxes.Show(e.source(), mb::OkOnly, QCoreApplication::translate("Messages", "Scrawlix"));
        return;
    }
    program.ended = true;
    program.endProgram();
}
