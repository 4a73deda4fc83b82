#pragma once

#include <QString>

// Message-box styles: OK only, OK with the critical-stop icon, OK with the exclamation icon.
namespace mb {
constexpr int OkOnly = 0;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
} // namespace mb

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box and returns when the user closes it.
    virtual void Show(const QString& text, int style, const QString& title) = 0;
};
