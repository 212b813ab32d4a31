// Start-up and the message loop of the program, which WinMain runs once the main menu's dialogs
// are handed in (MainMenuDialogs, ui/mainwnd.h).
#pragma once

#include <windows.h>

// Reads the settings, hands a second start over to the running copy (a single instance), creates
// and shows the main window and runs the message loop until it ends. Returns the exit code.
int RunTolvex(HINSTANCE instance, int showCommand);
