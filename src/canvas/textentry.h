#pragma once

#include <QPlainTextEdit>

// The text tool's multi-line entry box: Enter inserts a line break, exactly Shift+Enter
// finishes the text.
class TextEntryBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextEntryBox(QWidget* parent);

Q_SIGNALS:
    // Every key press, with its virtual-key code and shift state (1 Shift, 2 Ctrl, 4 Alt).
    void keyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// The virtual-key code and shift state of a key event.
int virtualKeyCode(int qtKey);
int shiftState(Qt::KeyboardModifiers m);
