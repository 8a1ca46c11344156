#include "inputdialoglayout.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace {

QLabel *namedLabel(QDialog &dialog, const QString &text, const QString &name)
{
    auto *label = new QLabel(text, &dialog);
    label->setObjectName(name);
    return label;
}

}  // namespace

void layOutInputDialog(QDialog &dialog, const InputDialogRow &first, const InputDialogRow &second,
                       const QString &unit, const QString &unitName)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->setObjectName(QStringLiteral("Ok"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *grid = new QGridLayout(&dialog);
    grid->addWidget(namedLabel(dialog, first.label, first.labelName), 0, 0);
    grid->addWidget(first.field, 0, 1);
    grid->addWidget(namedLabel(dialog, second.label, second.labelName), 1, 0);
    grid->addWidget(second.field, 1, 1);
    grid->addWidget(namedLabel(dialog, unit, unitName), 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
}
