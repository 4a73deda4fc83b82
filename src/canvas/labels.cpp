#include "labels.h"

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

void LabelArray::init()
{
    if (!slots_.isEmpty())
        return;
    auto* templ = new TextLabel(canvas_);
    templ->setObjectName(QStringLiteral("lblText"));
    templ->setBorderStyle(1);
    templ->hide();
    slots_.append(templ);
    if (onLoad)
        onLoad(templ);
}

TextLabel* LabelArray::at(int i) const
{
    if (i < 0 || i >= slots_.size())
        return nullptr;
    return slots_[i].data();
}

TextLabel* LabelArray::Load(int i)
{
    if (i != Count())
        return nullptr;
    TextLabel* templ = at(0);
    auto* label = new TextLabel(canvas_);
    label->setObjectName(QStringLiteral("lblText"));
    label->setFont(templ->font());
    label->setPalette(templ->palette());
    label->setBorderStyle(templ->borderStyle());
    label->setText(templ->text());
    label->hide();
    slots_.append(label);
    if (onLoad)
        onLoad(label);
    return label;
}

void LabelArray::Unload(int i)
{
    if (i <= 0 || i >= slots_.size() || !slots_[i])
        return;
    TextLabel* label = slots_[i].data();
    slots_[i] = nullptr;
    label->hide();
    label->deleteLater();
}

void LabelArray::UnloadAll()
{
    const int upper = Count() - 1;
    for (int i = 1; i <= upper; ++i)
        Unload(i);
    slots_.erase(slots_.begin() + 1, slots_.end());
}

int LabelArray::indexOf(const TextLabel* label) const
{
    for (int i = 0; i < slots_.size(); ++i) {
        if (slots_[i].data() == label)
            return i;
    }
    return -1;
}
