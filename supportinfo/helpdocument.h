#pragma once

#include <QString>

// The user manual's file name.
QString helpDocumentName();

// Where the user manual is: the working directory first (where the program has always looked),
// then the program's own folder, then the documentation folder of an installation beside it.
// Returns the absolute path of the first that exists, or an empty string.
QString findHelpDocument(const QString &programDir, const QString &workingDir);

// The same for the running program.
QString findHelpDocument();
