#pragma once

#include <QString>
#include <QtGlobal>

class DialogBackend;
class QPrinter;

// The canvas's one common dialog: file open and save, printer and colour. The program sets the
// title, default extension and filter before each use; everything else, the file name and the
// colour included, is kept from the previous use.
class Cmdlg
{
public:
    explicit Cmdlg(DialogBackend& backend) : backend_(backend) {}

    QString DialogTitle;
    QString DefaultExt;
    QString Filter;   // "description|pattern|description|pattern..."
    QString FileName;
    quint32 Color = 0; // 0x00BBGGRR

    // The file name is cleared first, so a cancelled dialog leaves it empty.
    void ShowOpen();
    void ShowSave();
    // Shows the printer dialog for the printer; true on OK.
    bool ShowPrinter(QPrinter* printer);
    // A cancelled colour dialog keeps the previous colour.
    void ShowColor();

    // One of the dialogs is shown now (they are modal, and one at a time).
    bool showing() const { return showing_ > 0; }

private:
    DialogBackend& backend_;
    int showing_ = 0;
    struct Showing;
};

// "Text (*.txt)|*.txt|All|*.*" -> "Text (*.txt) (*.txt);;All (*)". A pattern list such as
// "*.jpg; *.jpeg" holds several patterns; "*.*" matches every file.
QString qtFilterFromCommonFilter(const QString& filter);
