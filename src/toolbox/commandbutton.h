#pragma once

// The toolbox's command buttons, as the program describes them. The toolbox only lays them out
// and reports which was clicked; what each one runs is the program's business.

#include <QString>

// How a button looks and where it sits.
struct ToolboxButton {
    const char* name = nullptr; // the name the help pages use ("cmdCopy"); none: no button
    const char* tip = nullptr;  // the tooltip, the button's only label, in English
    int left = 0;               // its place in twips; every button is 375 twips square
    int top = 0;
};

struct CommandButton {
    int command = 0; // what a click reports
    ToolboxButton button;
    QString icon; // art path, "icons/copy"
    QString tip;  // the tooltip as shown, in the user's language
};
