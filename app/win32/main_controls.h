#pragma once
// The controls of the main window: creation from the layout table, the moves
// of a resize.

#include <windows.h>

struct Program;

void CreateMainControls(Program& program, HWND window);
void LayoutMainWindow(Program& program, int width, int height);
