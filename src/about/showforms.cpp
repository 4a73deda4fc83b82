// Showing the About box and the options dialog. Each is loaded afresh when it is not loaded, and
// brought to the front when it is.

#include "frmabout.h"
#include "settings/frmoptions.h"
#include "shell/commands.h"
#include "shell/program.h"

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

FrmAbout* loadAbout(Program& program)
{
    auto* about = new FrmAbout(program);
    program.registerForm(about);
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
    auto* options = new FrmOptions(program);
    program.registerForm(options);
    options->Form_Load();
    // The colour dialog that a stored custom colour opens during loading may have ended the
    // program.
    if (program.ended)
        return;
    centreOnScreen(options);
    bringToFront(options);
}
