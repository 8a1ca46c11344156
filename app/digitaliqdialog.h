#pragma once

#include "appsettings.h"

#include <QDialog>

class QDoubleSpinBox;

// "Digital IQ Parameters": the digital I/Q input's full-scale range and its sample rate
// (MHz). Works on the settings record directly; the range's limits follow the rate.
class DigitalIqDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DigitalIqDialog(AppSettings *settings, QWidget *parent = nullptr);

    // However the dialog closes, the rate typed last limits the range.
    void done(int result) override;

private slots:
    void on_IQRng_valueChanged(double arg1);
    void on_InpSRat_valueChanged(double arg1);

private:
    void rateFinished();
    void showRange();

    AppSettings *settings;  // not owned
    QDoubleSpinBox *range;
    QDoubleSpinBox *sampleRate;
};
