// The editor object that ADelay builds itself with. A program links one of two definitions:
// the plug-in's window editor (editor_factory_window.cpp), or the preset system's editor side
// without a window (editor_factory_headless.cpp) for programs built without any window system.
#pragma once

class ADelay;

// Builds the editor, which registers itself with the effect; the effect owns it from then on.
void createEditor(ADelay* effect);
