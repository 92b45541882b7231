// Showing the tray icon, and what its mouse messages do.
#pragma once

// Adds or removes the tray icon; check box 1003 follows the wish, not the outcome.
void SetTrayIconVisible(bool visible);
