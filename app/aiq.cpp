#include "aiq.h"

#include "iqinputranges.h"
#include "stylesheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

Aiq::Aiq(AppSettings *s, QWidget *parent)
    : QDialog(parent)
    , settings(s)
    , range(new QComboBox(this))
    , offset(new QDoubleSpinBox(this))
{
    prepareCommonLook();
    setStyleSheet(commonStyleSheet());
    setWindowTitle(tr("Analog IQ Parameters"));
    range->setObjectName(QStringLiteral("IQRng"));
    for (int i = 0; i < IqInputRanges::analogCount; ++i)
        range->addItem(QString::fromLatin1(IqInputRanges::analogLabel(i)));
    offset->setObjectName(QStringLiteral("IQOfs"));
    offset->setDecimals(2);

    auto *rangeLabel = new QLabel(tr("IQ Range"), this);
    rangeLabel->setObjectName(QStringLiteral("IQRng_Lbl"));
    auto *offsetLabel = new QLabel(tr("IQ Offset"), this);
    offsetLabel->setObjectName(QStringLiteral("IQOfs_Lbl"));
    auto *unit = new QLabel(tr("dB"), this);
    unit->setObjectName(QStringLiteral("label_2"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("Ok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(rangeLabel, 0, 0);
    grid->addWidget(range, 0, 1);
    grid->addWidget(offsetLabel, 1, 0);
    grid->addWidget(offset, 1, 1);
    grid->addWidget(unit, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);

    range->setCurrentIndex(IqInputRanges::nearestAnalog(settings->anaIqRange));
    IqInputRanges::chooseAnalog(*settings, range->currentIndex());
    offset->setValue(settings->anaIqOffset);
    QMetaObject::connectSlotsByName(this);
}

void Aiq::on_IQRng_currentIndexChanged(int index)
{
    IqInputRanges::chooseAnalog(*settings, index);
    showRange();
}

// High impedance may have lowered the voltage: show the item it now holds.
void Aiq::showRange()
{
    const QSignalBlocker blocker(range);
    range->setCurrentIndex(IqInputRanges::nearestAnalog(settings->anaIqRange));
}

void Aiq::on_IQOfs_valueChanged(double arg1)
{
    settings->anaIqOffset = arg1;
}
