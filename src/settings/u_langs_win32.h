// The language file on Windows: the system's 8-bit code page and the file's
// place beside the executable.
#pragma once

#include <string>

#include "settings/u_langs.h"

// The system's ANSI code page (CP_ACP), for a language file without a
// byte-order mark.
const TCodePage& Win32AnsiCodePage();

// The folder of the executable followed by "PulseryLangs.ini".
std::wstring LangFilePath();

// Module initialisation: reads the language file beside the executable into
// LangFile, once, before the main window is created.
void LoadLangFileAtStart();
