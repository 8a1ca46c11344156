// The window has a fixed size and absolute positions, so nothing reflows: every shown
// control must lie inside its container, apart from its siblings, and be wide enough for
// its text. Checked with the Trace tab showing either instrument group, at both heights.
#include "windowfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

namespace {

QList<QWidget *> shownChildren(QWidget *container)
{
    QList<QWidget *> shown;
    for (QWidget *w : container->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            shown << w;
    return shown;
}

std::string nameOf(const QWidget *w)
{
    return w->objectName().toStdString();
}

std::string text(const QRect &r)
{
    return QStringLiteral("(%1,%2 %3x%4)")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .toStdString();
}

// Inside a group box: below the title and within the frame line.
QRect innerArea(QWidget *container)
{
    auto *group = qobject_cast<QGroupBox *>(container);
    if (!group)
        return container->rect();
    QStyleOptionGroupBox opt;
    opt.initFrom(group);
    opt.text = group->title();
    opt.lineWidth = 1;
    opt.textAlignment = group->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect frame = group->style()->subControlRect(QStyle::CC_GroupBox, &opt,
                                                       QStyle::SC_GroupBoxFrame, group);
    return frame.adjusted(1, 1, -1, -1);
}

void expectTidy(QWidget *container)
{
    const QRect area = innerArea(container);
    const QList<QWidget *> kids = shownChildren(container);
    for (int i = 0; i < kids.size(); ++i) {
        EXPECT_TRUE(area.contains(kids[i]->geometry()))
                << nameOf(kids[i]) << text(kids[i]->geometry()) << " leaves " << nameOf(container)
                << text(area);
        for (int j = i + 1; j < kids.size(); ++j)
            EXPECT_FALSE(kids[i]->geometry().intersects(kids[j]->geometry()))
                    << nameOf(kids[i]) << " overlaps " << nameOf(kids[j]);
    }
}

// Width the text needs; a check box adds its indicator, a push button its border, a label
// a small gap to the control beside it.
int textWidth(QWidget *w, const QString &text)
{
    w->ensurePolished();
    if (qobject_cast<QCheckBox *>(w))
        return w->sizeHint().width();
    const int advance = w->fontMetrics().horizontalAdvance(text);
    if (qobject_cast<QPushButton *>(w))
        return advance + 8;
    return advance + 3;
}

void expectTextsFit(QWidget *root)
{
    for (QLabel *l : root->findChildren<QLabel *>())
        EXPECT_LE(textWidth(l, l->text()), l->width())
                << nameOf(l) << " " << l->text().toStdString();
    for (QAbstractButton *b : root->findChildren<QAbstractButton *>())
        if (!b->objectName().startsWith(QLatin1String("qt_"))) {
            EXPECT_LE(textWidth(b, b->text()), b->width())
                    << nameOf(b) << " " << b->text().toStdString();
        }
    for (QComboBox *c : root->findChildren<QComboBox *>())
        EXPECT_LE(c->sizeHint().width(), c->width()) << nameOf(c);
}

// The number must fit the spin box's text field, beside its arrows.
void expectNumberFits(QAbstractSpinBox *spin)
{
    auto *edit = spin->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(spin->text()) + 4, edit->width())
            << nameOf(spin) << " " << spin->text().toStdString();
}

class LayoutTest
    : public WindowTest
    , public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        MainWindow &w = open();
        w.show();
        w.resize(525, GetParam());
        QApplication::processEvents();
    }

    void showGroup(const char *name)
    {
        child<QGroupBox>("Ana")->setVisible(qstrcmp(name, "Ana") == 0);
        child<QGroupBox>("Osc")->setVisible(qstrcmp(name, "Osc") == 0);
        QApplication::processEvents();
    }
};

// With either instrument group on the Trace tab, nothing leaves its container, overlaps a
// sibling or has its text cut.
TEST_P(LayoutTest, NothingOverlapsOrIsCutWithEitherGroup)
{
    ASSERT_EQ(window->height(), GetParam());
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    for (const char *group : {"Ana", "Osc"}) {
        SCOPED_TRACE(group);
        showGroup(group);
        for (const char *container :
             {"centralWidget", "Save", "Connection", "Load", "Trace", group})
            expectTidy(child<QWidget>(container));
        expectTextsFit(window.get());
    }
}

// The list and number forms of bandwidth and sample rate take turns at one place.
TEST_P(LayoutTest, ListFormsTakeThePlaceOfTheNumberForms)
{
    for (const char *name : {"Trace_Ana_Rbw", "Trace_Ana_SRat"})
        EXPECT_EQ(child<QWidget>(name)->geometry(),
                  window->findChild<QWidget *>(QLatin1String(name) + QStringLiteral("Txt"))
                          ->geometry())
                << name;
}

// Start values, and the widest values the panels show for the instruments in use.
TEST_P(LayoutTest, NumbersAreNotCut)
{
    const struct
    {
        const char *name;
        double value;
    } wide[] = {
            {"Load_SRat", 32e9},
            {"Load_Cnt", 999999999},
            {"Load_RLev", -199.99},
            {"Port", 65535},
            {"Save_Grd", 99},
            {"Trace_Ana_Rbw", 120e6},
            {"Trace_Ana_SRat", 326.4e6},
            {"Trace_Ana_Cnt", 1409285632},
            {"Trace_Ana_PreTrg", -16776703},
            {"Trace_Ana_RLen", 16.38125},
            {"Trace_Ana_TrgOfs", -100.5},
            {"Trace_Ana_Avg", 1000},
            {"Trace_Osc_CFrq", 6e9},
            {"Trace_Osc_SRat", 1e10},
            {"Trace_Osc_Bw", 1e10},
            {"Trace_Osc_RLen", 461373440},
            {"Trace_Osc_Ch", 4},
            {"Trace_Osc_RelBw", 0.85},
    };
    for (const char *group : {"Ana", "Osc"}) {
        showGroup(group);
        for (QAbstractSpinBox *spin : window->findChildren<QAbstractSpinBox *>())
            if (spin->isVisibleTo(window.get()))
                expectNumberFits(spin);
    }
    for (const auto &w : wide) {
        QAbstractSpinBox *spin = child<QAbstractSpinBox>(w.name);
        if (auto *d = qobject_cast<QDoubleSpinBox *>(spin))
            d->setValue(w.value);
        else
            qobject_cast<QSpinBox *>(spin)->setValue(static_cast<int>(w.value));
        expectNumberFits(spin);
    }
}

INSTANTIATE_TEST_SUITE_P(BothHeights, LayoutTest, ::testing::Values(455, 470));

}  // namespace
