// Storage of the shared window handles and the line buffer.
#include "globals.h"

HINSTANCE AppInstance;
HWND MainWindow;
HWND InputCombo;
HWND InputEdit;
HWND ClearButton;
HWND MenuButton;
HWND CloseButton;
char LineBuffer[LineBufferSize];
