#pragma once

class CTarnView;
class IdeContext;

// Build Source of a source window: runs the "Build Source File" dialog on
// copies of the window's settings and takes them back when "Compile!" ran.
// A C++ source gets the host's C++ runtime library in its list first.
// True when "Compile!" ran (whatever gcc made of it).
bool BuildSource(CTarnView& view, IdeContext& tools);
