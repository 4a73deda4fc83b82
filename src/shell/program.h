#pragma once

#include "canvas/cmdlg.h"
#include "canvas/colortable.h"
#include "canvas/drawingstate.h"
#include "capturecontroller.h"
#include "imaging/backgroundopen.h"
#include "imaging/picture.h"
#include "menuextender.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

struct Platform;
class SettingsStore;
class FrmMain;
class FrmToolbox;
class TrayIcon;

// A failure that a routine reports to its caller; source names what failed.
class ProgramError : public std::runtime_error
{
public:
    explicit ProgramError(const QString& source)
        : std::runtime_error(source.toStdString()), source_(source)
    {
    }
    QString source() const { return source_; }

private:
    QString source_;
};

// Shell state of the program.
struct ShellState {
    bool IsExiting = false;
    float SavedCanvasLeft = 1;     // twips
    std::int16_t SavedCanvasTop = 1; // twips
};

// The program context: owns the windows, the program-wide state, the settings store and the
// platform services. main() builds one; every test builds its own.
class Program
{
public:
    Program(std::unique_ptr<Platform> platform, std::unique_ptr<SettingsStore> settings);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform() { return *platform_; }
    SettingsStore& settings() { return *settings_; }

    DrawingState drawing;
    ColorTable colorTable;
    ShellState shell;
    CaptureController capture; // the capture flow and where it stands
    QString helpFile; // the help file opened by Help
    MenuExtender menuExtender;
    QList<quint32> registeredHotKeys; // key codes registered with the Windows key; they stay
    Cmdlg cmdlg;     // the one common dialog: file open and save, printer, colour
    Picture picbox;  // the snapshot of the canvas taken for hiding, saving and printing

    // Loads the canvas window and runs the whole start-up.
    void start();

    FrmMain* frmMain() const;
    FrmToolbox* frmToolbox() const;
    TrayIcon* tray() const;

    // Creates the toolbox (once) and runs its load handling.
    FrmToolbox* loadToolbox();

    // Records a window of the program as loaded (IsFormLoaded, ExitProgram). The window is
    // deleted with the program unless it is unloaded first.
    void registerForm(QWidget* form);

    // The program's loaded windows, in the order they were loaded.
    QList<QWidget*> loadedForms() const;
    // Closes a window for good (its close handling runs) and forgets it.
    void unloadForm(QWidget* form);

    // Ends the program: the event loop stops and nothing else runs. Tests replace it.
    std::function<void()> endProgram;
    bool ended = false;

    // What opening a picture file may cost, and how long it runs before the progress window
    // shows; tests change them.
    BackgroundOpenOptions openOptions;

    // Tells the user something in passing, where notices reach the user on this desktop (the
    // tray's balloon, the desktop's notifications); tests record it instead.
    std::function<void(const QString& text)> trayNotice;

    // Runs before each window is unloaded by ExitProgram; tests make it fail.
    std::function<void(const QString& formName)> beforeUnload;

private:
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<SettingsStore> settings_;
    QPointer<FrmMain> frmMain_;
    QPointer<FrmToolbox> frmToolbox_;
    QPointer<TrayIcon> tray_;
    QList<QPointer<QWidget>> forms_;
};

// The loaded window of the program with exactly this name (case-sensitive), or null.
QWidget* loadedForm(const Program& program, const QString& name);
// True when a loaded window of the program has exactly this name.
bool IsFormLoaded(const Program& program, const QString& name);

// Closes About, options, toolbox and canvas in that order and ends the program. On an error it
// tells the user and returns with the program still running.
void ExitProgram(Program& program);
