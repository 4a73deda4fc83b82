#pragma once

// Starting the program with the system. Neither routine reports to its caller: an entry that
// cannot be reached is told to the user in a message box, and that is all.

class MessageBoxes;
class StartupEntry;

// Registers the running program to start with the system.
void AddToStartup(StartupEntry& entry, MessageBoxes& messages);
// Keeps the registration but makes it say "do not start".
void RemoveFromStartup(StartupEntry& entry, MessageBoxes& messages);
