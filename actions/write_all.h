#pragma once
// Sends every held record of all four tables, row by row.

#include "app/app_state.h"

bool WriteAllActions(App& app);
