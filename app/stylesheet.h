#pragma once

#include <QString>

// The look shared by the main window, the I/Q input dialogs and the plot window. The main
// window's .ui carries the same text; a test keeps the two equal.
QString commonStyleSheet();

// Call before building a window that uses the common style sheet. Registers the program's
// images (icon, combo-box arrow), which a static library's resources are not on their own,
// and lets fonts pass from a window to its controls although a style sheet is set: without
// that, every control would take the desktop's default font size instead of its window's,
// and the fixed control positions are laid out for the window's font. Safe to call often.
void prepareCommonLook();
