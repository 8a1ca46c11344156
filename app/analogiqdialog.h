#pragma once

#include "appsettings.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

// "Analog IQ Parameters": the analog I/Q input's range and offset. Works on the settings
// record directly: every change is stored at once, whichever way the dialog is closed.
class AnalogIqDialog : public QDialog
{
    Q_OBJECT

public:
    // Selects the item of the stored range (the nearest one for a value no item has) and
    // stores that item's voltage, so the record holds what the dialog shows.
    explicit AnalogIqDialog(AppSettings *settings, QWidget *parent = nullptr);

private slots:
    void on_IQRng_currentIndexChanged(int index);
    void on_IQOfs_valueChanged(double arg1);

private:
    void showRange();

    AppSettings *settings;  // not owned
    QComboBox *range;
    QDoubleSpinBox *offset;
};
