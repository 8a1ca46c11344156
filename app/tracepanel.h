#pragma once

#include "appsettings.h"
#include "instrumentoptions.h"
#include "iqbuffer.h"
#include "settingskeys.h"

#include <QObject>

#include <memory>
#include <vector>

class QWidget;
class TraceDialogs;
class Workspace;

namespace Ui {
class MainWindow;
}

// The status-bar text for values that had to move to fit their limits, or "" for none.
QString clampMessage(const std::vector<SettingChange> &changes);

// The Trace tab: fills its lists from the device table, shows the settings as the rules
// leave them and stores every control change through the rules. The settings, record,
// options and VISA connection belong to the window's workspace, which is told what a change
// does to the data.
class TracePanel : public QObject
{
    Q_OBJECT

public:
    TracePanel(Ui::MainWindow &ui, Workspace &work, QWidget *window);
    ~TracePanel() override;

    void setDialogs(std::unique_ptr<TraceDialogs> dialogs);
    // The lists of the current row, after the rules have fitted the settings to it.
    void fillLists();
    // Every Trace control from the settings, after the rules' clamps (the Trace tab's part
    // of the window's refresh).
    void refresh();

    // Tells (clamped) what the last Init lowered by the options it found.
    void initFinished();

signals:
    // The window should refresh the tab it shows.
    void refreshRequested();
    // A change told to the workspace may change what it offers: the window shows its actions.
    void actionsChanged();
    // Values had to move to fit their limits; message says which, from what, to what.
    void clamped(const QString &message);

private:
    const DeviceType &row() const;
    void connectControls();
    void connectAnalyzerLists();
    void connectAnalyzerNumbers();
    void connectAnalyzerInputs();
    void connectOscilloscopeControls();
    void invalidate();
    void showAnalyzer();
    void showAnalyzerVisibility();
    void showAnalyzerValues();
    void showOscilloscope();
    void showInput();
    void showCount();
    void forgetData();

    void deviceTypeChosen(int index);
    void resourceEdited(const QString &text);
    void resourceFinished();
    void rawClicked(bool checked);
    void resetClicked(bool checked);
    void inputChosen(int index);
    void recordLengthRule();
    void oscilloscopeEdited();

    Ui::MainWindow &ui;
    AppSettings &settings;
    IqBuffer &record;
    const InstrumentOptions &options;
    Workspace &work;
    QWidget *window;
    std::unique_ptr<TraceDialogs> dialogs;
    AppSettings beforeInit;  // as Init was pressed
};
