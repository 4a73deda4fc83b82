#include "textentry.h"

#include <QKeyEvent>

TextEntryBox::TextEntryBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("txtText"));
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

int virtualKeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z' coincide
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    default:
        return 0;
    }
}

int shiftState(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= 1;
    if (m & Qt::ControlModifier)
        s |= 2;
    if (m & Qt::AltModifier)
        s |= 4;
    return s;
}

void TextEntryBox::keyPressEvent(QKeyEvent* e)
{
    const int code = virtualKeyCode(e->key());
    const int shift = shiftState(e->modifiers());
    Q_EMIT keyDown(code, shift);
    // The finishing Shift+Enter adds no line break of its own.
    if (code == 13 && shift == 1)
        return;
    if (code == 13 && shift != 0) {
        // Ctrl/Alt combinations of Enter still type a plain line break.
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}
