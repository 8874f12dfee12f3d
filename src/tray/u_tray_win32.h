// The tray icons on the Windows notification area (Shell_NotifyIconW).
#pragma once

#include "tray/u_tray.h"

// The process's notification area for TMyTrayIcon.
TTrayShell& Win32TrayShell();
