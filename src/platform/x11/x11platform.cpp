#include "x11platform.h"

#include "platform/fake/fakeplatform.h"
#include "platform/qt/qtservices.h"

std::unique_ptr<Platform> createX11Platform()
{
    auto p = std::make_unique<Platform>();
    p->name = QStringLiteral("x11");
    p->keys = std::make_unique<FakeKeyState>();
    p->hotKeys = std::make_unique<FakeHotKeys>();
    p->foreground = std::make_unique<FakeForegroundWindow>();
    p->screen = std::make_unique<FakeScreenPixels>();
    p->cursor = std::make_unique<QtCursorPosition>();
    p->topMost = std::make_unique<QtTopMost>();
    p->shell = std::make_unique<QtShellOpen>();
    p->startup = std::make_unique<FakeStartupEntry>();
    p->messages = std::make_unique<QtMessageBoxes>();
    p->dialogs = std::make_unique<QtDialogs>();
    return p;
}
