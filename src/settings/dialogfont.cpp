#include "dialogfont.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <climits>

namespace {

constexpr qreal LargestPoints = 8.25;

QString withoutMnemonics(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

bool fitsIn(const QFontMetrics& fm, const QString& text, int width, int height, bool wrap)
{
    if (width <= 0 || height <= 0)
        return false;
    if (!wrap)
        return fm.horizontalAdvance(text) <= width && fm.height() <= height;
    const QRect r = fm.boundingRect(QRect(0, 0, width, INT_MAX), Qt::TextWordWrap, text);
    return r.width() <= width && r.height() <= height;
}

} // namespace

bool textFits(const QWidget* widget, const QFont& font)
{
    const QFontMetrics fm(font);
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QRect r = label->contentsRect();
        return fitsIn(fm, label->text(), r.width() - 2 * qMax(0, label->margin()),
                      r.height(), label->wordWrap());
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
        QStyleOptionButton opt;
        opt.initFrom(box);
        const QStyle* s = box->style();
        const int indicator = s->pixelMetric(QStyle::PM_IndicatorWidth, &opt, box) +
                              s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, box);
        return fitsIn(fm, withoutMnemonics(box->text()), box->width() - indicator, box->height(),
                      true);
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        // The caption sits on the top edge, clear of the frame's corners.
        return fm.horizontalAdvance(withoutMnemonics(group->title())) <= group->width() - 16;
    }
    return true;
}

qreal fitDialogFont(QWidget* dialog, const QList<QWidget*>& texts, qreal minimumPoints)
{
    // Setting the dialog's font reaches its children at once, each keeping the attributes it set
    // itself (bold, underline, family), so each size is tried on the real widgets.
    QFont base = dialog->font();
    qreal points = LargestPoints;
    for (;; points -= 0.25) {
        base.setPointSizeF(points);
        dialog->setFont(base);
        if (points <= minimumPoints)
            break;
        bool all = true;
        for (const QWidget* w : texts) {
            if (!textFits(w, w->font())) {
                all = false;
                break;
            }
        }
        if (all)
            break;
    }
    return points;
}
