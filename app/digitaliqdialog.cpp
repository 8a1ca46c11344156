#include "digitaliqdialog.h"

#include "inputdialoglayout.h"
#include "iqinputranges.h"
#include "settingskeys.h"
#include "stylesheet.h"

#include <QDoubleSpinBox>
#include <QSignalBlocker>

namespace {

// The range's lower limit (rate x 2^-21) is a few millionths at the usual rates.
constexpr int kRangeDecimals = 6;

}  // namespace

DigitalIqDialog::DigitalIqDialog(AppSettings *s, QWidget *parent)
    : QDialog(parent)
    , settings(s)
    , range(new QDoubleSpinBox(this))
    , sampleRate(new QDoubleSpinBox(this))
{
    prepareCommonLook();
    setStyleSheet(commonStyleSheet());
    setWindowTitle(tr("Digital IQ Parameters"));
    range->setObjectName(QStringLiteral("IQRng"));
    range->setDecimals(kRangeDecimals);
    sampleRate->setObjectName(QStringLiteral("InpSRat"));
    sampleRate->setDecimals(3);
    // The settings key's limits, which the file's value was brought within.
    const SettingKey &rateKey = *findSettingKey(QStringLiteral("DigiIQ/Sample Rate"));
    sampleRate->setRange(rateKey.min, rateKey.max);

    layOutInputDialog(*this, {tr("IQ Range"), QStringLiteral("IQRng_Lbl"), range},
                      {tr("Inp SRate"), QStringLiteral("InpSRat_Lbl"), sampleRate}, tr("MHz"),
                      QStringLiteral("IQOfs_Unit"));

    // The rate first: it decides the range's limits.
    sampleRate->setValue(settings->digiIqSampleRate);
    IqInputRanges::setDigitalSampleRate(*settings, sampleRate->value());
    showRange();
    QMetaObject::connectSlotsByName(this);
    connect(sampleRate, &QDoubleSpinBox::editingFinished, this, &DigitalIqDialog::rateFinished);
}

void DigitalIqDialog::done(int result)
{
    rateFinished();
    QDialog::done(result);
}

void DigitalIqDialog::on_IQRng_valueChanged(double arg1)
{
    IqInputRanges::setDigitalRange(*settings, arg1);
}

// Every keystroke stores the rate; its limits apply to the range only when the edit is
// finished, so the digits typed on the way ("2" on the way to "20") never clamp it.
void DigitalIqDialog::on_InpSRat_valueChanged(double arg1)
{
    settings->digiIqSampleRate = arg1;
}

void DigitalIqDialog::rateFinished()
{
    IqInputRanges::setDigitalSampleRate(*settings, sampleRate->value());
    showRange();
}

void DigitalIqDialog::showRange()
{
    const QSignalBlocker blocker(range);
    const Limits limits = IqInputRanges::digitalRangeLimits(settings->digiIqSampleRate);
    range->setRange(limits.min, limits.max);
    range->setValue(settings->digiIqRange);
}
