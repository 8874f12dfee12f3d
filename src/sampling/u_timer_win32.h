// The sampling timer on the Windows multimedia timer and a message-only window.
#pragma once

#include "sampling/u_timer.h"

// The process's platform for TMyTimer. Events are created with
// TIME_KILL_SYNCHRONOUS, so no callback runs once KillEvent has returned.
TTimerPlatform& Win32TimerPlatform();
