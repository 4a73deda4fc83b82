#include "frmoptions.h"

#include "canvas/cmdlg.h"
#include "canvas/colortable.h"
#include "dialogfont.h"
#include "hotkeyletter.h"
#include "lists.h"
#include "platform/messagebox.h"
#include "platform/units.h"
#include "runonstartup.h"
#include "settingsstore.h"
#include "settingtable.h"
#include "ui/screenmetrics.h"
#include "ui/widgets.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// What OK says when the settings could not be stored at `location`.
QString settingsNotSavedMessage(const QString& location)
{
    return FrmOptions::tr(
               "The settings could not be saved in\n%1\n\nThey last until Scrawlix ends.")
        .arg(QDir::toNativeSeparators(location));
}

// Label captions write a literal "&" as "&&"; labels here have no access keys.
QString labelCaption(QString caption)
{
    return caption.replace(QLatin1String("&&"), QLatin1String("&"));
}

} // namespace

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
}

void WrappingCheckBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    QStyle* s = style();

    // The box, centred vertically on the left.
    QStyleOptionButton indicator = opt;
    const int iw = s->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
    const int ih = s->pixelMetric(QStyle::PM_IndicatorHeight, &opt, this);
    indicator.rect = QRect(0, (height() - ih) / 2, iw, ih);
    s->drawPrimitive(QStyle::PE_IndicatorCheckBox, &indicator, &p, this);

    // The caption, wrapped, with its access key underlined as the style shows them.
    const int gap = s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
    const QRect textRect(iw + gap, 0, width() - iw - gap, height());
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    flags |= s->styleHint(QStyle::SH_UnderlineShortcut, &opt, this) ? Qt::TextShowMnemonic
                                                                     : Qt::TextHideMnemonic;
    s->drawItemText(&p, textRect, flags, opt.palette, isEnabled(), text(), QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.boundingRect(textRect, flags, text()).adjusted(-1, 0, 1, 0).intersected(rect());
        s->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

FrmOptions::FrmOptions(SettingsStore& store, Cmdlg& cmdlg, StartupEntry& startup,
                       MessageBoxes& messages, const HotKeys& hotKeys)
    : QWidget(nullptr), store_(store), cmdlg_(cmdlg), startup_(startup), messages_(messages),
      hotKeys_(hotKeys)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Scrawlix Configuration"));
    // A fixed single border: caption and close box, no minimise or maximise box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(layout(0, 0, 4575, 4680).size());

    frameHotkey = new QGroupBox(tr("Hotkey Configuration"), this);
    frameHotkey->setObjectName(QStringLiteral("frameHotkey"));
    frameHotkey->setGeometry(layout(120, 0, 4335, 1335));
    lblHotkey = label(frameHotkey, "lblHotkey",
                      tr("Please choose a letter to be Scrawlix's Hotkey.  When you press the "
                         "Windows Key && the letter you specify, Scrawlix will capture the screen "
                         "&& you can draw away!"),
                      layout(120, 240, 4095, 735));
    lblHotkey->setWordWrap(true);
    lblHotkey->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblHotkeyLetter =
        label(frameHotkey, "lblHotkeyLetter", tr("Letter:"), layout(120, 975, 615, 255));
    QFont bold;
    bold.setBold(true);
    lblHotkeyLetter->setFont(bold);
    txtHotKeyLetter = new QLineEdit(frameHotkey);
    txtHotKeyLetter->setObjectName(QStringLiteral("txtHotKeyLetter"));
    txtHotKeyLetter->setGeometry(layout(720, 960, 255, 285));
    txtHotKeyLetter->setMaxLength(1);
    txtHotKeyLetter->setAlignment(Qt::AlignCenter);
    txtHotKeyLetter->setText(QStringLiteral("V"));
    lblhotkeywarning =
        label(frameHotkey, "lblhotkeywarning", tr("* Note: May Require Restart of Scrawlix"),
              layout(1080, 975, 3135, 255));
    QPalette red = lblhotkeywarning->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblhotkeywarning->setPalette(red);

    frameToolOptions = new QGroupBox(tr("Default Tool Configuration"), this);
    frameToolOptions->setObjectName(QStringLiteral("frameToolOptions"));
    frameToolOptions->setGeometry(layout(120, 1440, 4335, 1695));
    lbl_defTool =
        label(frameToolOptions, "lbl_defTool", tr("Default Tool:"), layout(120, 280, 1575, 255));
    cboDefaultTool = list(frameToolOptions, "cboDefaultTool", layout(1800, 240, 2415, 315));
    fillToolList(cboDefaultTool);
    lbl_defColor = label(frameToolOptions, "lbl_defColor", tr("Default Tool Color:"),
                         layout(120, 630, 1575, 255));
    cboDefaultPenColor = list(frameToolOptions, "cboDefaultPenColor", layout(1800, 600, 2415, 315));
    fillColorList(cboDefaultPenColor);
    lbl_defSize = label(frameToolOptions, "lbl_defSize", tr("Default Tool Size:"),
                        layout(120, 990, 1575, 255));
    cboDefaultPenSize = list(frameToolOptions, "cboDefaultPenSize", layout(1800, 960, 2415, 315));
    lbl_defFont =
        label(frameToolOptions, "lbl_defFont", tr("Default Font:"), layout(120, 1350, 1575, 255));
    cboDefaultFont = list(frameToolOptions, "cboDefaultFont", layout(1800, 1320, 2415, 315));
    txtcustomcolor = new QLineEdit(frameToolOptions);
    txtcustomcolor->setObjectName(QStringLiteral("txtcustomcolor"));
    txtcustomcolor->setGeometry(layout(120, 1320, 255, 285));
    txtcustomcolor->hide();

    Frame2 = new QGroupBox(tr("Run on Startup"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(layout(120, 3240, 4335, 855));
    chkRunOnStartup = new WrappingCheckBox(
        tr("Would you like Scrawlix to run on Windows startup?  Checked = Yes && Unchecked = No"),
        Frame2);
    chkRunOnStartup->setObjectName(QStringLiteral("chkRunOnStartup"));
    chkRunOnStartup->setGeometry(layout(120, 240, 4095, 495));

    cmdOK = new QPushButton(tr("&Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(layout(2400, 4200, 975, 375));
    cmdOK->setAutoDefault(false);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(layout(3480, 4200, 975, 375));
    cmdCancel->setAutoDefault(false);

    // Tab order: top to bottom, as the widgets are laid out.
    setTabOrder(txtHotKeyLetter, cboDefaultTool);
    setTabOrder(cboDefaultTool, cboDefaultPenColor);
    setTabOrder(cboDefaultPenColor, cboDefaultPenSize);
    setTabOrder(cboDefaultPenSize, cboDefaultFont);
    setTabOrder(cboDefaultFont, chkRunOnStartup);
    setTabOrder(chkRunOnStartup, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtHotKeyLetter->setFocus();

    fitDialogFont(this, {frameHotkey, lblHotkey, lblHotkeyLetter, lblhotkeywarning, frameToolOptions,
                         lbl_defTool, lbl_defColor, lbl_defSize, lbl_defFont, Frame2,
                         chkRunOnStartup});

    bindFields();

    connect(cboDefaultPenColor, &ComboList::selected, this, [this] { cboDefaultPenColor_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

QRect FrmOptions::layout(double left, double top, double width, double height) const
{
    return units::twipsRectToPixels(left, top, width, height, screenTwipsPerPixelX(),
                                    screenTwipsPerPixelY());
}

QLabel* FrmOptions::label(QWidget* parent, const char* name, const QString& caption, const QRect& r)
{
    auto* l = new QLabel(labelCaption(caption), parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    return l;
}

ComboList* FrmOptions::list(QWidget* parent, const char* name, const QRect& r)
{
    auto* l = new ComboList(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    return l;
}

FrmOptions::Field FrmOptions::listField(const Setting& setting, ComboList* list)
{
    return {&setting,
            [&setting, list](const QString& stored) {
                list->setListIndex(setting.position(stored, list->count()));
            },
            [list] { return std::optional(QString::number(list->currentIndex())); }};
}

void FrmOptions::bindFields()
{
    const SettingTable& s = settingTable();
    // In the order in which OK writes them: the hot-key letter first, CustomColor just before the
    // colour, and RunOnStartup last, once the start-up entry has been registered or cleared. A
    // stored value that makes no sense shows the key's default, as at start-up.
    fields_ = {
        {&s.HotKey, [this](const QString& stored) { txtHotKeyLetter->setText(stored); },
         [this] { return std::optional(txtHotKeyLetter->text()); }},
        {&s.PenSize,
         [this, &s](const QString& stored) {
             cboDefaultPenSize->setListIndex(s.PenSize.number(stored) - 1);
         },
         // The entry's number, whatever its text.
         [this] { return std::optional(cboDefaultPenSize->currentData().toString()); }},
        listField(s.Tool, cboDefaultTool),
        // Never shown; saved only while "Custom ..." is the default colour.
        {&s.CustomColor,
         {},
         [this]() -> std::optional<QString> {
             if (cboDefaultPenColor->currentIndex() != CustomColorIndex)
                 return std::nullopt;
             return txtcustomcolor->text();
         }},
        listField(s.PenColor, cboDefaultPenColor),
        listField(s.Font, cboDefaultFont),
        // Unchecked unless the store says 1, which includes a first opening before it was written.
        {&s.RunOnStartup,
         [this, &s](const QString& stored) {
             chkRunOnStartup->setChecked(s.RunOnStartup.number(stored) == 1);
         },
         [this]() -> std::optional<QString> {
             // The choice is recorded even when the start-up entry could not be reached.
             if (chkRunOnStartup->checkState() == Qt::Checked) {
                 AddToStartup(startup_, messages_);
                 return QStringLiteral("1");
             }
             RemoveFromStartup(startup_, messages_);
             return QStringLiteral("0");
         }},
    };
}

void FrmOptions::Form_Load()
{
    fillSizeList(cboDefaultPenSize);
    fillFontList(cboDefaultFont);
    for (const Field& f : fields_) {
        if (f.show)
            f.show(store_.read(f.setting->key));
    }
}

void FrmOptions::cboDefaultPenColor_Click()
{
    if (cboDefaultPenColor->currentIndex() != CustomColorIndex)
        return;
    cmdlg_.DialogTitle = tr("Select Custom Color");
    cmdlg_.ShowColor();
    txtcustomcolor->setText(QString::number(cmdlg_.Color));
}

void FrmOptions::cmdOK_Click()
{
    SettingsStore& store = store_;
    const QString letter = txtHotKeyLetter->text();
    // A letter that no key types would leave no hot key; the dialog stays open to change it.
    if (!letter.isEmpty() && hotKeyVirtualKey(hotKeys_, letter) == 0) {
        messages_.Show(untypableLetterMessage(letter), mb::Exclamation, tr("Scrawlix"));
        txtHotKeyLetter->setFocus();
        txtHotKeyLetter->selectAll();
        return;
    }
    bool saved = true;
    for (const Field& f : fields_) {
        if (const std::optional<QString> text = f.take())
            saved &= store.save(f.setting->key, *text);
    }
    // As an entry out of reach is told, so is a settings file out of reach; the values last
    // until the program ends.
    if (!saved)
        messages_.Show(settingsNotSavedMessage(store.location()), mb::Critical, tr("Error"));

    // The new letter counts at once: the hot-key handler reads the store on every press, and the
    // earlier combination stays registered but no longer matches.
    Q_EMIT hotKeyChosen(letter);
    Q_EMIT unloadRequested();
}

void FrmOptions::cmdCancel_Click()
{
    Q_EMIT unloadRequested();
}

void FrmOptions::closeEvent(QCloseEvent* event)
{
    event->accept();
    // Closing saves nothing; the shell unloads the dialog unless it is exiting anyway.
    Q_EMIT closed();
}
