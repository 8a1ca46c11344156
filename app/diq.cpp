#include "diq.h"

#include "iqinputranges.h"
#include "stylesheet.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

// The range's lower limit (rate x 2^-21) is a few millionths at the usual rates.
constexpr int kRangeDecimals = 6;
constexpr double kMinRateMhz = 0.001;
constexpr double kMaxRateMhz = 1000.0;

}  // namespace

Diq::Diq(AppSettings *s, QWidget *parent)
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
    sampleRate->setRange(kMinRateMhz, kMaxRateMhz);

    auto *rangeLabel = new QLabel(tr("IQ Range"), this);
    rangeLabel->setObjectName(QStringLiteral("IQRng_Lbl"));
    auto *rateLabel = new QLabel(tr("Inp SRate"), this);
    rateLabel->setObjectName(QStringLiteral("InpSRat_Lbl"));
    auto *unit = new QLabel(tr("MHz"), this);
    unit->setObjectName(QStringLiteral("IQOfs_Unit"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("Ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(rangeLabel, 0, 0);
    grid->addWidget(range, 0, 1);
    grid->addWidget(rateLabel, 1, 0);
    grid->addWidget(sampleRate, 1, 1);
    grid->addWidget(unit, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);

    // The rate first: it decides the range's limits.
    sampleRate->setValue(settings->digiIqSampleRate);
    IqInputRanges::setDigitalSampleRate(*settings, sampleRate->value());
    showRange();
    QMetaObject::connectSlotsByName(this);
}

void Diq::on_IQRng_valueChanged(double arg1)
{
    IqInputRanges::setDigitalRange(*settings, arg1);
}

void Diq::on_InpSRat_valueChanged(double arg1)
{
    IqInputRanges::setDigitalSampleRate(*settings, arg1);
    showRange();
}

void Diq::showRange()
{
    const QSignalBlocker blocker(range);
    const Limits limits = IqInputRanges::digitalRangeLimits(settings->digiIqSampleRate);
    range->setRange(limits.min, limits.max);
    range->setValue(settings->digiIqRange);
}
