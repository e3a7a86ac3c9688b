#pragma once

class CTarnView;
class IdeContext;

// Quick Compile of a source window: one "gcc source -c" run with the
// window's own options, gcc's error stream shown in the message window.
// Runs on the user-interface thread and returns when gcc has ended; the
// interface keeps painting but takes no input meanwhile.
void QuickCompile(CTarnView& view, IdeContext& tools);
