// Start with Windows: the program's value in the machine-wide Run key.
#pragma once

// Writes the Run value when enable is set, deletes it otherwise.
void SetAutoStart(bool enable);
