#pragma once

class Program;

// Key presses on the canvas itself: Ctrl+C copy, Ctrl+S save, Ctrl+P print, Ctrl+O open,
// Shift+Delete erase. Each test asks for its modifier whether or not the key matches.
void Form_KeyDown(Program& program, int keyCode);
