// Start-up and the message loop of the program, which WinMain runs once the main menu's dialogs
// are handed in (MainMenuDialogs, ui/mainwnd.h).
#pragma once

#include <windows.h>

// Reads the settings, hands a second start over to the running copy (a single instance), creates
// and shows the main window and runs the message loop until it ends. Returns the exit code.
int RunTolvex(HINSTANCE instance, int showCommand);

// A second start while SingleInstance is on and a main window exists: asks the running copy to
// show itself and returns true with the exit code for this start in exitCode, 0 when the copy
// answered; when it does not answer within a few seconds, or refuses the request because it runs
// with administrator rights, says which in a message box and gives 1.
// False, with exitCode untouched, when this start is to run on its own. Offered for its tests.
bool HandOverToRunningCopy(int* exitCode);

// Registers the class MainClassName with the program's icon, its small image loaded for this run,
// or returns false. UnregisterMainClass, once no window of the class is left, removes the class
// and destroys the small image. Offered for their tests.
bool RegisterMainClass();
void UnregisterMainClass();
