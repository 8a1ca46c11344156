#pragma once

// Whether the desktop has a program for PDF files. On X11 and Wayland the desktop hands a
// file to xdg-open, which starts and then fails quietly when no program takes PDF files, so
// handing the manual over proves nothing: ask xdg-mime for the default PDF program instead.
// Elsewhere (the offscreen platform, for one) the hand-over itself reports the outcome, and
// this says yes.
bool desktopHasPdfViewer();
