#pragma once

// The screen read through wlroots' screencopy protocol (sway, Hyprland, river and the like): the
// compositor copies an output's next frame into shared memory of ours, without the pointer and
// without asking the user. The program's windows run on XWayland; this is a Wayland connection of
// its own, used only here.

#include "compositorgrab.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <memory>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_shm;
struct wl_output;
struct zwlr_screencopy_manager_v1;

// An output's picture in the compositor's pixel layout; the picture in Format_RGB32, or a null
// image for a layout we cannot read. (format: wl_shm's format code; yInvert: rows bottom up.)
QImage screencopyImage(const uchar* data, int width, int height, int stride, quint32 format,
                       bool yInvert);

class WlrScreencopy : public CompositorShot
{
public:
    // Connects to the compositor at WAYLAND_DISPLAY; null where there is none, or where it does
    // not offer screencopy and shared memory.
    static std::unique_ptr<WlrScreencopy> open();
    ~WlrScreencopy() override;

    QString name() const override { return QStringLiteral("wlr-screencopy"); }
    QImage shoot(const QRect& area, QString* why) override;

    struct Output {
        WlrScreencopy* owner = nullptr;
        wl_output* output = nullptr;
        quint32 id = 0;
        QPoint position; // in the compositor's layout
        QSize mode;      // the current mode's pixels
        int scale = 1;
    };
    struct Frame;

private:
    WlrScreencopy() = default;
    static void global(void* data, wl_registry* registry, quint32 id, const char* interface,
                       quint32 version);
    static void globalRemove(void* data, wl_registry* registry, quint32 id);
    // Dispatches events until `done` holds, the connection fails or `ms` pass.
    bool dispatchUntil(const std::function<bool()>& done, int ms);
    QImage copyOutput(Output& out, QString* why);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_screencopy_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
};
