// Empties the recycle bins of all drives at once: no question, no progress
// window, no sound. "Failed to load Shell32.dll." when the shell library is
// not there; nothing is shown otherwise.
#pragma once

void EmptyRecycleBin();
