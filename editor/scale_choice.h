// Which screen scale a new editor takes, first match winning: the size the user chose from the
// editor's menu (kept in the per-user settings, so every new editor takes it), the host's
// word, the desktop's setting, else 100 %.
#pragma once

namespace scale_choice {

// The size the user chose (an offered percentage), or 0 when there is none.
int storedUserPercent();
// Keeps the user's choice for every editor from now on; false when it cannot be stored.
bool storeUserPercent(int percent);
// Counts the choices stored by this process, so that an answer of choose() remembered by
// one editor can tell that another editor's choice has made it stale.
unsigned storedChoices();

// `hostPercent` is 0 when the host said nothing. `parentWindow` as desktopScalePercent takes it.
int choose(int hostPercent, void* parentWindow);

}  // namespace scale_choice
