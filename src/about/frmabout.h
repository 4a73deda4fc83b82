#pragma once

// The About box: version, a short description, the product web page and a notice. Shown modal
// from the tray menu and not modal from the toolbox; it closes with OK, Enter, Esc, the close box
// or a click on the web address.

#include <QDialog>
#include <QLabel>
#include <QRect>

class ShellOpen;
class QGroupBox;
class QPushButton;

// A label that reports a click of the left mouse button (pressed and released over it).
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);
Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class FrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAbout(ShellOpen& shell);

    // Sets the caption with the version.
    void Form_Load();
    void cmdOK_Click();
    // Opens the web page and closes the box.
    void lblWebAddress_Click();

    // Esc is the OK button too.
    void reject() override;
    void accept() override;

Q_SIGNALS:
    // OK, Enter, Esc or the link: the box is done.
    void unloadRequested();
    // The box was closed (close box, or closing on unload).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QRect layout(double left, double top, double width, double height) const;

    ShellOpen& shell_;
    QGroupBox* Frame1;
    QLabel* Image1;
    QGroupBox* Frame2;
    QLabel* lblDescription;
    ClickableLabel* lblWebAddress;
    QGroupBox* Frame5;
    QLabel* lblDisclaimer;
    QGroupBox* Frame3;
    QPushButton* cmdOK;
};
