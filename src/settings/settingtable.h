#pragma once

// The program's settings, one row a key: its name in the store, its default, what a stored text
// may say, and when start-up writes the default. Start-up seeds the store from the rows, the
// options dialog loads and saves through them, and whoever uses a setting reads it through its
// row.
//
// The program writes plain decimal numbers and the hot-key letter. A stored text that says nothing
// the key can use (other text, a number outside its list, a fill style that names no button) stands
// for the key's default, and stays in the store as it is: it may be a line the user wrote.

#include "canvas/colortable.h"
#include "canvas/tools.h"

#include <QString>
#include <climits>
#include <vector>

class SettingsStore;

// When start-up writes a key's default over an absent or empty value.
enum class Seeding {
    Never,          // start-up leaves the key alone; while it is absent it reads as its default
    BeforeDefaults, // before the toolbox is set to the stored defaults
    BeforeHotKey,   // before the hot key is registered
};

class Setting
{
public:
    // A key that holds any text. The row adds itself to the end of table.
    Setting(std::vector<const Setting*>& table, const char* name, const char* byDefault,
            Seeding when);
    // A key that holds a whole number from low to high.
    Setting(std::vector<const Setting*>& table, const char* name, const char* byDefault,
            Seeding when, int low, int high);
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

    const QString key;
    // What start-up seeds, and what a text that says nothing usable stands for; "" for a key that
    // has no default, which reads as 0 where it reads as a number.
    const QString fallback;
    const Seeding seeding;

    // Whether the text is a value of this key. Surrounding blanks are tolerated in numbers.
    bool accepts(const QString& text) const;
    // The number the text says; the default's when it says none.
    int number(const QString& text) const;
    int number(const SettingsStore& store) const;
    // An entry of a list of `count` entries; the default's when the text names none of them, -1
    // when the list is empty.
    int position(const QString& text, int count) const;
    int position(const SettingsStore& store, int count) const;

private:
    bool numeric_;
    int low_ = 0;
    int high_ = 0;
};

// Every key, in the order in which start-up handles them. Each row adds itself to rows() as it is
// made, so the order of the members is the order of the rows.
class SettingTable
{
    std::vector<const Setting*> rows_; // made before the rows below, which add themselves to it

public:
    SettingTable() = default;
    SettingTable(const SettingTable&) = delete;
    SettingTable& operator=(const SettingTable&) = delete;

    const std::vector<const Setting*>& rows() const { return rows_; }

    // The default pen and text size, the size itself.
    const Setting PenSize{rows_, "PenSize", "25", Seeding::BeforeDefaults, 1, 100};
    // The default colour: a position in the colour list, "Custom ..." last.
    const Setting PenColor{rows_, "PenColor", "8", Seeding::BeforeDefaults, 0, CustomColorIndex};
    // The default text font: a position in the sorted list of screen fonts.
    const Setting Font{rows_, "Font", "0", Seeding::BeforeDefaults, 0, INT_MAX};
    // The default drawing tool: one less than the tool's code, so a position in the tool list.
    const Setting Tool{rows_, "Tool", "0", Seeding::BeforeDefaults, 0, toolCount() - 1};
    // The fill button, 1 Outline or 2 Solid.
    const Setting Fill{rows_, "Fill", "1", Seeding::BeforeDefaults, 1, 2};
    // The hot-key letter, as typed; its first character counts (hotkeyletter.h).
    const Setting HotKey{rows_, "HotKey", "V", Seeding::BeforeHotKey};
    // The colour last picked as "Custom ..." in the options dialog, 0x00BBGGRR.
    const Setting CustomColor{rows_, "CustomColor", "", Seeding::Never, 0, 0xFFFFFF};
    // Whether the program starts with the system, 1 or 0.
    const Setting RunOnStartup{rows_, "RunOnStartup", "0", Seeding::Never, 0, 1};
};

const SettingTable& settingTable();

// Writes the default of every key seeded at that moment whose stored value reads as "".
void seedSettings(SettingsStore& store, Seeding moment);

// A plain whole number within [low, high], or nothing. Surrounding blanks are tolerated.
bool parseWholeNumber(const QString& text, int low, int high, int* out);
