#pragma once

// What the main window offers for the current state: one flag per action or control group.
// The window only mirrors it; the rules that decide it live in Workspace::actions().
struct WorkspaceActions
{
    bool loadTab = true;   // the Load tab's controls (not while a capture runs)
    bool traceTab = true;  // the Trace tab's controls (not while a capture runs)
    // A two-file type: the I button reads "I" and the Q button is enabled and reads "Q";
    // otherwise "IQ" and an empty, disabled Q button.
    bool loadTwoFile = false;
    bool saveTwoFile = false;
    bool loadCount = false;    // the Count field
    bool load = true;          // Load IQ
    bool copy = false;         // Copy IQ
    bool save = false;         // Save IQ
    bool append = false;       // Append
    bool plots = false;        // Spectrum, Grp.Delay, I vs. Q and the spectrogram
    bool dataValid = false;    // the Data Valid box is ticked
    bool dataValidBox = true;  // the Data Valid box can be used
    bool init = true;          // Init
    bool trace = false;        // Trace IQ
};
