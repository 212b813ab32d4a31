// The program's entry point: joins the dialogs to the main window's menu and runs the program.
//
// The dialogs are the top layer: they apply their values through the main window's modules, so
// those modules cannot name them. Here, above both, the menu is handed what it opens.
#include <windows.h>

#include "dialogs/aboutdlg.h"
#include "dialogs/settingsdlg.h"
#include "ui/mainwnd.h"
#include "ui/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    MainMenuDialogs = {ShowSettingsDialog, ShowAboutDialog};
    return RunTolvex(instance, showCommand);
}
