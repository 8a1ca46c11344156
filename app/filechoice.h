#pragma once

#include "filetypes.h"

#include <QString>

#include <cstdint>

// The naming rules of the Load tab and the Save group: dialog filters and the Q file that
// goes with a chosen I file. Free of widgets so they can be checked on their own.
namespace FileChoice {

// "IQ File (*.x);;All Files (*.*)" for the I button of a one-file row, "I File (...)" for
// a two-file row, "Q File (<second pattern>)..." for the Q button.
QString dialogFilter(const FileTypeRow &row, bool qButton);

// Rows whose two files share one extension: no Q name can be derived from the I name.
bool sharesOneExtension(int row);

// Load side: the chosen name with a last extension "i" replaced by "q"; empty when the
// name does not end in ".i".
QString loadQName(const QString &iName);

// Save side: the name up to the last "." of its file part (the whole name when it has
// none) followed by ".q".
QString saveQName(const QString &iName);

// The folder a dialog starts in next time: that of the name just chosen, or the working
// directory when the dialog was cancelled.
QString folderOf(const QString &fileName);

// The low 32 bits of a count, as the count field shows it.
int32_t low32(int64_t count);

}  // namespace FileChoice
