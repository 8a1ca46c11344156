// The widget tree: names, classes, texts, ranges, start values and styles.
#include "stylesheet.h"
#include "ui_mainwindow.h"
#include "windowfixture.h"

#include <QFile>
#include <QImage>

namespace {

struct Control
{
    const char *name;
    const char *className;
    const char *text;  // nullptr: no fixed text
};

const Control kControls[] = {
        {"menuBar", "QMenuBar", nullptr},
        {"menuFile", "QMenu", "File"},
        {"actionLoad", "QAction", "Load Configuration"},
        {"actionSave", "QAction", "Save Configuration"},
        {"actionQuit", "QAction", "Quit"},
        {"menuHelp", "QMenu", "Help"},
        {"actionContents", "QAction", "Contents"},
        {"actionAbout", "QAction", "About"},
        {"statusBar", "QStatusBar", nullptr},
        {"centralWidget", "QWidget", nullptr},
        {"Quit", "QPushButton", "Quit"},
        {"Connection", "QWidget", nullptr},
        {"PortLbl", "QLabel", "TCP/IP Port"},
        {"Port", "QSpinBox", nullptr},
        {"Conn", "QCheckBox", "Connected"},
        {"DVal", "QCheckBox", "Data Valid"},
        {"ConnectToLbl", "QLabel", "Connect to"},
        {"ConnectTo", "QComboBox", nullptr},
        {"Spec", "QPushButton", "Spectrum"},
        {"GDel", "QPushButton", "Grp.Delay"},
        {"IvsQ", "QPushButton", "I vs. Q"},
        {"Save", "QGroupBox", "Save IQ Data"},
        {"Save_Typ_Lbl", "QLabel", "Type"},
        {"Save_Typ", "QComboBox", nullptr},
        {"Save_I", "QPushButton", nullptr},
        {"Save_Q", "QPushButton", nullptr},
        {"Save_Di", "QLineEdit", nullptr},
        {"Save_Dq", "QLineEdit", nullptr},
        {"Save_Cnt_Lbl", "QLabel", "Guard Samples"},
        {"Save_Grd", "QSpinBox", nullptr},
        {"Save_Sav", "QPushButton", "Save IQ"},
        {"Save_App", "QPushButton", "Append"},
        {"LodTrcIqr", "QTabWidget", nullptr},
        {"Load", "QWidget", nullptr},
        {"Load_Typ_Lbl", "QLabel", "Type"},
        {"Load_Typ", "QComboBox", nullptr},
        {"Load_I", "QPushButton", nullptr},
        {"Load_Q", "QPushButton", nullptr},
        {"Load_Di", "QLineEdit", nullptr},
        {"Load_Dq", "QLineEdit", nullptr},
        {"Load_SRat_Lbl", "QLabel", "SRate/Hz"},
        {"Load_SRat", "QDoubleSpinBox", nullptr},
        {"Load_Cnt_Lbl", "QLabel", "Count"},
        {"Load_Cnt", "QSpinBox", nullptr},
        {"Load_RLev_Lbl", "QLabel", "Ref.Lev/dBm"},
        {"Load_RLev", "QDoubleSpinBox", nullptr},
        {"Load_Lod", "QPushButton", "Load IQ"},
        {"Load_Cpy", "QPushButton", "Copy IQ"},
        {"Trace", "QWidget", nullptr},
        {"Trace_DevTyp_Lbl", "QLabel", "Device Type"},
        {"Trace_DevTyp", "QComboBox", nullptr},
        {"Trace_VisaRS_Lbl", "QLabel", "VISA Resource String"},
        {"Trace_VisaRS", "QLineEdit", nullptr},
        {"Trace_Init", "QPushButton", "Init"},
        {"Trace_DevMsg_Lbl", "QLabel", "Device ID"},
        {"Trace_DevMsg", "QLineEdit", nullptr},
        {"Trace_Rst_Lbl", "QLabel", "Rst"},
        {"Trace_Rst", "QCheckBox", nullptr},
        {"Trace_Raw_Lbl", "QLabel", "Raw"},
        {"Trace_Raw", "QCheckBox", nullptr},
        {"Trace_Trc", "QPushButton", "Trace IQ"},
        {"Osc", "QGroupBox", nullptr},
        {"Ana", "QGroupBox", nullptr},
};

// Controls of the two instrument groups: name, class and the group that holds it. Each
// has a label "<name>_Lbl" in the same group, except the list forms of bandwidth and sample
// rate, which share the label of their number forms.
struct GroupControl
{
    const char *name;
    const char *className;
    const char *group;
};

const GroupControl kGroupControls[] = {
        {"Trace_Ana_Rbw", "QDoubleSpinBox", "Ana"},    {"Trace_Ana_RbwTxt", "QComboBox", "Ana"},
        {"Trace_Ana_SRat", "QDoubleSpinBox", "Ana"},   {"Trace_Ana_SRatTxt", "QComboBox", "Ana"},
        {"Trace_Ana_TrgMod", "QComboBox", "Ana"},      {"Trace_Ana_TrgSlp", "QComboBox", "Ana"},
        {"Trace_Ana_TrgOfs", "QDoubleSpinBox", "Ana"}, {"Trace_Ana_PreTrg", "QSpinBox", "Ana"},
        {"Trace_Ana_RLen", "QDoubleSpinBox", "Ana"},   {"Trace_Ana_Cnt", "QSpinBox", "Ana"},
        {"Trace_Ana_Avg", "QSpinBox", "Ana"},          {"Trace_Ana_DatTyp", "QLineEdit", "Ana"},
        {"Trace_Ana_FltTyp", "QLineEdit", "Ana"},      {"Trace_Ana_IQInp", "QComboBox", "Ana"},
        {"Trace_Ana_Bal", "QCheckBox", "Ana"},         {"Trace_Ana_Imp", "QCheckBox", "Ana"},
        {"Trace_Ana_Dith", "QCheckBox", "Ana"},        {"Trace_Ana_Lp", "QCheckBox", "Ana"},
        {"Trace_Osc_Ch", "QSpinBox", "Osc"},           {"Trace_Osc_CFrq", "QDoubleSpinBox", "Osc"},
        {"Trace_Osc_SRat", "QDoubleSpinBox", "Osc"},   {"Trace_Osc_Bw", "QDoubleSpinBox", "Osc"},
        {"Trace_Osc_RelBw", "QDoubleSpinBox", "Osc"},  {"Trace_Osc_RLen", "QSpinBox", "Osc"},
        {"Trace_Osc_InpTyp", "QComboBox", "Osc"},      {"Trace_Osc_InpMod", "QComboBox", "Osc"},
        {"Trace_Osc_SbRf", "QComboBox", "Osc"},        {"Trace_Osc_SbIf", "QComboBox", "Osc"},
};

QString shownText(QObject *o)
{
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *g = qobject_cast<QGroupBox *>(o))
        return g->title();
    if (auto *a = qobject_cast<QAction *>(o))
        return a->text();
    if (auto *m = qobject_cast<QMenu *>(o))
        return m->title();
    return QString();
}

QStringList comboItems(QComboBox *c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i)
        items << c->itemText(i);
    return items;
}

}  // namespace

TEST_F(WindowTest, EveryNamedControlHasItsClassAndText)
{
    open();
    for (const Control &c : kControls) {
        QObject *o = window->findChild<QObject *>(QLatin1String(c.name));
        ASSERT_NE(o, nullptr) << c.name;
        EXPECT_STREQ(o->metaObject()->className(), c.className) << c.name;
        if (c.text) {
            EXPECT_EQ(shownText(o), QLatin1String(c.text)) << c.name;
        }
    }
}

TEST_F(WindowTest, EveryInstrumentControlSitsInItsGroupWithALabel)
{
    open();
    for (const GroupControl &c : kGroupControls) {
        QWidget *w = child<QWidget>(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_STREQ(w->metaObject()->className(), c.className) << c.name;
        EXPECT_EQ(w->parentWidget()->objectName(), QLatin1String(c.group)) << c.name;
        QString labelName = QLatin1String(c.name);
        if (labelName.endsWith(QLatin1String("Txt")))
            labelName.chop(3);
        auto *label = window->findChild<QLabel *>(labelName + QStringLiteral("_Lbl"));
        ASSERT_NE(label, nullptr) << c.name;
        EXPECT_FALSE(label->text().isEmpty()) << c.name;
        EXPECT_EQ(label->parentWidget(), w->parentWidget()) << c.name;
    }
    EXPECT_EQ(child<QGroupBox>("Osc")->parentWidget()->objectName(), QStringLiteral("Trace"));
    EXPECT_EQ(child<QGroupBox>("Ana")->parentWidget()->objectName(), QStringLiteral("Trace"));
}

TEST_F(WindowTest, MenusHoldTheirActionsInOrder)
{
    open();
    const QList<QAction *> file = child<QMenu>("menuFile")->actions();
    ASSERT_EQ(file.size(), 4);
    EXPECT_EQ(file[0]->objectName(), QStringLiteral("actionLoad"));
    EXPECT_EQ(file[1]->objectName(), QStringLiteral("actionSave"));
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3]->objectName(), QStringLiteral("actionQuit"));
    const QList<QAction *> help = child<QMenu>("menuHelp")->actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->objectName(), QStringLiteral("actionContents"));
    EXPECT_EQ(help[1]->objectName(), QStringLiteral("actionAbout"));
}

TEST_F(WindowTest, TabsInTheirOrderWithTheirTitles)
{
    open();
    QTabWidget *tabs = child<QTabWidget>("LodTrcIqr");
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->widget(0)->objectName(), QStringLiteral("Load"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" Load IQ Data "));
    EXPECT_EQ(tabs->widget(1)->objectName(), QStringLiteral("Trace"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral(" Trace IQ Data"));
}

TEST_F(WindowTest, RangesAndStartValues)
{
    open();
    QSpinBox *guard = child<QSpinBox>("Save_Grd");
    EXPECT_EQ(guard->minimum(), 0);
    EXPECT_EQ(guard->maximum(), 99);
    EXPECT_EQ(guard->value(), 0);
    guard->setValue(150);
    EXPECT_EQ(guard->value(), 99);
    guard->setValue(-3);
    EXPECT_EQ(guard->value(), 0);

    QSpinBox *port = child<QSpinBox>("Port");
    EXPECT_EQ(port->minimum(), 0);
    EXPECT_EQ(port->maximum(), 999999999);
    QSpinBox *count = child<QSpinBox>("Load_Cnt");
    EXPECT_EQ(count->minimum(), 0);
    EXPECT_EQ(count->maximum(), 999999999);
    EXPECT_EQ(count->value(), 0);  // the start-up refresh shows the empty record's count
    QDoubleSpinBox *rate = child<QDoubleSpinBox>("Load_SRat");
    EXPECT_EQ(rate->decimals(), 0);
    EXPECT_EQ(rate->minimum(), 1.0);
    EXPECT_EQ(rate->maximum(), 1e11);
    EXPECT_EQ(rate->value(), 1e8);
    QDoubleSpinBox *level = child<QDoubleSpinBox>("Load_RLev");
    EXPECT_EQ(level->decimals(), 2);
    EXPECT_EQ(level->minimum(), -200.0);
    EXPECT_EQ(level->maximum(), 50.0);
    EXPECT_EQ(level->value(), 50.0);
    EXPECT_EQ(comboItems(child<QComboBox>("ConnectTo")), QStringList({"LOOM", "LOOM2"}));
}

// The generated setup on its own, before the window applies the settings.
TEST(UiSetupTest, StartIndicesAndFixedLists)
{
    QMainWindow host;
    Ui::MainWindow ui;
    ui.setupUi(&host);
    EXPECT_EQ(ui.LodTrcIqr->currentIndex(), 0);
    EXPECT_EQ(ui.ConnectTo->currentIndex(), 1);
    EXPECT_EQ(ui.Port->value(), 1000);
    ASSERT_EQ(ui.Trace_DevTyp->count(), 18);
    EXPECT_EQ(ui.Trace_DevTyp->currentIndex(), 14);
    EXPECT_EQ(ui.Trace_DevTyp->itemText(6), QStringLiteral("Rowan"));
    EXPECT_EQ(ui.Trace_DevTyp->itemText(17), QStringLiteral("Nutmeg"));
    EXPECT_EQ(comboItems(ui.Trace_Osc_InpTyp), QStringList({"REAL", "COMPLEX"}));
    EXPECT_EQ(comboItems(ui.Trace_Osc_InpMod), QStringList({"Baseband", "RFIF"}));
    EXPECT_EQ(comboItems(ui.Trace_Osc_SbRf), QStringList({"INVerse", "NORMal"}));
    EXPECT_EQ(comboItems(ui.Trace_Osc_SbIf), QStringList({"NUPPer", "NLOWer", "IUPPer", "ILOWer"}));
}

TEST_F(WindowTest, PerWidgetStyles)
{
    open();
    const struct
    {
        const char *style;
        QStringList names;
    } groups[] = {
            {"border-color: rgb(200, 200, 200);",
             {"Quit", "Spec", "GDel", "IvsQ", "Save_I", "Save_Q", "Save_Sav", "Save_App",
              "Load_Lod", "Load_I", "Load_Q", "Load_Cpy", "Trace_Trc"}},
            {"background-color: rgb(255, 200, 100);",
             {"Save_Typ", "Save_Grd", "Save_Di", "Save_Dq"}},
            {"background-color: rgb(199, 255, 155);",
             {"Load_Typ", "Load_Di", "Load_Dq", "Load_SRat", "Load_Cnt", "Load_RLev"}},
    };
    for (const auto &g : groups)
        for (const QString &name : g.names)
            EXPECT_EQ(window->findChild<QWidget *>(name)->styleSheet(), QLatin1String(g.style))
                    << name.toStdString();

    // The value controls of the Trace tab; the check boxes keep the common look.
    QStringList traceInputs = {"Trace_VisaRS", "Trace_DevMsg", "Trace_DevTyp"};
    for (const GroupControl &c : kGroupControls)
        if (qstrcmp(c.className, "QCheckBox") != 0)
            traceInputs << QLatin1String(c.name);
    EXPECT_EQ(traceInputs.size(), 27);
    for (const QString &name : traceInputs)
        EXPECT_EQ(window->findChild<QWidget *>(name)->styleSheet(),
                  QStringLiteral("background-color: rgb(255, 255, 190);"))
                << name.toStdString();
}

TEST_F(WindowTest, CommonStyleIconAndFont)
{
    MainWindow &w = open();
    EXPECT_EQ(w.styleSheet(), commonStyleSheet());
    EXPECT_TRUE(commonStyleSheet().contains(QStringLiteral("url(:/images/downarrow.png)")));
    EXPECT_FALSE(QImage(QStringLiteral(":/images/downarrow.png")).isNull());
    EXPECT_FALSE(w.windowIcon().isNull());
    EXPECT_EQ(w.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(w.font().pointSize(), 10);
}

TEST_F(WindowTest, WidthIsFixedAndHeightStaysInItsRange)
{
    MainWindow &w = open();
    EXPECT_EQ(w.size(), QSize(525, 470));
    EXPECT_EQ(w.minimumWidth(), 525);
    EXPECT_EQ(w.maximumWidth(), 525);
    EXPECT_EQ(w.minimumHeight(), 455);
    EXPECT_EQ(w.maximumHeight(), 470);
    w.show();
    w.resize(800, 600);
    EXPECT_EQ(w.size(), QSize(525, 470));
    w.resize(300, 200);
    EXPECT_EQ(w.size(), QSize(525, 455));
}
