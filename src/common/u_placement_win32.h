// Placing, showing and hiding the tool's top-level windows (the settings
// window, the update dialog).
#pragma once

#include <windows.h>

// Centres the window on the whole monitor under the mouse pointer.
void CenterOnCursorMonitor(HWND window);
// Pulls a window lying (almost) off its monitor's work area back onto it,
// then shows and activates it (restoring it when minimised).
void ShowOnScreen(HWND window);
// The same corrections, then shown without activation, minimised or not.
void ShowOnScreenNoActivate(HWND window, bool minimised);
void HideWindow(HWND window);
