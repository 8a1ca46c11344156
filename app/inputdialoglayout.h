#pragma once

#include <QString>

class QDialog;
class QWidget;

// One labelled row of an I/Q input dialog.
struct InputDialogRow
{
    QString label;
    QString labelName;
    QWidget *field;
};

// The analog and digital I/Q input dialogs share one layout: two labelled rows, a unit after
// the second, and an OK button under them.
void layOutInputDialog(QDialog &dialog, const InputDialogRow &first, const InputDialogRow &second,
                       const QString &unit, const QString &unitName);
