#include "frmabout.h"

#include "platform/shellopen.h"
#include "platform/units.h"
#include "settings/dialogfont.h"
#include "ui/art.h"
#include "ui/screenmetrics.h"
#include "version.h"
#include "webaddress.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

FrmAbout::FrmAbout(ShellOpen& shell) : QDialog(nullptr), shell_(shell)
{
    setObjectName(QStringLiteral("frmAbout"));
    // A fixed dialog: caption and close box, no minimise or maximise box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(layout(0, 0, 7830, 2895).size());

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(layout(120, 0, 3015, 1695));
    Image1 = new QLabel(Frame1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(layout(120, 100, 2805, 1560));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(artPixmap(QStringLiteral("images/about"), QSize(187, 104)));

    Frame2 = new QGroupBox(tr("Description"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(layout(3240, 0, 4455, 1695));
    lblDescription = new QLabel(Frame2);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setGeometry(layout(120, 240, 4215, 930));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setText(
        tr("Have fun drawing on your screen with Scrawlix! Double-click the Scrawlix icon in the "
           "system tray to take a snapshot of the screen and draw on it. You can copy, print and "
           "save the image when you are done."));

    lblWebAddress = new ClickableLabel(Frame2);
    lblWebAddress->setObjectName(QStringLiteral("lblWebAddress"));
    lblWebAddress->setGeometry(layout(120, 1200, 4215, 425));
    lblWebAddress->setWordWrap(true);
    lblWebAddress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblWebAddress->setTextFormat(Qt::PlainText);
    // The address may not be broken at its slashes: when the line is too short it moves to a
    // line of its own. Word joiners are not shown.
    QString address = ProductWebAddress;
    address.replace(QLatin1Char('/'), QStringLiteral("/\u2060"));
    lblWebAddress->setText(tr("Scrawlix on the web: %1").arg(address));
    // It looks like a link: underlined, in the highlight colour, with the hand cursor.
    QFont linkFont;
    linkFont.setFamilies({QStringLiteral("MS Sans Serif"), font().family()});
    linkFont.setUnderline(true);
    lblWebAddress->setFont(linkFont);
    QPalette linkPalette = lblWebAddress->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Highlight));
    lblWebAddress->setPalette(linkPalette);
    lblWebAddress->setCursor(artCursor(QStringLiteral("cursors/HAND"), 12, 5));

    Frame5 = new QGroupBox(tr("Notice"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setGeometry(layout(120, 1800, 5055, 975));
    lblDisclaimer = new QLabel(Frame5);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setGeometry(layout(120, 240, 4695, 705));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setText(
        tr("Scrawlix is provided \"as is\", without warranty of any kind. You use it at your own "
           "risk; the authors are not liable for any damage or loss that comes from its use."));

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(layout(5280, 1800, 2415, 975));
    cmdOK = new QPushButton(tr("OK"), Frame3);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(layout(120, 240, 2100, 585));
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    fitDialogFont(this, {Frame2, lblDescription, lblWebAddress, Frame5, lblDisclaimer});

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(lblWebAddress, &ClickableLabel::clicked, this, [this] { lblWebAddress_Click(); });
}

QRect FrmAbout::layout(double left, double top, double width, double height) const
{
    return units::twipsRectToPixels(left, top, width, height, screenTwipsPerPixelX(),
                                    screenTwipsPerPixelY());
}

void FrmAbout::Form_Load()
{
    setWindowTitle(tr("About Scrawlix %1")
                       .arg(QString::number(SCRAWLIX_VERSION_MAJOR) + QLatin1Char('.') +
                            QString::number(SCRAWLIX_VERSION_MINOR) + QLatin1Char('.') +
                            QString::number(SCRAWLIX_VERSION_PATCH)));
}

void FrmAbout::cmdOK_Click()
{
    Q_EMIT unloadRequested();
}

void FrmAbout::lblWebAddress_Click()
{
    // Whether a browser could be started is not reported.
    shell_.Open(ProductWebAddress);
    Q_EMIT unloadRequested();
}

void FrmAbout::reject()
{
    cmdOK_Click();
}

void FrmAbout::accept()
{
    cmdOK_Click();
}

void FrmAbout::closeEvent(QCloseEvent* event)
{
    event->accept();
    // The shell unloads the box unless it is exiting anyway.
    Q_EMIT closed();
}
