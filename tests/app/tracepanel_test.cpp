// The Trace tab in the window: what each device row shows and enables, that the settings
// hold what the controls show, and the two I/Q input dialogs.
#include "analogiqdialog.h"
#include "devicetype.h"
#include "digitaliqdialog.h"
#include "tracedialogs.h"
#include "tracerules.h"
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

    double value(const char *name) const
    {
        if (auto *spin = child<QSpinBox>(name))
            return spin->value();
        return child<QDoubleSpinBox>(name)->value();
    }

    AppSettings &settings() { return window->workspace().settings(); }

    // What the file holds after the window closed (closing writes it).
    AppSettings storedAfterClose()
    {
        window.reset();
        return readStoredSettings(iniPath()).settings;
    }

    ScriptedTraceDialogs *traceDialogs = nullptr;
};

}  // namespace

// The panel shows, row by row and for each input type and mode of the oscilloscope, what the
// Trace rules say it offers (the rules themselves are checked in tests/instrument).
TEST_F(TracePanelTest, ThePanelMirrorsTheTraceRules)
{
    MainWindow &w = openTrace();
    ASSERT_EQ(child<QComboBox>("Trace_DevTyp")->count(), deviceTypeCount);
    // One control of each group the rules decide: shown, or (last ones) enabled.
    const auto expectMirrored = [&](const DeviceType &row) {
        const TraceControls c = traceControls(settings(), row, w.workspace().options());
        const struct
        {
            const char *name;
            bool value, shownNotEnabled;
        } controls[] = {{"Osc", c.oscilloscope, true},
                        {"Ana", !c.oscilloscope, true},
                        {"Trace_Ana_RbwTxt", c.bandwidthList, true},
                        {"Trace_Ana_Rbw", !c.bandwidthList, true},
                        {"Trace_Ana_SRatTxt", c.sampleRateList, true},
                        {"Trace_Ana_SRat", !c.sampleRateList, true},
                        {"Trace_Ana_PreTrg_Lbl", c.preTrigger, true},
                        {"Trace_Ana_DatTyp_Lbl", c.recordLength, true},
                        {"Trace_Ana_FltTyp", c.filterType, true},
                        {"Trace_Ana_Lp_Lbl", c.inputs, true},
                        {"Trace_Ana_Avg", c.average, true},
                        {"Trace_Osc_SbRf", c.rfSideband, true},
                        {"Trace_Osc_SbIf", c.ifSideband, true},
                        {"Trace_Ana_Rbw", c.bandwidthEditable, false},
                        {"Trace_Ana_Dith", c.analogOptionsEnabled, false},
                        {"Trace_Ana_TrgMod", c.triggerEditable, false},
                        {"Trace_Ana_Cnt", c.countEditable, false},
                        {"Trace_Ana_TrgSlp_Lbl", c.bandwidthAndSlopeEditable, false},
                        {"Trace_Osc_CFrq", c.carrierEnabled, false}};
        const char *hidden = c.oscilloscope ? "Trace_Ana" : "Trace_Osc";  // the other group's
        for (const auto &k : controls)
            if (!QByteArray(k.name).startsWith(hidden)) {
                EXPECT_EQ(k.shownNotEnabled ? shown(k.name) : enabled(k.name), k.value) << k.name;
            }
        if (!c.oscilloscope) {
            EXPECT_EQ(child<QComboBox>("Trace_Ana_TrgMod")->count(), row.triggerModes.count);
            EXPECT_EQ(child<QComboBox>("Trace_Ana_TrgSlp")->count(), row.slopes.count);
            EXPECT_EQ(child<QComboBox>("Trace_Ana_IQInp")->count(), row.inputs.count);
        }
    };
    for (int i = 0; i < deviceTypeCount; ++i) {
        SCOPED_TRACE(deviceType(i).name);
        chooseRow(deviceType(i).id);
        EXPECT_EQ(settings().deviceType, i);
        expectMirrored(deviceType(i));
    }
    chooseRow(DeviceId::Nutmeg);
    for (int type : {0, 1})
        for (int mode : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " mode " << mode);
            child<QComboBox>("Trace_Osc_InpTyp")->setCurrentIndex(type);
            child<QComboBox>("Trace_Osc_InpMod")->setCurrentIndex(mode);
            EXPECT_EQ(settings().iqInputType, type);
            EXPECT_EQ(settings().iqInputMode, mode);
            expectMirrored(deviceType(DeviceId::Nutmeg));
        }
}

// An edit goes through the row's rules; the panel, the settings and the record then hold what
// the rules made of it.
TEST_F(TracePanelTest, EditsShowWhatTheRulesMadeOfThem)
{
    using Stored = double (*)(const AppSettings &);
    const Stored preTrigger = [](const AppSettings &s) { return double(s.preTriggerSamples); };
    const Stored count = [](const AppSettings &s) { return double(s.sampleCount); };
    const struct
    {
        DeviceId row;
        const char *field;
        double value;
        const char *shownField;
        double shown;
        Stored stored;        // null: not checked
        int64_t recordCount;  // -1: not checked
    } cases[] = {
            {DeviceId::Alder, "Trace_Ana_RLen", 20.0, "Trace_Ana_Cnt", 524200, nullptr, 524200},
            {DeviceId::Alder, "Trace_Ana_RLen", 20.0, "Trace_Ana_RLen", 16.38125, nullptr, -1},
            {DeviceId::Olive, "Trace_Ana_PreTrg", 200000, "Trace_Ana_PreTrg", 130559, preTrigger,
             -1},
            {DeviceId::Olive, "Trace_Ana_PreTrg", -200000, "Trace_Ana_PreTrg", -130559, preTrigger,
             -1},
            {DeviceId::Olive, "Trace_Ana_Cnt", 999999, "Trace_Ana_Cnt", 130560, count, -1},
            {DeviceId::Nutmeg, "Trace_Osc_RLen", 5000, "Trace_Osc_RLen", 5000, nullptr, 5000},
    };
    openTrace();
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.value);
        chooseRow(c.row);
        if (c.row == DeviceId::Alder)
            edit("Trace_Ana_SRat", 32e6);
        edit(c.field, c.value);
        EXPECT_DOUBLE_EQ(value(c.shownField), c.shown);
        if (c.stored) {
            EXPECT_EQ(c.stored(settings()), c.shown);
        }
        if (c.recordCount >= 0) {
            EXPECT_EQ(window->workspace().source().sampleCount, c.recordCount);
        }
    }
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
    const AppSettings back = storedAfterClose();
    EXPECT_EQ(back.sampleRate, 32e6);
    EXPECT_EQ(back.sampleRateIndex, 11);
    EXPECT_EQ(back.resolutionBandwidth, 3e5);
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
    EXPECT_EQ(storedAfterClose().sampleCount, 100000u);
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
        const AppSettings back = storedAfterClose();
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

// The dialog shows what the acquisition sends: a range no item has opens on the nearest item,
// and an offset beyond the box on what the box holds, and that is stored.
TEST(AnalogIqDialogTest, ShowsAndStoresWhatTheAcquisitionSends)
{
    const struct
    {
        double storedRange, storedOffset;
        const char *range, *offset;
        double range2, offset2;  // stored after opening
    } cases[] = {{2.0, -5.0, "1.78 V", "-5.00", 1.78, -5.0},
                 {0.1, 3.25, "100 mV", "3.25", 0.1, 3.25},
                 {0.1, 150.0, "100 mV", "100.00", 0.1, 100.0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.offset);
        AppSettings s;
        s.anaIqRange = c.storedRange;
        s.anaIqOffset = c.storedOffset;
        AnalogIqDialog dialog(&s);
        EXPECT_EQ(dialog.findChild<QComboBox *>(QStringLiteral("IQRng"))->currentText(),
                  QLatin1String(c.range));
        EXPECT_EQ(dialog.findChild<QDoubleSpinBox *>(QStringLiteral("IQOfs"))->text(),
                  QLatin1String(c.offset));
        EXPECT_EQ(s.anaIqRange, c.range2);
        EXPECT_EQ(s.anaIqOffset, c.offset2);
    }
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
