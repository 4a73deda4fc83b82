#include "widgets.h"

#include <QButtonGroup>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

ComboList::ComboList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            Q_EMIT selected(i);
    });
}

void ComboList::setListIndex(int index)
{
    if (index < 0 || index >= count())
        return;
    if (index == currentIndex())
        Q_EMIT selected(index);
    else
        setCurrentIndex(index);
}

FrameCaption::FrameCaption(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption)
{
    setObjectName(caption);
}

void FrameCaption::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The caption uses '&&' for a literal ampersand, as menu captions do.
    QString text = caption_;
    text.replace(QLatin1String("&&"), QLatin1String("&"));
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(qMax(8, height() - 3));
    p.setFont(f);
    const QFontMetrics fm(f);
    const int textWidth = fm.horizontalAdvance(text);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(3, 0, textWidth + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text);
    const int y = height() / 2;
    const int x0 = textWidth + 8;
    if (x0 < width() - 2) {
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(x0, y, width() - 2, y);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(x0, y + 1, width() - 2, y + 1);
    }
}

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent), color_(Qt::black) {}

void ColorSwatch::setFillColor(const QColor& c)
{
    color_ = c;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

ToolBar::ToolBar(Kind kind, const QList<Button>& buttons, QWidget* parent)
    : QWidget(parent), kind_(kind)
{
    if (kind_ == Kind::Group) {
        group_ = new QButtonGroup(this);
        group_->setExclusive(true);
    }
    int x = 0;
    for (const Button& b : buttons) {
        auto* tb = new QToolButton(this);
        tb->setObjectName(b.key);
        tb->setToolTip(b.key);
        tb->setIcon(b.icon);
        tb->setIconSize(QSize(16, 16));
        tb->setCheckable(true);
        tb->setAutoRaise(true);
        tb->setGeometry(x, 0, 23, 22);
        x += 23;
        const int index = static_cast<int>(buttons_.size()) + 1;
        if (group_)
            group_->addButton(tb, index);
        // clicked() comes from the user (or click()), never from setChecked().
        connect(tb, &QToolButton::clicked, this, [this, index] { Q_EMIT buttonClick(index); });
        buttons_.append(tb);
    }
}

QToolButton* ToolBar::button(int index) const
{
    if (index < 1 || index > buttons_.size())
        return nullptr;
    return buttons_[index - 1];
}

QString ToolBar::key(int index) const
{
    QToolButton* b = button(index);
    return b ? b->objectName() : QString();
}

bool ToolBar::isPressed(int index) const
{
    QToolButton* b = button(index);
    return b && b->isChecked();
}

void ToolBar::setPressed(int index, bool pressed)
{
    if (QToolButton* b = button(index)) {
        const QSignalBlocker block(b);
        b->setChecked(pressed);
    }
}

bool ToolBar::isButtonEnabled(int index) const
{
    QToolButton* b = button(index);
    return b && b->isEnabled();
}

void ToolBar::setButtonEnabled(int index, bool enabled)
{
    if (QToolButton* b = button(index))
        b->setEnabled(enabled);
}

int ToolBar::pressedIndex() const
{
    for (int i = 1; i <= buttons_.size(); ++i) {
        if (buttons_[i - 1]->isChecked())
            return i;
    }
    return 0;
}
