#pragma once
// File > "Save..." and "Open...".

#include "app/app_state.h"

// Reads all four tables from the module, then asks for a file name and writes
// the held configuration there.
void SaveConfigCommand(App& app);
// Asks for a file name and loads it into the held configuration; then, loaded
// or not, sends every held setting and table to the module and reads them back.
void OpenConfigCommand(App& app);
