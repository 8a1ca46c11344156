#include "analogiqdialog.h"

#include "inputdialoglayout.h"
#include "iqinputranges.h"
#include "settingskeys.h"
#include "stylesheet.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalBlocker>

AnalogIqDialog::AnalogIqDialog(AppSettings *s, QWidget *parent)
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
    // The settings key's limits: an offset from the file (negative ones too) shows as stored.
    const SettingKey &offsetKey = *findSettingKey(QStringLiteral("AnaIQ/IQ Offset"));
    offset->setRange(offsetKey.min, offsetKey.max);

    layOutInputDialog(*this, {tr("IQ Range"), QStringLiteral("IQRng_Lbl"), range},
                      {tr("IQ Offset"), QStringLiteral("IQOfs_Lbl"), offset}, tr("dB"),
                      QStringLiteral("label_2"));

    range->setCurrentIndex(IqInputRanges::nearestAnalog(settings->anaIqRange));
    IqInputRanges::chooseAnalog(*settings, range->currentIndex());
    offset->setValue(settings->anaIqOffset);
    settings->anaIqOffset = offset->value();  // what is shown is what is sent
    QMetaObject::connectSlotsByName(this);
}

void AnalogIqDialog::on_IQRng_currentIndexChanged(int index)
{
    IqInputRanges::chooseAnalog(*settings, index);
    showRange();
}

// High impedance may have lowered the voltage: show the item it now holds.
void AnalogIqDialog::showRange()
{
    const QSignalBlocker blocker(range);
    range->setCurrentIndex(IqInputRanges::nearestAnalog(settings->anaIqRange));
}

void AnalogIqDialog::on_IQOfs_valueChanged(double arg1)
{
    settings->anaIqOffset = arg1;
}
