#pragma once

// The configuration dialog: the defaults the next start-up applies (tool, colour, size, font),
// starting with the system, and the hot-key letter. Not modal. Each opening reads the store
// afresh; OK writes it and closes, Cancel and the close box close without writing.

#include <QCheckBox>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class Cmdlg;
class HotKeys;
class ComboList;
class MessageBoxes;
class Setting;
class SettingsStore;
class StartupEntry;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A check box whose caption wraps onto several lines within the box's width.
class WrappingCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;
};

// Its widgets keep the names the help pages use for them.
class FrmOptions : public QWidget
{
    Q_OBJECT
public:
    // hotKeys tells which characters a key of the keyboard types.
    FrmOptions(SettingsStore& store, Cmdlg& cmdlg, StartupEntry& startup, MessageBoxes& messages,
               const HotKeys& hotKeys);

    // Fills the size and font lists and shows the stored defaults.
    void Form_Load();
    // "Custom ..." asks for the custom colour.
    void cboDefaultPenColor_Click();
    // Saves the defaults, registers or clears starting with the system, reports the hot-key
    // letter, and asks to be closed.
    void cmdOK_Click();
    // Asks to be closed without saving.
    void cmdCancel_Click();

Q_SIGNALS:
    // OK saved this hot-key letter; it is to count at once.
    void hotKeyChosen(const QString& letter);
    // OK or Cancel: the dialog is done.
    void unloadRequested();
    // The dialog was closed (close box, or closing on unload).
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A setting the dialog edits: how loading shows the stored text (none: the key is not shown),
    // and what OK stores (nothing: the key is left as it is).
    struct Field {
        const Setting* setting;
        std::function<void(const QString& stored)> show;
        std::function<std::optional<QString>()> take;
    };
    // A list that shows the stored position, and saves the position selected.
    static Field listField(const Setting& setting, ComboList* list);
    // Binds each widget to its setting's row, in the order in which OK writes them.
    void bindFields();

    QRect layout(double left, double top, double width, double height) const;
    QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& r);
    ComboList* list(QWidget* parent, const char* name, const QRect& r);

    SettingsStore& store_;
    Cmdlg& cmdlg_;
    StartupEntry& startup_;
    MessageBoxes& messages_;
    const HotKeys& hotKeys_;

    QGroupBox* frameHotkey;
    QLabel* lblHotkey;
    QLabel* lblHotkeyLetter;
    QLineEdit* txtHotKeyLetter;
    QLabel* lblhotkeywarning;

    QGroupBox* frameToolOptions;
    QLabel* lbl_defTool;
    ComboList* cboDefaultTool;
    QLabel* lbl_defColor;
    ComboList* cboDefaultPenColor;
    QLabel* lbl_defSize;
    ComboList* cboDefaultPenSize;
    QLabel* lbl_defFont;
    ComboList* cboDefaultFont;
    QLineEdit* txtcustomcolor; // hidden: the custom colour picked in this dialog

    QGroupBox* Frame2;
    WrappingCheckBox* chkRunOnStartup;

    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    std::vector<Field> fields_;
};
