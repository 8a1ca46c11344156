#pragma once

#include <QString>

// The look shared by the main window, the I/Q input dialogs and the plot window. The main
// window's .ui carries the same text; a test keeps the two equal.
QString commonStyleSheet();

// Registers the program's images (icon, combo-box arrow). The style sheet refers to them,
// and a static library's resources are not registered on their own. Safe to call often.
void registerAppResources();
