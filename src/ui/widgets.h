#pragma once

// Small widgets the program's windows are built from.

#include <QComboBox>
#include <QIcon>
#include <QList>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

// A drop-down list whose selection handler runs for a user's choice and for a selection made
// from code alike, even when code selects the entry that is already selected.
class ComboList : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboList(QWidget* parent = nullptr);
    // Selects an entry from code and runs the selection handler.
    void setListIndex(int index);
Q_SIGNALS:
    // An entry was selected, by code or by the user, also the one that was selected already.
    void selected(int index);
private:
    bool changed_ = false; // the index has just changed
    quint64 changes_ = 0;  // index changes so far
};

// A 200-twip caption bar that titles the section below it: the caption, then an etched line.
class FrameCaption : public QWidget
{
    Q_OBJECT
public:
    FrameCaption(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return caption_; }
protected:
    void paintEvent(QPaintEvent*) override;
private:
    QString caption_;
};

// A filled rectangle.
class ColorSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    void setFillColor(const QColor& c);
    QColor fillColor() const { return color_; }
protected:
    void paintEvent(QPaintEvent*) override;
private:
    QColor color_;
};

// A row of 23 x 22 image buttons, indexed from 1. Group bars keep one button pressed, check bars
// toggle each button on its own. Pressing a button from code does not emit buttonClick; only the
// user's click does.
class ToolBar : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Group, Check };
    struct Button {
        QString key; // the button's object name, also its tooltip unless it has a tip
        QIcon icon;
        QString tip = QString(); // the tooltip in the user's language
    };
    // Buttons of 23 x 22 pixels with 16 x 16 images at 96 dpi, times scale on a scaled desktop.
    ToolBar(Kind kind, const QList<Button>& buttons, QWidget* parent = nullptr, double scale = 1.0);

    int count() const { return static_cast<int>(buttons_.size()); }
    QString key(int index) const;
    bool isPressed(int index) const;
    void setPressed(int index, bool pressed);
    bool isButtonEnabled(int index) const;
    void setButtonEnabled(int index, bool enabled);
    QToolButton* button(int index) const;
    // The 1-based index of the pressed button of a group bar, 0 when none.
    int pressedIndex() const;

Q_SIGNALS:
    void buttonClick(int index);

private:
    Kind kind_;
    QList<QToolButton*> buttons_;
    QButtonGroup* group_ = nullptr;
};

// Lets a hidden window's buffer go: it is the window's size in memory, and grows back when the
// window is next painted.
void releaseWindowBuffer(QWidget& window);
