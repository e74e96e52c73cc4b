// The gate every operator-started request passes: TRUE means the caller owns
// the link and sends now; FALSE means it does nothing more (the operator has
// been told where there is something to tell).
#pragma once

#include <windows.h>

BOOL BeginRequest();
