#pragma once
// Which of the window's controls and menu commands gives which event.

#include <optional>

#include "app/main_window.h"

// The event of a button, the check box, a default-resistance combo box (its
// confirmed choice) or File > Save and Open; nothing for any other id.
std::optional<UiEvent> EventOfControl(int id);
