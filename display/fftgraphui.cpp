#include "fftgraphui.h"

#include <qwt_plot.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMetaObject>

void FftGraphUi::setupUi(QDialog *dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(QStringLiteral("FftGraph"));
    dialog->resize(728, 512);

    buttonBox = new QDialogButtonBox(dialog);
    buttonBox->setObjectName(QStringLiteral("buttonBox"));
    buttonBox->setGeometry(640, 480, 81, 32);
    buttonBox->setOrientation(Qt::Horizontal);
    buttonBox->setStandardButtons(QDialogButtonBox::Ok);

    plt = new QwtPlot(dialog);
    plt->setObjectName(QStringLiteral("plt"));
    plt->setGeometry(10, 10, 711, 461);

    plt2 = new QwtPlot(dialog);
    plt2->setObjectName(QStringLiteral("plt2"));
    plt2->setGeometry(150, 10, 461, 461);

    retranslateUi(dialog);
    QObject::connect(buttonBox, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttonBox, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QMetaObject::connectSlotsByName(dialog);
}

void FftGraphUi::retranslateUi(QDialog *dialog)
{
    dialog->setWindowTitle(QCoreApplication::translate("FftGraph", "IQ Graph"));
}
