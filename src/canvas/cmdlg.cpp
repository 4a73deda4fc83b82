#include "cmdlg.h"

#include "colortable.h"
#include "platform/dialogs.h"

#include <QStringList>

QString qtFilterFromCommonFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p.isEmpty())
                continue;
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            continue;
        // Qt reads the patterns from the last parentheses, so the description keeps its own.
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

struct Cmdlg::Showing {
    explicit Showing(int& n) : n_(n) { ++n_; }
    ~Showing() { --n_; }
    Showing(const Showing&) = delete;
    Showing& operator=(const Showing&) = delete;
    int& n_;
};

void Cmdlg::ShowOpen()
{
    const Showing shown(showing_);
    const QString previous = FileName;
    FileName.clear();
    FileName = backend_.OpenFile(DialogTitle, qtFilterFromCommonFilter(Filter), DefaultExt, previous);
}

void Cmdlg::ShowSave()
{
    const Showing shown(showing_);
    const QString previous = FileName;
    FileName.clear();
    FileName = backend_.SaveFile(DialogTitle, qtFilterFromCommonFilter(Filter), DefaultExt, previous);
}

bool Cmdlg::ShowPrinter(QPrinter* printer)
{
    const Showing shown(showing_);
    return backend_.Printer(DialogTitle, printer);
}

void Cmdlg::ShowColor()
{
    const Showing shown(showing_);
    if (auto picked = backend_.Color(DialogTitle, colorFromBgr(Color)))
        Color = bgrFromColor(*picked);
}
