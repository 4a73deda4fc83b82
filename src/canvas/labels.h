#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>
#include <functional>

struct TextLabelData;

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

// The label widgets of the canvas window, by the index of the label they show in the canvas
// document. A deleted label leaves an empty slot.
class LabelArray
{
public:
    explicit LabelArray(QWidget* canvas);

    int Count() const { return static_cast<int>(slots_.size()); }
    // The widget of label i, or null for a deleted label or an index out of range.
    TextLabel* at(int i) const;
    // The widget of label i, created when it has none.
    TextLabel* ensure(int i);
    // Shows label i as the document has it; a deleted label (null) loses its widget.
    void show(int i, const TextLabelData* data);
    // Removes the widget of label i.
    void Unload(int i);
    // Removes the widgets from index count on.
    void truncate(int count);
    // The index of a label, -1 when it is not one of ours.
    int indexOf(const TextLabel* label) const;

    // Runs for every label widget created.
    std::function<void(TextLabel*)> onLoad;

private:
    QWidget* canvas_;
    QList<QPointer<TextLabel>> slots_;
};
