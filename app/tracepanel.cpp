#include "tracepanel.h"

#include "tracedialogs.h"
#include "tracerules.h"
#include "ui_mainwindow.h"
#include "workspace.h"

#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace {

void showWithLabel(QWidget *control, QWidget *label, bool visible)
{
    control->setVisible(visible);
    label->setVisible(visible);
}

void enableWithLabel(QWidget *control, QWidget *label, bool enabled)
{
    control->setEnabled(enabled);
    label->setEnabled(enabled);
}

template<typename Item>
void fillList(QComboBox *box, const FixedList<Item> &items, const char *Item::*text, int current)
{
    const QSignalBlocker blocker(box);
    box->clear();
    for (const Item &item : items)
        box->addItem(QString::fromLatin1(item.*text));
    box->setCurrentIndex(current);
}

void select(QComboBox *box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

int spinValue(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

QString clampMessage(const std::vector<SettingChange> &changes)
{
    QStringList texts;
    for (const SettingChange &change : changes)
        texts << change.text();
    return texts.isEmpty() ? QString()
                           : QStringLiteral("Clamped ") + texts.join(QStringLiteral("; "));
}

TracePanel::TracePanel(Ui::MainWindow &u, Workspace &ws, QWidget *w)
    : QObject(w)
    , ui(u)
    , settings(ws.settings())
    , record(ws.source())
    , options(ws.options())
    , work(ws)
    , window(w)
    , dialogs(std::make_unique<StandardTraceDialogs>())
{
    const QSignalBlocker blocker(ui.Trace_DevTyp);
    ui.Trace_DevTyp->clear();
    for (int i = 0; i < deviceTypeCount; ++i)
        ui.Trace_DevTyp->addItem(QString::fromLatin1(deviceType(i).name));
    ui.Trace_DevTyp->setCurrentIndex(settings.deviceType);
    // Nothing sends the filter type but the fixed "NORM": shown, not edited.
    ui.Trace_Ana_FltTyp->setReadOnly(true);
    connectControls();
    // Pressed comes before the click that runs Init.
    connect(ui.Trace_Init, &QPushButton::pressed, this, [this] { beforeInit = settings; });
}

void TracePanel::initFinished()
{
    StoredSettings was, now;
    was.settings = beforeInit;
    now.settings = settings;
    const QString message = clampMessage(settingChanges(was, now, TraceRules::keysInitLimits()));
    if (!message.isEmpty())
        emit clamped(message);
}

TracePanel::~TracePanel() = default;

void TracePanel::setDialogs(std::unique_ptr<TraceDialogs> replacement)
{
    dialogs = std::move(replacement);
}

const DeviceType &TracePanel::row() const
{
    return deviceType(settings.deviceType);
}

// ---------------------------------------------------------------------------------------
// Filling and showing

void TracePanel::fillLists()
{
    int64_t count = record.sampleCount;  // the record's count is decided on the Trace tab only
    TraceRules::refresh(settings, row(), options, count);
    const DeviceType &r = row();
    if (isOscilloscopeRow(r))
        return;
    fillList(ui.Trace_Ana_RbwTxt, r.bandwidths, &LabelledValue::text, settings.rbwIndex);
    fillList(ui.Trace_Ana_SRatTxt, r.sampleRates, &LabelledValue::text, settings.sampleRateIndex);
    fillList(ui.Trace_Ana_TrgMod, r.triggerModes, &WordPair::longForm, settings.triggerModeIndex);
    fillList(ui.Trace_Ana_TrgSlp, r.slopes, &WordPair::longForm, settings.triggerSlopeIndex);
    fillList(ui.Trace_Ana_IQInp, r.inputs, &InputEntry::name, r.inputIndex(settings.iqInput));
}

void TracePanel::refresh()
{
    int64_t count = record.sampleCount;
    TraceRules::refresh(settings, row(), options, count);
    record.sampleCount = count;
    ui.Trace_VisaRS->setText(settings.resourceString);
    select(ui.Trace_DevTyp, settings.deviceType);
    const bool oscilloscope = isOscilloscopeRow(row());
    ui.Osc->setVisible(oscilloscope);
    ui.Ana->setVisible(!oscilloscope);
    if (oscilloscope) {
        showOscilloscope();
        return;
    }
    showAnalyzer();
    forgetData();
}

void TracePanel::showAnalyzer()
{
    showAnalyzerVisibility();
    showAnalyzerValues();
}

void TracePanel::showAnalyzerVisibility()
{
    const TraceControls c = traceControls(settings, row(), options);
    ui.Trace_Ana_Rbw->setVisible(!c.bandwidthList);
    ui.Trace_Ana_Rbw->setEnabled(c.bandwidthEditable);
    ui.Trace_Ana_RbwTxt->setVisible(c.bandwidthList);
    ui.Trace_Ana_SRat->setVisible(!c.sampleRateList);
    ui.Trace_Ana_SRatTxt->setVisible(c.sampleRateList);
    showWithLabel(ui.Trace_Ana_PreTrg, ui.Trace_Ana_PreTrg_Lbl, c.preTrigger);
    showWithLabel(ui.Trace_Ana_RLen, ui.Trace_Ana_RLen_Lbl, c.recordLength);
    showWithLabel(ui.Trace_Ana_TrgOfs, ui.Trace_Ana_TrgOfs_Lbl, c.recordLength);
    showWithLabel(ui.Trace_Ana_DatTyp, ui.Trace_Ana_DatTyp_Lbl, c.recordLength);
    showWithLabel(ui.Trace_Ana_FltTyp, ui.Trace_Ana_FltTyp_Lbl, c.filterType);
    showWithLabel(ui.Trace_Ana_IQInp, ui.Trace_Ana_IQInp_Lbl, c.inputs);
    QWidget *const analogBoxes[][2] = {{ui.Trace_Ana_Bal, ui.Trace_Ana_Bal_Lbl},
                                       {ui.Trace_Ana_Imp, ui.Trace_Ana_Imp_Lbl},
                                       {ui.Trace_Ana_Dith, ui.Trace_Ana_Dith_Lbl},
                                       {ui.Trace_Ana_Lp, ui.Trace_Ana_Lp_Lbl}};
    for (QWidget *const *box : analogBoxes) {
        showWithLabel(box[0], box[1], c.inputs);
        enableWithLabel(box[0], box[1], c.analogOptionsEnabled);
    }
    showWithLabel(ui.Trace_Ana_Avg, ui.Trace_Ana_Avg_Lbl, c.average);
    enableWithLabel(ui.Trace_Ana_PreTrg, ui.Trace_Ana_PreTrg_Lbl, c.triggerEditable);
    enableWithLabel(ui.Trace_Ana_TrgMod, ui.Trace_Ana_TrgMod_Lbl, c.triggerEditable);
    enableWithLabel(ui.Trace_Ana_Cnt, ui.Trace_Ana_Cnt_Lbl, c.countEditable);
    enableWithLabel(ui.Trace_Ana_RbwTxt, ui.Trace_Ana_Rbw_Lbl, c.bandwidthAndSlopeEditable);
    enableWithLabel(ui.Trace_Ana_TrgSlp, ui.Trace_Ana_TrgSlp_Lbl, c.bandwidthAndSlopeEditable);
    ui.Trace_Ana_FltTyp_Lbl->setEnabled(c.bandwidthAndSlopeEditable);
}

void TracePanel::showAnalyzerValues()
{
    const DeviceType &r = row();
    if (r.bandwidths.empty()) {
        ui.Trace_Ana_Rbw->setRange(r.bandwidthLimits.min, r.bandwidthLimits.max);
        ui.Trace_Ana_Rbw->setValue(settings.resolutionBandwidth);
    }
    select(ui.Trace_Ana_RbwTxt, settings.rbwIndex);
    select(ui.Trace_Ana_SRatTxt, settings.sampleRateIndex);
    if (r.sampleRates.empty()) {
        ui.Trace_Ana_SRat->setRange(r.sampleRateLimits.min, sampleRateMax(r, options));
        ui.Trace_Ana_SRat->setValue(settings.sampleRate);
    }
    select(ui.Trace_Ana_TrgMod, settings.triggerModeIndex);
    select(ui.Trace_Ana_TrgSlp, settings.triggerSlopeIndex);
    ui.Trace_Ana_PreTrg->setRange(r.preMin, r.preMax);
    ui.Trace_Ana_PreTrg->setValue(settings.preTriggerSamples);
    showInput();
    showCount();
    ui.Trace_Ana_RLen->setValue(settings.recordLength);
    ui.Trace_Ana_TrgOfs->setValue(settings.triggerOffset);
    ui.Trace_Ana_DatTyp->setText(settings.dataType);
    ui.Trace_Ana_FltTyp->setText(settings.filterType);
    ui.Trace_Ana_Avg->setValue(settings.average);
}

void TracePanel::showInput()
{
    select(ui.Trace_Ana_IQInp, row().inputIndex(settings.iqInput));
    ui.Trace_Ana_Bal->setChecked(settings.balanced);
    ui.Trace_Ana_Imp->setChecked(settings.highImpedance);
    ui.Trace_Ana_Dith->setChecked(settings.dithering);
    ui.Trace_Ana_Lp->setChecked(settings.lowPass);
}

// The record-length row counts its record from the record length and leaves "Sample Count"
// to the other rows: its (disabled) box shows the record's count.
void TracePanel::showCount()
{
    const bool recordRow = usesRecordLength(row());
    ui.Trace_Ana_Cnt->setValue(spinValue(recordRow ? record.sampleCount : settings.sampleCount));
}

void TracePanel::showOscilloscope()
{
    const TraceControls c = traceControls(settings, row(), options);
    ui.Trace_Osc_Ch->setValue(settings.channel);
    ui.Trace_Osc_RelBw->setValue(settings.relativeBandwidth);
    select(ui.Trace_Osc_InpTyp, settings.iqInputType);
    select(ui.Trace_Osc_InpMod, settings.iqInputMode);
    ui.Trace_Osc_Bw->setValue(settings.oscBandwidth);
    ui.Trace_Osc_CFrq->setValue(settings.centerFrequency);
    enableWithLabel(ui.Trace_Osc_CFrq, ui.Trace_Osc_CFrq_Lbl, c.carrierEnabled);
    showWithLabel(ui.Trace_Osc_SbRf, ui.Trace_Osc_SbRf_Lbl, c.rfSideband);
    showWithLabel(ui.Trace_Osc_SbIf, ui.Trace_Osc_SbIf_Lbl, c.ifSideband);
    select(ui.Trace_Osc_SbRf, settings.iqSidebandRf);
    select(ui.Trace_Osc_SbIf, settings.iqSidebandIf);
    ui.Trace_Osc_SRat->setValue(settings.sampleRate);
    ui.Trace_Osc_RLen->setValue(spinValue(settings.oscRecordLength));
}

// A refresh of the analyzer panel makes the record a capture-to-be: the loaded data and the
// Load tab's chosen files no longer stand.
void TracePanel::forgetData()
{
    work.forgetSource();
}

// A changed instrument setting: nothing captured or opened before still matches it.
void TracePanel::invalidate()
{
    work.invalidateSession();
    emit actionsChanged();
}

// ---------------------------------------------------------------------------------------
// Control changes

void TracePanel::connectControls()
{
    connect(ui.Trace_DevTyp, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TracePanel::deviceTypeChosen);
    connect(ui.Trace_VisaRS, &QLineEdit::textEdited, this, &TracePanel::resourceEdited);
    connect(ui.Trace_VisaRS, &QLineEdit::editingFinished, this, &TracePanel::resourceFinished);
    connect(ui.Trace_Raw, &QCheckBox::clicked, this, &TracePanel::rawClicked);
    connect(ui.Trace_Rst, &QCheckBox::clicked, this, &TracePanel::resetClicked);
    connectAnalyzerLists();
    connectAnalyzerNumbers();
    connectAnalyzerInputs();
    connectOscilloscopeControls();
}

void TracePanel::deviceTypeChosen(int index)
{
    if (!isDeviceTypeIndex(index))
        return;
    invalidate();
    settings.deviceType = index;
    ui.Trace_DevMsg->clear();
    fillLists();
    emit refreshRequested();
    work.markChanged();
}

// Every edit of the resource string drops the session: the next Trace must go to the
// instrument the string now names.
void TracePanel::resourceEdited(const QString &text)
{
    if (text == settings.resourceString)
        return;
    invalidate();
    settings.resourceString = text;
}

void TracePanel::resourceFinished()
{
    recordLengthRule();
}

void TracePanel::rawClicked(bool checked)
{
    invalidate();
    settings.rawIq = checked;
    ui.Trace_DevMsg->clear();
    recordLengthRule();
    work.markChanged();
}

void TracePanel::resetClicked(bool checked)
{
    invalidate();
    settings.resetOnInit = checked;
    recordLengthRule();
    work.markChanged();
}

// On the Trace tab, the record-length row's count follows its record length.
void TracePanel::recordLengthRule()
{
    if (!usesRecordLength(row()) || ui.LodTrcIqr->currentIndex() != 1)
        return;
    int64_t count = record.sampleCount;
    TraceRules::applyRecordLength(settings, row(), count);
    record.sampleCount = count;
    ui.Trace_Ana_RLen->setValue(settings.recordLength);
    showCount();
}

void TracePanel::connectAnalyzerLists()
{
    const auto changed = [this] { work.markChanged(); };
    const auto onIndex = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(ui.Trace_Ana_RbwTxt, onIndex, this, [this, changed](int index) {
        TraceRules::chooseBandwidth(settings, row(), index);
        changed();
    });
    connect(ui.Trace_Ana_Rbw, &QDoubleSpinBox::editingFinished, this, [this, changed] {
        TraceRules::setBandwidth(settings, row(), ui.Trace_Ana_Rbw->value());
        changed();
    });
    connect(ui.Trace_Ana_SRatTxt, onIndex, this, [this, changed](int index) {
        int64_t count = record.sampleCount;
        TraceRules::chooseSampleRate(settings, row(), options, index, count);
        record.sampleCount = count;
        showCount();
        changed();
    });
    connect(ui.Trace_Ana_SRat, &QDoubleSpinBox::editingFinished, this, [this, changed] {
        int64_t count = record.sampleCount;
        TraceRules::setSampleRate(settings, row(), options, ui.Trace_Ana_SRat->value(), count);
        record.sampleCount = count;
        showAnalyzerValues();
        changed();
    });
    connect(ui.Trace_Ana_TrgMod, onIndex, this, [this, changed](int index) {
        TraceRules::chooseTriggerMode(settings, row(), index);
        changed();
    });
    connect(ui.Trace_Ana_TrgSlp, onIndex, this, [this, changed](int index) {
        TraceRules::chooseTriggerSlope(settings, row(), index);
        changed();
    });
}

void TracePanel::connectAnalyzerNumbers()
{
    const auto changed = [this] { work.markChanged(); };
    connect(ui.Trace_Ana_TrgOfs, &QDoubleSpinBox::editingFinished, this, [this, changed] {
        settings.triggerOffset = ui.Trace_Ana_TrgOfs->value();
        changed();
    });
    connect(ui.Trace_Ana_PreTrg, &QSpinBox::editingFinished, this, [this] {
        TraceRules::setPreTrigger(settings, row(), ui.Trace_Ana_PreTrg->value());
        ui.Trace_Ana_PreTrg->setValue(settings.preTriggerSamples);
    });
    connect(ui.Trace_Ana_RLen, &QDoubleSpinBox::editingFinished, this, [this, changed] {
        work.invalidateData();  // a capture of another length: nothing to save or append
        emit actionsChanged();
        int64_t count = record.sampleCount;
        TraceRules::setRecordLength(settings, row(), ui.Trace_Ana_RLen->value(), count);
        record.sampleCount = count;
        ui.Trace_Ana_RLen->setValue(settings.recordLength);
        showCount();
        changed();
    });
    connect(ui.Trace_Ana_Cnt, &QSpinBox::editingFinished, this, [this, changed] {
        TraceRules::setSampleCount(settings, row(), options, ui.Trace_Ana_Cnt->value());
        showCount();
        changed();
    });
    connect(ui.Trace_Ana_Avg, &QSpinBox::editingFinished, this, [this, changed] {
        settings.average = ui.Trace_Ana_Avg->value();
        changed();
    });
    connect(ui.Trace_Ana_DatTyp, &QLineEdit::textChanged, this,
            [this, changed](const QString &text) {
                settings.dataType = text;
                changed();
            });
}

void TracePanel::connectAnalyzerInputs()
{
    const auto changed = [this] { work.markChanged(); };
    connect(ui.Trace_Ana_IQInp, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TracePanel::inputChosen);
    const std::pair<QCheckBox *, bool AppSettings::*> flagBoxes[]
            = {{ui.Trace_Ana_Bal, &AppSettings::balanced},
               {ui.Trace_Ana_Dith, &AppSettings::dithering},
               {ui.Trace_Ana_Lp, &AppSettings::lowPass}};
    for (const auto &box : flagBoxes)
        connect(box.first, &QCheckBox::clicked, this, [this, changed, field = box.second](bool on) {
            settings.*field = on;
            changed();
        });
    connect(ui.Trace_Ana_Imp, &QCheckBox::clicked, this, [this, changed](bool on) {
        TraceRules::setHighImpedance(settings, on);
        changed();
    });
}

void TracePanel::inputChosen(int index)
{
    switch (TraceRules::chooseInput(settings, row(), options, index)) {
    case TraceRules::InputDialog::AnalogIq: dialogs->editAnalogIq(window, settings); break;
    case TraceRules::InputDialog::DigitalIq: dialogs->editDigitalIq(window, settings); break;
    case TraceRules::InputDialog::None: break;
    }
    showInput();  // a refused input shows RF again
    showAnalyzerVisibility();
    work.markChanged();
}

void TracePanel::connectOscilloscopeControls()
{
    const auto onIndex = QOverload<int>::of(&QComboBox::currentIndexChanged);
    const auto edited = [this](auto apply) {
        return [this, apply] {
            oscilloscopeEdited();
            apply();
        };
    };
    connect(ui.Trace_Osc_Ch, &QSpinBox::editingFinished, this,
            edited([this] { settings.channel = ui.Trace_Osc_Ch->value(); }));
    connect(ui.Trace_Osc_CFrq, &QDoubleSpinBox::editingFinished, this, edited([this] {
                settings.centerFrequency = ui.Trace_Osc_CFrq->value();
                emit refreshRequested();
            }));
    connect(ui.Trace_Osc_SRat, &QDoubleSpinBox::editingFinished, this,
            edited([this] { settings.sampleRate = ui.Trace_Osc_SRat->value(); }));
    connect(ui.Trace_Osc_Bw, &QDoubleSpinBox::editingFinished, this,
            edited([this] { settings.oscBandwidth = ui.Trace_Osc_Bw->value(); }));
    connect(ui.Trace_Osc_RelBw, &QDoubleSpinBox::editingFinished, this, edited([this] {
                settings.relativeBandwidth = ui.Trace_Osc_RelBw->value();
                invalidate();
                emit refreshRequested();
            }));
    connect(ui.Trace_Osc_RLen, &QSpinBox::editingFinished, this, edited([this] {
                settings.oscRecordLength = static_cast<uint32_t>(ui.Trace_Osc_RLen->value());
                record.sampleCount = settings.oscRecordLength;
            }));
    const std::pair<QComboBox *, int32_t AppSettings::*> lists[]
            = {{ui.Trace_Osc_InpTyp, &AppSettings::iqInputType},
               {ui.Trace_Osc_InpMod, &AppSettings::iqInputMode},
               {ui.Trace_Osc_SbRf, &AppSettings::iqSidebandRf},
               {ui.Trace_Osc_SbIf, &AppSettings::iqSidebandIf}};
    for (const auto &list : lists)
        connect(list.first, onIndex, this, [this, field = list.second](int index) {
            oscilloscopeEdited();
            settings.*field = index;
            showOscilloscope();  // type and mode decide what else is shown
        });
}

void TracePanel::oscilloscopeEdited()
{
    work.holdWrites();
    emit actionsChanged();
}
