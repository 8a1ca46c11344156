#pragma once

class QDialog;
class QDialogButtonBox;
class QwtPlot;

// The plot window's widgets: an OK button box, the wide plot for the spectrum and phase
// views and the square plot for the I-versus-Q view. Children of the dialog they are set
// up on; the record itself is owned by the dialog.
struct FftGraphUi
{
    QDialogButtonBox *buttonBox = nullptr;
    QwtPlot *plt = nullptr;
    QwtPlot *plt2 = nullptr;

    void setupUi(QDialog *dialog);
    void retranslateUi(QDialog *dialog);
};
