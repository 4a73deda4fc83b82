#include "widgets.h"

#include <QBackingStore>
#include <QButtonGroup>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolButton>

ComboList::ComboList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        // Until control is back in the event loop: the user's pick of another entry reports
        // the change first, then the pick. The reset is queued only after the selection is
        // handled, which may run a dialog's event loop ("Custom ...") before the pick arrives.
        changed_ = true;
        const quint64 change = ++changes_;
        if (i >= 0)
            Q_EMIT selected(i);
        // A reset queued by an earlier change must not clear this one.
        QTimer::singleShot(0, this, [this, change] {
            if (change == changes_)
                changed_ = false;
        });
    });
    // The user picking the entry that is selected already changes no index, yet is a selection
    // ("Custom ..." picked again asks for the colour again).
    connect(this, &QComboBox::activated, this, [this](int i) {
        if (!changed_ && i >= 0)
            Q_EMIT selected(i);
        changed_ = false;
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
    // The window's own face, not a bold one: a second face would be loaded for six captions.
    QFont f = font();
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

ToolBar::ToolBar(Kind kind, const QList<Button>& buttons, QWidget* parent, double scale)
    : QWidget(parent), kind_(kind)
{
    if (kind_ == Kind::Group) {
        group_ = new QButtonGroup(this);
        group_->setExclusive(true);
    }
    const auto scaled = [scale](int px) { return qRound(px * scale); };
    int x = 0;
    for (const Button& b : buttons) {
        auto* tb = new QToolButton(this);
        tb->setObjectName(b.key);
        tb->setToolTip(b.tip.isEmpty() ? b.key : b.tip);
        tb->setIcon(b.icon);
        tb->setIconSize(QSize(scaled(16), scaled(16)));
        tb->setCheckable(true);
        tb->setAutoRaise(true);
        tb->setGeometry(x, 0, scaled(23), scaled(22));
        x += scaled(23);
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

void releaseWindowBuffer(QWidget& window)
{
    if (QBackingStore* store = window.backingStore())
        store->resize(QSize(1, 1));
}
