#pragma once

#include "appsettings.h"
#include "chunkedcopy.h"
#include "instrumentoptions.h"
#include "iqbuffer.h"
#include "iqstatus.h"
#include "visaconnection.h"
#include "workspaceactions.h"

#include <QString>

#include <cstdint>
#include <functional>

// What the window's state says beyond the records. Read through Workspace::state().
struct WorkspaceState
{
    bool newState = false;     // the record or an acquisition parameter changed: the link says so
    bool dataValid = false;    // the source record holds valid samples
    bool loadIChosen = false;  // an I (or one-file) source file was chosen
    bool loadQChosen = false;
    bool saveIChosen = false;  // an I (or one-file) destination was chosen
    bool saveQChosen = false;
    bool appendIChosen = false;  // Append's targets; the Q one survives a new save type
    bool appendQChosen = false;
    bool appendMode = false;   // the last write was an Append
    bool outOfMemory = false;  // an Append could not get the memory to join
    // Save is offered for at most kMaxSaveAfterLoad samples after a change on the Load side,
    // until the Save group is used again (a type, a destination, a Save or an Append).
    bool saveSizeLimited = false;
    bool busy = false;       // an Init or a Trace is running
    // A Trace setting changed after the record was made: Save and Append wait until the
    // window is next brought up to date (see Workspace::releaseWrites).
    bool writesHeld = false;
    int32_t guardCount = 0;  // Guard Samples at the last Save or Append
};

// How a Save or an Append writes: the records, whether it appends, the guard count; OutOfMemory
// when the join could not get memory. saveIqFile unless the window shows progress.
using SaveRun = std::function<IqStatus(IqBuffer &source, IqBuffer &scratch, IqBuffer &target,
                                       bool append, int32_t guardCount)>;

struct SaveOutcome
{
    IqStatus status = IqStatus::Ok;
    bool guardTooLong = false;  // Append refused: more guard samples than samples to append
};

// The main window's model: the current record (sourceRecord), the Save destination
// (targetRecord) and Append's work record (scratchRecord), the settings and what Init found,
// the VISA connection, which files are chosen, whether the data are valid and whether a
// capture runs. Each user action is a method here; actions() tells what is enabled after it.
class Workspace
{
public:
    // Samples a Save is offered for right after a load; Append and Copy are not limited.
    static constexpr int64_t kMaxSaveAfterLoad = 50000000;

    const WorkspaceState &state() const { return m_state; }
    WorkspaceActions actions() const;

    const IqBuffer &source() const { return sourceRecord; }
    const IqBuffer &target() const { return targetRecord; }
    const IqBuffer &scratch() const { return scratchRecord; }
    const AppSettings &settings() const { return m_settings; }
    // The Trace panel and the capture work on these in place.
    IqBuffer &source() { return sourceRecord; }
    AppSettings &settings() { return m_settings; }
    InstrumentOptions &options() { return m_options; }
    const InstrumentOptions &options() const { return m_options; }
    VisaConnection &visa() { return m_visa; }

    // The settings file's part of the records: folders, type indices, tab, count, rate.
    void takeStoredRecords(const IqBuffer &source, const IqBuffer &target);
    // Indices no list has count as missing (the settings key's default).
    void keepTypeIndicesInRange(int defaultLoadType, int defaultSaveType);

    // Load tab
    void chooseLoadType(int index);
    // The I (or one-file) source; "" when the dialog was cancelled. True when a Q name
    // followed from it.
    bool chooseLoadI(const QString &name);
    void chooseLoadQ(const QString &name);
    // The rate in SRate/Hz is the record's at once: the plots and the link use it.
    void setSampleRate(double hz);
    IqStatus load(double sampleRate, float refLevel);
    IqStatus copy(double sampleRate, float refLevel, int64_t chunkSamples,
                  const CopyProgress &progress, const CopyCancelled &cancelled);

    // Save group
    void chooseSaveType(int index);
    // The destination from the dialog ("" when cancelled). True when a Q name followed.
    bool chooseSaveI(const QString &name);
    void chooseSaveQ(const QString &name);
    // A destination typed into the path fields counts as one chosen in the dialog.
    bool typeSaveI(const QString &text);
    void typeSaveQ(const QString &text);
    SaveOutcome save(int32_t guardCount, const SaveRun &run = defaultSaveRun());
    SaveOutcome append(int32_t guardCount, const SaveRun &run = defaultSaveRun());

    // Tabs: 0 Load, 1 Trace. The Trace tab's record takes the count its panel shows.
    void showTab(int index, int64_t traceCount);
    // The record-length device decides a capture's count; a loaded file keeps its own.
    void followRecordLength();
    // Nothing is new to the link client: at start-up, and when the link itself changed.
    void clearNewState() { m_state.newState = false; }

    // Trace tab: an instrument setting changed, so the link client is told.
    void markChanged() { m_state.newState = true; }
    // A setting the instrument session was opened with changed (device type, resource
    // string, Raw IQ, reset on Init, relative bandwidth): the session is dropped, so Trace
    // waits for a new Init, and Save and Append are held.
    void invalidateSession();
    // An oscilloscope setting changed: the record no longer matches the panel, so Save and
    // Append are held; the session stays.
    void holdWrites() { m_state.writesHeld = true; }
    // The hold ends when the window is next brought up to date: a change on the Load side or
    // in the Save group, a Copy, a refresh of the panels, or the end of an Init or a Trace.
    void releaseWrites() { m_state.writesHeld = false; }
    // The record becomes a capture-to-be: the data no longer stand.
    void invalidateData() { m_state.dataValid = false; }
    // ...and neither do the Load tab's chosen files.
    void forgetSource();

    // Capture
    void beginInit();
    void beginTrace();
    void endRun();
    void endInit() { m_state.newState = true; }
    void endTrace(bool success);

    static SaveRun defaultSaveRun();

private:
    bool loadIsTwoFile() const;
    bool saveIsTwoFile() const;
    bool sourceChosen() const;
    bool destinationChosen() const;
    bool copyConvertible() const;
    void loadChanged();
    void destinationChanged();
    bool takeSaveI(const QString &name);
    void takeSaveQ(const QString &name);
    SaveOutcome write(bool append, int32_t guardCount, const SaveRun &run);

    WorkspaceState m_state;
    IqBuffer sourceRecord;
    IqBuffer targetRecord;
    IqBuffer scratchRecord;
    AppSettings m_settings;
    InstrumentOptions m_options;  // what Init found; none until then
    VisaConnection m_visa;
};
