#pragma once

// Requests from the command line, of this start or of a later one that found the program
// running: each runs the command of its action (commandtable.h), as the tray menu's item of the
// same name does.

struct InstanceRequest;
class Program;

void RunInstanceRequest(Program& program, const InstanceRequest& request);

// The tray notification that a second plain start asks for.
void SayAlreadyRunning(Program& program);
