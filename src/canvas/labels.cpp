#include "labels.h"

#include "canvasdocument.h"

#include <QMouseEvent>

TextLabel::TextLabel(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::WindowText);
    setTextFormat(Qt::PlainText);
    setMargin(1);
    setMouseTracking(false);
}

void TextLabel::setBorderStyle(int style)
{
    borderStyle_ = style;
    setFrameStyle(style == 1 ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
    autoSize();
}

void TextLabel::autoSize()
{
    resize(sizeHint().expandedTo(QSize(4, fontMetrics().height() + 2)));
}

void TextLabel::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT mousePressed(e->button());
}

void TextLabel::mouseMoveEvent(QMouseEvent* e)
{
    Q_EMIT mouseMoved(e->buttons());
}

void TextLabel::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT mouseReleased(e->button());
}

void TextLabel::mouseDoubleClickEvent(QMouseEvent*)
{
    Q_EMIT doubleClicked();
}

LabelArray::LabelArray(QWidget* canvas) : canvas_(canvas) {}

TextLabel* LabelArray::at(int i) const
{
    if (i < 0 || i >= slots_.size())
        return nullptr;
    return slots_[i].data();
}

TextLabel* LabelArray::ensure(int i)
{
    if (i < 0)
        return nullptr;
    while (slots_.size() <= i)
        slots_.append(nullptr);
    if (!slots_[i]) {
        auto* label = new TextLabel(canvas_);
        label->setObjectName(QStringLiteral("lblText"));
        label->hide();
        slots_[i] = label;
        if (onLoad)
            onLoad(label);
    }
    return slots_[i].data();
}

void LabelArray::show(int i, const TextLabelData* data)
{
    if (!data) {
        Unload(i);
        return;
    }
    TextLabel* label = ensure(i);
    label->setText(data->text);
    label->move(data->pos);
    label->setFont(data->font);
    if (label->palette().color(QPalette::WindowText) != data->color) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, data->color);
        label->setPalette(pal);
    }
    label->setBorderStyle(data->open ? 1 : 0); // sizes the label to its text as well
    label->setVisible(data->visible);
}

void LabelArray::Unload(int i)
{
    if (i < 0 || i >= slots_.size() || !slots_[i])
        return;
    TextLabel* label = slots_[i].data();
    slots_[i] = nullptr;
    label->hide();
    label->deleteLater();
}

void LabelArray::truncate(int count)
{
    for (int i = count; i < slots_.size(); ++i)
        Unload(i);
    if (count >= 0 && count < slots_.size())
        slots_.erase(slots_.begin() + count, slots_.end());
}

int LabelArray::indexOf(const TextLabel* label) const
{
    for (int i = 0; i < slots_.size(); ++i) {
        if (slots_[i].data() == label)
            return i;
    }
    return -1;
}
