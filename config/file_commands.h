#pragma once
// File > "Save..." and "Open...".

#include "app/app_state.h"
#include "config/cfg_codec.h"

// The held tables and settings as one configuration, and back.
ConfigData HeldConfig(const App& app);
void ReplaceHeldConfig(App& app, ConfigData data);

// Ask for a file name and write / read it; the outcome goes to the status line.
void SaveConfigFile(App& app);
void LoadConfigFile(App& app);

void SaveConfigCommand(App& app);  // IDM_FILE_SAVE
void OpenConfigCommand(App& app);  // IDM_FILE_OPEN
