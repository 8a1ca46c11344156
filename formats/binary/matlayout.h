#pragma once

#include <QString>

// matio takes the sizes inside a MAT file on trust: a variable cut short (a truncated file,
// a data element smaller than its dimensions, a compressed stream that ends early) is
// returned as complete, its missing elements filled with whatever memory held. This checks,
// before anything is read, that the index-th top-level element of a level-5 MAT file is a
// numeric array whose real data hold every element its dimensions announce and lie wholly
// inside the file (inside the inflated stream for a compressed element). Files other than
// level 5 are not accepted.
bool matVariableIsComplete(const QString &path, int index);
