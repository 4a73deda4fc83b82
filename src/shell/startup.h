#pragma once

class Program;

// The start-up steps, run by the canvas window's load handling. Later steps rely on earlier ones.
void runStartup(Program& program);
