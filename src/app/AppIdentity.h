#pragma once

// Names Tarn to the toolkit and the desktop: application and organisation
// name (which place the settings file) and the desktop entry. No display
// name is set: the toolkit would append it to every window title, and
// Tarn's titles are exactly its own ("Tarn - Untitled1", "Dialog").
void setTarnIdentity();
