#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>
#include <functional>

// A text label on the canvas. Border style 1 marks the open label, 0 a finished one.
class TextLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TextLabel(QWidget* parent);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    // Grows or shrinks to fit the text.
    void autoSize();

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void mouseMoved(Qt::MouseButtons buttons);
    void mouseReleased(Qt::MouseButton button);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int borderStyle_ = 0;
};

// The canvas's indexed labels. Element 0 is the hidden template. Indices are never reused while
// the array lives: a deleted label leaves an empty slot, so Count() keeps counting it and the
// next label still gets a fresh index. Clearing empties everything but the template.
class LabelArray
{
public:
    // The template is created by init(), once onLoad is set.
    explicit LabelArray(QWidget* canvas);
    void init();

    int Count() const { return static_cast<int>(slots_.size()); }
    // The label at i, or null for a deleted slot or an index out of range.
    TextLabel* at(int i) const;
    // Creates element i as a copy of the template's settings. i must be Count().
    TextLabel* Load(int i);
    // Removes element i (never the template).
    void Unload(int i);
    // Removes every element but the template.
    void UnloadAll();
    // The index of a label, -1 when it is not one of ours.
    int indexOf(const TextLabel* label) const;

    // Runs for every label created, the template included.
    std::function<void(TextLabel*)> onLoad;

private:
    QWidget* canvas_;
    QList<QPointer<TextLabel>> slots_;
};
