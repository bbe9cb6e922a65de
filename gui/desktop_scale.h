// The screen scale the desktop asks for, as a percentage of 96 dots per inch (100 = none).
// One implementation per window system (gui/x11, gui/win32).
#pragma once

// `parentWindow` is the host's window that the editor opens in (null before it opens): where
// the scale differs per monitor, the monitor that holds it decides. 100 when the desktop says
// nothing.
double desktopScalePercent(void* parentWindow);
