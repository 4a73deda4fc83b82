#include "qtservices.h"

#include "titlebar.h"

#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QWidget>

void QtMessageBoxes::Show(const QString& text, int style, const QString& title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == mb::Critical)
        icon = QMessageBox::Critical;
    else if (style == mb::Exclamation)
        icon = QMessageBox::Warning;
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (taskbar_)
        taskbar_->SkipTaskbar(&box);
    // A short text makes a narrow box, whose frame would cut its title short: a spacer across
    // the bottom row keeps it wide enough.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int needed = titleBarWidth(title);
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

static QString runFileDialog(QFileDialog::AcceptMode mode, const QString& title,
                             const QString& filter, const QString& defaultSuffix,
                             const QString& initialName)
{
    QFileDialog dlg(nullptr, title);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    dlg.setNameFilter(filter);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dlg.setDefaultSuffix(suffix);
    // Qt's own dialog behaves the same on every desktop and can be driven from the keyboard.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    // The filter names carry their patterns already; do not show them twice.
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    dlg.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (!initialName.isEmpty())
        dlg.selectFile(initialName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString QtDialogs::OpenFile(const QString& title, const QString& filter,
                            const QString& defaultSuffix, const QString& initialName)
{
    return runFileDialog(QFileDialog::AcceptOpen, title, filter, defaultSuffix, initialName);
}

QString QtDialogs::SaveFile(const QString& title, const QString& filter,
                            const QString& defaultSuffix, const QString& initialName)
{
    return runFileDialog(QFileDialog::AcceptSave, title, filter, defaultSuffix, initialName);
}

bool QtDialogs::Printer(const QString& title, QPrinter* printer)
{
    QPrintDialog dlg(printer);
    dlg.setWindowTitle(title);
    dlg.setWindowFlag(Qt::WindowStaysOnTopHint);
    return dlg.exec() == QDialog::Accepted;
}

std::optional<QColor> QtDialogs::Color(const QString& title, const QColor& initial)
{
    QColorDialog dlg(initial);
    dlg.setWindowTitle(title);
    dlg.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.selectedColor();
}

QPoint QtCursorPosition::GetCursorPos()
{
    return QCursor::pos();
}

bool QtShellOpen::Open(const QString& target)
{
    QUrl url = QUrl::fromUserInput(target);
    if (QFileInfo(target).isAbsolute())
        url = QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

void QtTopMost::SetTopMost(QWidget* window)
{
    if (!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const bool visible = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (visible)
            window->show();
    }
    window->raise();
}
