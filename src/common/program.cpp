#include "program.h"

HINSTANCE appInstance;
