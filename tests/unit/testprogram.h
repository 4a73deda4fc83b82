#pragma once

// A fresh program on the fake platform with its own temporary settings file.

#include "canvas/frmmain.h"
#include "fake/fakeplatform.h"
#include "settings/settingsstore.h"
#include "settings/settingtable.h"
#include "shell/captureflow.h"
#include "shell/program.h"
#include "toolbox/frmtoolbox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

// The tool codes as the user meets them: the tool bar's button index, one more than the stored
// Tool setting.
enum TestToolCode : std::int16_t {
    ToolPen = 1,
    ToolCircle = 2,
    ToolRectangle = 3,
    ToolLine = 4,
    ToolText = 5,
};

// The settings, whose keys the tests write and read.
inline const SettingTable& setting = settingTable();

// A widget of a window by its object name, the name the help pages use for it.
template <typename T = QWidget>
T* named(const QObject* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

struct TestProgram {
    QTemporaryDir dir;
    FakePlatform* fake = nullptr;
    std::unique_ptr<Program> program;

    QString settingsPath() const { return dir.filePath(QStringLiteral("Scrawlix.conf")); }

    // Creates the program; preset(store) may write settings before it starts.
    template <typename Preset>
    explicit TestProgram(Preset preset)
    {
        auto platform = std::make_unique<FakePlatform>();
        fake = platform.get();
        auto store = SettingsStore::atFile(settingsPath());
        preset(*store);
        program = std::make_unique<Program>(std::move(platform), std::move(store));
        program->endProgram = [] {};
    }
    TestProgram() : TestProgram([](SettingsStore&) {}) {}

    Program& operator*() { return *program; }
    Program* operator->() { return program.get(); }
    // An independent view of the settings file, as another program would see it.
    std::unique_ptr<SettingsStore> reopenStore() const { return SettingsStore::atFile(settingsPath()); }
};

// Lets the event loop run until the capture under way, and the requests waiting behind it, are
// done; false when that takes more than a few seconds.
inline bool captureDone(Program& program)
{
    QDeadlineTimer limit(5000);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!program.capture.busy())
            return true;
    } while (!limit.hasExpired());
    return false;
}

// A capture request, run to its end.
inline void capture(Program& program, const QString& kind)
{
    CaptureAndShow(program, kind);
    QVERIFY2(captureDone(program), "the capture did not end");
}

// A started program; notices shown at the tray icon are recorded. preset(store) may write settings
// before it starts.
struct StartedProgram : TestProgram {
    QStringList notices;
    template <typename Preset>
    explicit StartedProgram(Preset preset) : TestProgram(preset)
    {
        program->trayNotice = [this](const QString& text) { notices << text; };
        program->start();
    }
    StartedProgram() : StartedProgram([](SettingsStore&) {}) {}
    FrmMain* canvas() { return program->frmMain(); }
    FrmToolbox* toolbox() { return program->frmToolbox(); }
};

// A started program showing a screen capture with a small square drawn in Marker around (10, 10).
struct ShownProgram : StartedProgram {
    static constexpr QRgb Marker = 0xff010203;
    ShownProgram()
    {
        capture(*program, QStringLiteral("screen"));
        canvas()->document().box(QPointF(8, 8), QPointF(12, 12), 1, QColor(Marker), true);
    }
    QList<ScriptedDialogs::Asked>& asked() { return fake->fakeDialogs->asked; }
    QList<RecordingMessageBoxes::Shown>& messages() { return fake->fakeMessages->shown; }
    void answer(const QString& file) { fake->fakeDialogs->fileAnswers.push_back(file); }
};

// Writes a file whole; false when it cannot.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
