// Showing the About box and the options dialog. Each is loaded afresh when it is not loaded, and
// brought to the front when it is.

#include "about/frmabout.h"
#include "commands.h"
#include "hotkey.h"
#include "platform/platform.h"
#include "program.h"
#include "settings/frmoptions.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

void bringToFront(QWidget* form)
{
    form->show();
    form->raise();
    form->activateWindow();
}

void centreOnScreen(QWidget* form)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect r(QPoint(0, 0), form->size());
    r.moveCenter(screen->geometry().center());
    form->move(r.topLeft());
}

// The shell unloads a window when it asks to be, and when it is closed unless the program is
// exiting, which unloads every window itself.
void unloadOnRequest(Program& program, QWidget* form)
{
    QPointer<QWidget> f(form);
    Program* p = &program;
    auto unload = [p, f] { p->unloadForm(f.data()); };
    auto closed = [p, f] {
        if (!p->shell.IsExiting)
            p->unloadForm(f.data());
    };
    if (auto* about = qobject_cast<FrmAbout*>(form)) {
        QObject::connect(about, &FrmAbout::unloadRequested, about, unload);
        QObject::connect(about, &FrmAbout::closed, about, closed);
    } else if (auto* options = qobject_cast<FrmOptions*>(form)) {
        QObject::connect(options, &FrmOptions::unloadRequested, options, unload);
        QObject::connect(options, &FrmOptions::closed, options, closed);
    }
}

FrmAbout* loadAbout(Program& program)
{
    auto* about = new FrmAbout(*program.platform().shell);
    program.registerForm(about);
    program.platform().taskbar->SkipTaskbar(about);
    unloadOnRequest(program, about);
    about->Form_Load();
    centreOnScreen(about);
    return about;
}

} // namespace

void ShowAbout(Program& program)
{
    // The toolbox may have opened the box already, not modal: that one comes to the front.
    if (QWidget* open = loadedForm(program, QStringLiteral("frmAbout"))) {
        bringToFront(open);
        return;
    }
    QPointer<FrmAbout> about = loadAbout(program);
    about->exec();
}

void ShowAboutModeless(Program& program)
{
    if (QWidget* open = loadedForm(program, QStringLiteral("frmAbout"))) {
        bringToFront(open);
        return;
    }
    bringToFront(loadAbout(program));
}

void ShowOptions(Program& program)
{
    if (QWidget* open = loadedForm(program, QStringLiteral("frmOptions"))) {
        bringToFront(open);
        return;
    }
    Platform& platform = program.platform();
    auto* options = new FrmOptions(program.settings(), program.cmdlg, *platform.startup,
                                   *platform.messages, *platform.hotKeys);
    program.registerForm(options);
    unloadOnRequest(program, options);
    Program* p = &program;
    QObject::connect(options, &FrmOptions::hotKeyChosen, options, [p](const QString& letter) {
        // The earlier combination stays registered but no longer matches. An empty letter
        // registers nothing.
        RegisterHotKeyLetter(*p, letter);
    });
    options->Form_Load();
    // The colour dialog that a stored custom colour opens during loading may have ended the
    // program.
    if (program.ended)
        return;
    centreOnScreen(options);
    bringToFront(options);
}
