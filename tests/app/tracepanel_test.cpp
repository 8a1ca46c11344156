// The Trace tab in the window: what each device row shows and enables, that the settings
// hold what the controls show, and the two I/Q input dialogs.
#include "analogiqdialog.h"
#include "devicetype.h"
#include "digitaliqdialog.h"
#include "tracedialogs.h"
#include "workflowfixture.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

// Records which dialog the panel asked for and plays what the user does in it.
class ScriptedTraceDialogs : public TraceDialogs
{
public:
    void editAnalogIq(QWidget *, AppSettings &s) override
    {
        opened << QStringLiteral("analog");
        s.anaIqOffset = 1.5;
    }
    void editDigitalIq(QWidget *, AppSettings &s) override
    {
        opened << QStringLiteral("digital");
        s.digiIqRange = 4.0;
    }
    QStringList opened;
};

class TracePanelTest : public WorkflowTest
{
protected:
    MainWindow &openTrace()
    {
        MainWindow &w = open();
        auto scripted = std::make_unique<ScriptedTraceDialogs>();
        traceDialogs = scripted.get();
        w.setTraceDialogs(std::move(scripted));
        child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
        return w;
    }

    void chooseRow(DeviceId id) { child<QComboBox>("Trace_DevTyp")->setCurrentIndex(int(id)); }

    bool shown(const char *name) const { return !child<QWidget>(name)->isHidden(); }
    bool enabled(const char *name) const { return child<QWidget>(name)->isEnabled(); }

    void edit(const char *name, double value)
    {
        if (auto *spin = child<QSpinBox>(name)) {
            spin->setValue(int(value));
            emit spin->editingFinished();
        } else {
            auto *dspin = child<QDoubleSpinBox>(name);
            dspin->setValue(value);
            emit dspin->editingFinished();
        }
    }

    AppSettings &settings() { return window->workspace().settings(); }

    ScriptedTraceDialogs *traceDialogs = nullptr;
};

}  // namespace

// Every row in turn, checked against the panel's table written out here.
TEST_F(TracePanelTest, EachRowShowsAndEnablesItsControls)
{
    openTrace();
    for (int i = 0; i < deviceTypeCount; ++i) {
        const DeviceType &row = deviceType(i);
        const DeviceId id = row.id;
        SCOPED_TRACE(row.name);
        chooseRow(id);
        EXPECT_EQ(settings().deviceType, i);
        const bool scope = id == DeviceId::Nutmeg;
        EXPECT_EQ(shown("Osc"), scope);
        EXPECT_EQ(shown("Ana"), !scope);
        if (scope)
            continue;
        const bool alder = id == DeviceId::Alder, elm = id == DeviceId::ElmFirGum;
        const bool maple = id == DeviceId::Maple;
        EXPECT_EQ(shown("Trace_Ana_Rbw"), row.bandwidths.empty());
        EXPECT_FALSE(enabled("Trace_Ana_Rbw"));
        EXPECT_EQ(shown("Trace_Ana_RbwTxt"), !row.bandwidths.empty());
        EXPECT_EQ(shown("Trace_Ana_SRat"), row.sampleRates.empty());
        EXPECT_EQ(shown("Trace_Ana_SRatTxt"), !row.sampleRates.empty());
        for (const char *name : {"Trace_Ana_PreTrg", "Trace_Ana_PreTrg_Lbl", "Trace_Ana_FltTyp"})
            EXPECT_EQ(shown(name), !alder) << name;
        for (const char *name :
             {"Trace_Ana_RLen", "Trace_Ana_TrgOfs", "Trace_Ana_DatTyp", "Trace_Ana_DatTyp_Lbl"})
            EXPECT_EQ(shown(name), alder) << name;
        for (const char *name : {"Trace_Ana_IQInp", "Trace_Ana_Bal", "Trace_Ana_Imp",
                                 "Trace_Ana_Dith", "Trace_Ana_Lp", "Trace_Ana_Lp_Lbl"})
            EXPECT_EQ(shown(name), !alder && !elm) << name;
        for (const char *name :
             {"Trace_Ana_Bal", "Trace_Ana_Imp", "Trace_Ana_Dith", "Trace_Ana_Lp"})
            EXPECT_FALSE(enabled(name)) << name;  // no Init, no option
        EXPECT_EQ(shown("Trace_Ana_Avg"), elm);
        EXPECT_EQ(enabled("Trace_Ana_PreTrg"), !maple);
        EXPECT_EQ(enabled("Trace_Ana_TrgMod"), !maple);
        EXPECT_EQ(enabled("Trace_Ana_Cnt"), !alder);
        for (const char *name : {"Trace_Ana_RbwTxt", "Trace_Ana_Rbw_Lbl", "Trace_Ana_TrgSlp",
                                 "Trace_Ana_TrgSlp_Lbl", "Trace_Ana_FltTyp_Lbl"})
            EXPECT_EQ(enabled(name), !alder && !elm) << name;
        EXPECT_EQ(child<QComboBox>("Trace_Ana_TrgMod")->count(), row.triggerModes.count);
        EXPECT_EQ(child<QComboBox>("Trace_Ana_TrgSlp")->count(), row.slopes.count);
        EXPECT_EQ(child<QComboBox>("Trace_Ana_IQInp")->count(), row.inputs.count);
    }
}

TEST_F(TracePanelTest, TheDeviceListIsTheTable)
{
    openTrace();
    auto *list = child<QComboBox>("Trace_DevTyp");
    ASSERT_EQ(list->count(), deviceTypeCount);
    for (int i = 0; i < deviceTypeCount; ++i)
        EXPECT_EQ(list->itemText(i), QString::fromLatin1(deviceType(i).name));
}

TEST_F(TracePanelTest, ListRowsStoreTheValueOfTheItemShown)
{
    storeKeys({{"Analyzer/Type", int(DeviceId::Olive)},
               {"Analyzer/Sample Rate Index", 15},
               {"Analyzer/Sample Rate", 32e6},
               {"Program/IQ Source", 1}});
    openTrace();
    auto *rates = child<QComboBox>("Trace_Ana_SRatTxt");
    EXPECT_EQ(rates->currentIndex(), 0);
    EXPECT_EQ(rates->currentText(), QStringLiteral("15.625k"));
    EXPECT_EQ(settings().sampleRate, 15625.0);
    EXPECT_EQ(settings().sampleRateIndex, 0);

    rates->setCurrentIndex(11);
    chooseRow(DeviceId::Pine);  // the same list on Pine: the choice stays
    EXPECT_EQ(rates->currentText(), QStringLiteral("32M"));
    auto *bandwidths = child<QComboBox>("Trace_Ana_RbwTxt");
    bandwidths->setCurrentIndex(6);
    chooseRow(DeviceId::Olive);  // B4 has no seventh item: item 0 is shown and stored
    EXPECT_EQ(bandwidths->currentIndex(), 0);
    EXPECT_EQ(settings().resolutionBandwidth, 3e5);
    window.reset();  // closing the window writes the settings file
    const AppSettings back = readStoredSettings(iniPath()).settings;
    EXPECT_EQ(back.sampleRate, 32e6);
    EXPECT_EQ(back.sampleRateIndex, 11);
    EXPECT_EQ(back.resolutionBandwidth, 3e5);
}

TEST_F(TracePanelTest, AlderRecordLengthSetsTheCount)
{
    openTrace();
    chooseRow(DeviceId::Alder);
    child<QDoubleSpinBox>("Trace_Ana_SRat")->setValue(32e6);
    emit child<QDoubleSpinBox>("Trace_Ana_SRat")->editingFinished();
    edit("Trace_Ana_RLen", 20.0);
    EXPECT_EQ(child<QSpinBox>("Trace_Ana_Cnt")->value(), 524200);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>("Trace_Ana_RLen")->value(), 16.38125);
    EXPECT_EQ(window->workspace().source().sampleCount, 524200);
}

// What the file holds after the window closed.
AppSettings storedAfterClose(std::unique_ptr<MainWindow> &window, const QString &path)
{
    window.reset();  // closing the window writes the settings file
    return readStoredSettings(path).settings;
}

TEST_F(TracePanelTest, AlderOnTheWayLeavesOlivesCountAlone)
{
    openTrace();
    chooseRow(DeviceId::Olive);
    edit("Trace_Ana_Cnt", 100000);
    chooseRow(DeviceId::Alder);
    EXPECT_EQ(child<QSpinBox>("Trace_Ana_Cnt")->value(), window->workspace().source().sampleCount);
    chooseRow(DeviceId::Olive);
    EXPECT_EQ(child<QSpinBox>("Trace_Ana_Cnt")->value(), 100000);
    EXPECT_EQ(storedAfterClose(window, iniPath()).sampleCount, 100000u);
}

// On the Load tab the record is the loaded one: Alder's record length does not count it.
TEST_F(TracePanelTest, AlderCountsTheRecordOnlyOnTheTraceTab)
{
    MainWindow &w = open();
    ASSERT_EQ(child<QTabWidget>("LodTrcIqr")->currentIndex(), 0);
    w.workspace().source().sampleCount = 1234;
    chooseRow(DeviceId::Alder);
    EXPECT_EQ(w.workspace().source().sampleCount, 1234);
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    EXPECT_NE(w.workspace().source().sampleCount, 1234);  // from the record length now
}

TEST_F(TracePanelTest, RowanKeepsItsStoredRateAndCountUntilInit)
{
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        storeKeys({{"Analyzer/Type", int(DeviceId::Rowan)},
                   {"Analyzer/Sample Rate", 2e8},
                   {"Analyzer/Sample Count", 500000000u},
                   {"Program/IQ Source", tab}});
        open();
        if (tab == 1) {
            EXPECT_EQ(child<QSpinBox>("Trace_Ana_Cnt")->value(), 500000000);
        }
        const AppSettings back = storedAfterClose(window, iniPath());
        EXPECT_EQ(back.sampleRate, 2e8);
        EXPECT_EQ(back.sampleCount, 500000000u);
    }
}

// What had to move to fit its limits is told in the status bar, as trovik-cli tells it.
TEST_F(TracePanelTest, ClampsOfTheFileAreToldInTheStatusBar)
{
    storeKeys({{"Analyzer/Type", int(DeviceId::Olive)},
               {"Analyzer/Sample Count", 999999u},
               {"Analyzer/Average", 0}});
    MainWindow &w = open();
    const QString message = w.statusBar()->currentMessage();
    EXPECT_TRUE(message.contains(QLatin1String("Analyzer/Sample Count 999999 -> 130560")))
            << message.toStdString();
    EXPECT_TRUE(message.contains(QLatin1String("Analyzer/Average 0 -> 1")))
            << message.toStdString();
}

TEST_F(TracePanelTest, PreTriggerAndCountStayInTheRowsLimits)
{
    openTrace();
    chooseRow(DeviceId::Olive);
    edit("Trace_Ana_PreTrg", 200000);
    EXPECT_EQ(settings().preTriggerSamples, 130559);
    edit("Trace_Ana_PreTrg", -200000);
    EXPECT_EQ(settings().preTriggerSamples, -130559);
    edit("Trace_Ana_Cnt", 999999);
    EXPECT_EQ(settings().sampleCount, 130560u);
    EXPECT_EQ(child<QSpinBox>("Trace_Ana_Cnt")->value(), 130560);
}

TEST_F(TracePanelTest, RowanOptionsDecideItsCountAndAnalogInput)
{
    MainWindow &w = openTrace();
    chooseRow(DeviceId::Rowan);
    InstrumentOptions &options = w.workspace().options();
    options.known = options.q53 = options.q54 = true;
    w.UpdPnl(1);  // as after an Init that found the options
    edit("Trace_Ana_SRat", 200e6);
    edit("Trace_Ana_Cnt", 2000000000);
    EXPECT_EQ(settings().sampleCount, 503315968u);

    auto *inputs = child<QComboBox>("Trace_Ana_IQInp");
    inputs->setCurrentIndex(1);  // analog, but no Q31: back to RF, no dialog
    EXPECT_EQ(inputs->currentIndex(), 0);
    EXPECT_EQ(settings().iqInput, 0);
    EXPECT_TRUE(traceDialogs->opened.isEmpty());
    EXPECT_FALSE(enabled("Trace_Ana_Bal"));

    options.q31 = true;
    w.UpdPnl(1);
    inputs->setCurrentIndex(1);
    EXPECT_EQ(traceDialogs->opened, QStringList{"analog"});
    EXPECT_EQ(settings().iqInput, 1);
    EXPECT_EQ(settings().anaIqOffset, 1.5);
    for (const char *name : {"Trace_Ana_Bal", "Trace_Ana_Imp", "Trace_Ana_Dith", "Trace_Ana_Lp"})
        EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(TracePanelTest, DigitalInputOpensItsDialogAndStoresTheCode)
{
    openTrace();
    chooseRow(DeviceId::Walnut);
    EXPECT_TRUE(shown("Trace_Ana_Rbw"));
    EXPECT_FALSE(enabled("Trace_Ana_Rbw"));
    child<QComboBox>("Trace_Ana_IQInp")->setCurrentIndex(1);  // "DIQ"
    EXPECT_EQ(traceDialogs->opened, QStringList{"digital"});
    EXPECT_EQ(settings().iqInput, 2);
    EXPECT_EQ(settings().digiIqRange, 4.0);
    window.reset();  // closing the window writes the settings file
    QSettings store(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("Analyzer/IQ Input")).toInt(), 2);
    EXPECT_EQ(store.value(QStringLiteral("DigiIQ/Range")).toDouble(), 4.0);
}

TEST_F(TracePanelTest, AnEarlierFilesInputPositionReadsAsItsCode)
{
    storeKeys({{"Analyzer/Type", int(DeviceId::Juniper)}, {"Analyzer/IQ Input", 1}});
    openTrace();
    EXPECT_EQ(settings().iqInput, 2);
    EXPECT_EQ(child<QComboBox>("Trace_Ana_IQInp")->currentText(), QStringLiteral("DIQ"));
    EXPECT_TRUE(traceDialogs->opened.isEmpty());  // showing a stored input opens nothing
}

TEST_F(TracePanelTest, InstrumentSettingChangesDisableTrace)
{
    openTrace();
    child<QWidget>("Trace_Trc")->setEnabled(true);
    child<QLineEdit>("Trace_DevMsg")->setText(QStringLiteral("old instrument"));
    chooseRow(DeviceId::Teak);
    EXPECT_FALSE(enabled("Trace_Trc"));
    EXPECT_TRUE(child<QLineEdit>("Trace_DevMsg")->text().isEmpty());
    child<QWidget>("Trace_Trc")->setEnabled(true);
    auto *resource = child<QLineEdit>("Trace_VisaRS");
    resource->setText(QStringLiteral("GPIB0::20::INSTR"));
    emit resource->textEdited(resource->text());
    EXPECT_FALSE(enabled("Trace_Trc"));
    EXPECT_EQ(settings().resourceString, QStringLiteral("GPIB0::20::INSTR"));
}

TEST_F(TracePanelTest, OscilloscopeTypeAndModeDecideCarrierAndSidebands)
{
    openTrace();
    chooseRow(DeviceId::Nutmeg);
    auto *type = child<QComboBox>("Trace_Osc_InpTyp");
    auto *mode = child<QComboBox>("Trace_Osc_InpMod");
    type->setCurrentIndex(1);
    mode->setCurrentIndex(0);
    EXPECT_FALSE(enabled("Trace_Osc_CFrq"));
    EXPECT_FALSE(shown("Trace_Osc_SbRf"));
    EXPECT_FALSE(shown("Trace_Osc_SbIf"));
    mode->setCurrentIndex(1);
    EXPECT_TRUE(enabled("Trace_Osc_CFrq"));
    EXPECT_TRUE(shown("Trace_Osc_SbIf"));
    type->setCurrentIndex(0);
    EXPECT_TRUE(shown("Trace_Osc_SbRf"));
    EXPECT_FALSE(shown("Trace_Osc_SbIf"));
    EXPECT_EQ(settings().iqInputType, 0);
    EXPECT_EQ(settings().iqInputMode, 1);
    edit("Trace_Osc_RLen", 5000);
    EXPECT_EQ(window->workspace().source().sampleCount, 5000);
}

// ---------------------------------------------------------------------------------------
// The dialogs themselves

TEST(AnalogIqDialogTest, OpensOnTheItemOfTheStoredVoltage)
{
    AppSettings s;
    s.anaIqRange = 2.0;  // no item has it: the nearest, 1.78 V, is shown and stored
    AnalogIqDialog dialog(&s);
    auto *range = dialog.findChild<QComboBox *>(QStringLiteral("IQRng"));
    EXPECT_EQ(range->currentText(), QStringLiteral("1.78 V"));
    EXPECT_EQ(s.anaIqRange, 1.78);
    s.anaIqRange = 0.1;
    AnalogIqDialog again(&s);
    EXPECT_EQ(again.findChild<QComboBox *>(QStringLiteral("IQRng"))->currentText(),
              QStringLiteral("100 mV"));
}

TEST(AnalogIqDialogTest, HighImpedanceHoldsTheRangeAt178)
{
    AppSettings s;
    s.highImpedance = true;
    AnalogIqDialog dialog(&s);
    auto *range = dialog.findChild<QComboBox *>(QStringLiteral("IQRng"));
    range->setCurrentIndex(9);
    EXPECT_EQ(s.anaIqRange, 1.78);
    EXPECT_EQ(range->currentText(), QStringLiteral("1.78 V"));
    s.highImpedance = false;
    range->setCurrentIndex(9);
    EXPECT_EQ(s.anaIqRange, 5.62);
}

// The box shows what the acquisition sends: the stored offset, or (beyond the box) what the
// box holds, stored.
TEST(AnalogIqDialogTest, OffsetShownIsTheOffsetStored)
{
    struct Case
    {
        double stored, shown;
        const char *text;
    };
    for (const Case &k :
         {Case{-5.0, -5.0, "-5.00"}, Case{3.25, 3.25, "3.25"}, Case{150.0, 100.0, "100.00"}}) {
        AppSettings s;
        s.anaIqOffset = k.stored;
        AnalogIqDialog dialog(&s);
        auto *offset = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("IQOfs"));
        EXPECT_EQ(offset->text(), QLatin1String(k.text));
        EXPECT_EQ(s.anaIqOffset, k.shown);
    }
}

TEST(AnalogIqDialogTest, OffsetIsStoredAtOnceWhicheverWayTheDialogCloses)
{
    AppSettings s;
    {
        AnalogIqDialog dialog(&s);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("IQOfs"))->setValue(3.5);
        dialog.reject();
    }
    EXPECT_EQ(s.anaIqOffset, 3.5);
}

// Typing "20" over 10 MHz passes through 2 MHz, whose limit (508) must not stick.
TEST(DigitalIqDialogTest, TheRateLimitsTheRangeWhenItsEditIsFinished)
{
    AppSettings s;
    s.digiIqRange = 1000.0;
    DigitalIqDialog dialog(&s);
    auto *range = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("IQRng"));
    auto *rate = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("InpSRat"));
    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("20"));
    EXPECT_EQ(s.digiIqSampleRate, 20.0);
    EXPECT_EQ(s.digiIqRange, 1000.0);
    QTest::keyClick(rate, Qt::Key_Return);
    EXPECT_EQ(s.digiIqRange, 1000.0);
    EXPECT_EQ(range->value(), 1000.0);
    EXPECT_EQ(range->maximum(), 5080.0);

    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("1"));
    dialog.reject();  // closing finishes the edit too
    EXPECT_EQ(s.digiIqRange, 254.0);
}

TEST(DigitalIqDialogTest, EditsReachTheSettingsAndTheRateLimitsTheRange)
{
    AppSettings s;
    DigitalIqDialog dialog(&s);
    auto *range = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("IQRng"));
    auto *rate = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("InpSRat"));
    EXPECT_EQ(range->value(), 2.0);
    EXPECT_EQ(rate->value(), 10.0);
    range->setValue(100.0);
    EXPECT_EQ(s.digiIqRange, 100.0);
    rate->setValue(0.25);  // range limit now 0.25 x 254 = 63.5, once the edit is finished
    EXPECT_EQ(s.digiIqSampleRate, 0.25);
    EXPECT_EQ(s.digiIqRange, 100.0);
    emit rate->editingFinished();
    EXPECT_EQ(s.digiIqRange, 63.5);
    EXPECT_EQ(range->value(), 63.5);
    EXPECT_EQ(range->maximum(), 63.5);
}
