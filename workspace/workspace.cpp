#include "workspace.h"

#include "devicetype.h"
#include "dispatch.h"
#include "filechoice.h"
#include "filefailure.h"
#include "filetypes.h"
#include "tracerules.h"

// ---------------------------------------------------------------------------------------
// What is enabled

bool Workspace::loadIsTwoFile() const
{
    return FileTypeTable::loadRow(sourceRecord.typeIndex).fileCount == 2;
}

bool Workspace::saveIsTwoFile() const
{
    return FileTypeTable::saveRow(targetRecord.typeIndex).fileCount == 2;
}

bool Workspace::sourceChosen() const
{
    return m_state.loadIChosen && (!loadIsTwoFile() || m_state.loadQChosen);
}

bool Workspace::destinationChosen() const
{
    return m_state.saveIChosen && (!saveIsTwoFile() || m_state.saveQChosen);
}

// Copy converts only between the types the chunked conversion reads and writes; for any
// other pair it is not offered rather than write samples never read.
bool Workspace::copyConvertible() const
{
    return FileTypeTable::loadRow(sourceRecord.typeIndex).can(RowAbility::CopySource)
           && FileTypeTable::saveRow(targetRecord.typeIndex).can(RowAbility::CopyTarget);
}

// While a capture runs, nothing that reads or replaces the record is offered: its samples
// are the capture's until it ends.
WorkspaceActions Workspace::actions() const
{
    const WorkspaceState &s = m_state;
    const bool free = !s.busy;
    const bool tooLarge = s.saveSizeLimited && sourceRecord.sampleCount > kMaxSaveAfterLoad;
    WorkspaceActions a;
    a.loadTab = a.traceTab = a.dataValidBox = a.init = free;
    a.loadTwoFile = loadIsTwoFile();
    a.saveTwoFile = saveIsTwoFile();
    a.loadCount = s.dataValid;
    a.copy = sourceChosen() && destinationChosen() && copyConvertible();
    a.save = free && s.dataValid && !s.writesHeld && destinationChosen() && !s.outOfMemory
             && !tooLarge;
    a.append = free && s.dataValid && !s.writesHeld && s.appendIChosen && s.appendQChosen
               && FileTypeTable::saveRow(targetRecord.typeIndex).can(RowAbility::Append);
    a.plots = free && s.dataValid;
    a.dataValid = s.dataValid;
    a.trace = free && m_visa.hasInstrument();  // a Trace needs an Init first
    return a;
}

// ---------------------------------------------------------------------------------------
// Start-up

void Workspace::takeStoredRecords(const IqBuffer &source, const IqBuffer &target)
{
    sourceRecord = source;
    targetRecord = target;
}

void Workspace::keepTypeIndicesInRange(int defaultLoadType, int defaultSaveType)
{
    if (sourceRecord.typeIndex < 0 || sourceRecord.typeIndex >= FileTypeTable::loadCount())
        sourceRecord.typeIndex = defaultLoadType;
    if (targetRecord.typeIndex < 0 || targetRecord.typeIndex >= FileTypeTable::saveCount())
        targetRecord.typeIndex = defaultSaveType;
}

// ---------------------------------------------------------------------------------------
// Load tab

// Every change on the Load side tells the link client, and puts Save under its size limit.
void Workspace::loadChanged()
{
    releaseWrites();
    m_state.saveSizeLimited = true;
    m_state.newState = true;
    followRecordLength();
}

void Workspace::chooseLoadType(int index)
{
    sourceRecord.typeIndex = index;
    sourceRecord.iFileName.clear();
    sourceRecord.qFileName.clear();
    m_state.dataValid = false;
    m_state.loadIChosen = false;
    m_state.loadQChosen = false;
    sourceRecord.sampleCount = 0;
    loadChanged();
}

bool Workspace::chooseLoadI(const QString &name)
{
    bool qFollowed = false;
    m_state.loadIChosen = !name.isEmpty();
    sourceRecord.iFileName = name;
    if (!name.isEmpty()) {
        const FileTypeRow &row = FileTypeTable::loadRow(sourceRecord.typeIndex);
        const QString qName = row.fileCount == 2 ? FileTypeTable::loadQName(row, name) : QString();
        // A derived Q name is not a chosen one: loadQChosen stays as it was.
        if (!qName.isEmpty()) {
            sourceRecord.qFileName = qName;
            qFollowed = true;
        }
        m_state.dataValid = false;
        sourceRecord.sampleCount = 0;
    }
    loadChanged();
    sourceRecord.directory = FileChoice::folderOf(sourceRecord.iFileName);
    return qFollowed;
}

// A cancelled Q dialog empties the name but leaves loadQChosen as it was.
void Workspace::chooseLoadQ(const QString &name)
{
    sourceRecord.qFileName = name;
    if (!name.isEmpty()) {
        m_state.loadQChosen = true;
        m_state.dataValid = false;
        sourceRecord.sampleCount = 0;
    }
    loadChanged();
    sourceRecord.directory = FileChoice::folderOf(sourceRecord.qFileName);
}

void Workspace::setSampleRate(double hz)
{
    sourceRecord.sampleRate = hz;
    loadChanged();
}

IqStatus Workspace::load(double sampleRate, float refLevel)
{
    sourceRecord.sampleRate = sampleRate;
    sourceRecord.refLevel = refLevel;
    clearFileFailure();
    const IqStatus status = loadIqFile(sourceRecord);
    m_state.dataValid = status == IqStatus::Ok;
    if (m_state.dataValid)
        m_state.outOfMemory = false;  // new data: the failed join was about other samples
    loadChanged();                    // failed or not, the record changed: the link client is told
    return status;
}

IqStatus Workspace::copy(double sampleRate, float refLevel, int64_t chunkSamples,
                         const CopyProgress &progress, const CopyCancelled &cancelled)
{
    sourceRecord.sampleRate = sampleRate;
    sourceRecord.refLevel = refLevel;
    releaseWrites();
    clearFileFailure();
    const int code = FileTypeTable::saveRow(targetRecord.typeIndex).typeCode;
    const IqStatus status = convertInChunks(sourceRecord, targetRecord.iFileName,
                                            targetRecord.qFileName, code, chunkSamples, progress,
                                            cancelled);
    if (status != IqStatus::Ok) {
        m_state.dataValid = false;
        m_state.newState = false;
    } else if (sourceRecord.heldCount() < sourceRecord.sampleCount) {
        // After more than one chunk the arrays hold the last chunk only: that is not the
        // file's data, so nothing may save, append, plot or serve it as such.
        m_state.dataValid = false;
    }
    return status;
}

// ---------------------------------------------------------------------------------------
// Save group

void Workspace::destinationChanged()
{
    releaseWrites();
    m_state.saveSizeLimited = false;
}

void Workspace::chooseSaveType(int index)
{
    targetRecord.typeIndex = index;
    m_state.saveIChosen = false;
    m_state.saveQChosen = false;
    destinationChanged();
}

bool Workspace::takeSaveI(const QString &name)
{
    const FileTypeRow &row = FileTypeTable::saveRow(targetRecord.typeIndex);
    targetRecord.iFileName = name;
    scratchRecord.iFileName = name;
    m_state.saveIChosen = m_state.appendIChosen = !name.isEmpty();
    bool qFollowed = false;
    if (!name.isEmpty() && row.fileCount == 2 && row.qName == QNameRule::FromIName) {
        targetRecord.qFileName = FileTypeTable::saveQName(row, name);
        scratchRecord.qFileName = targetRecord.qFileName;
        m_state.saveQChosen = m_state.appendQChosen = true;
        qFollowed = true;
    }
    destinationChanged();
    return qFollowed;
}

void Workspace::takeSaveQ(const QString &name)
{
    targetRecord.qFileName = name;
    scratchRecord.qFileName = name;
    m_state.saveQChosen = m_state.appendQChosen = !name.isEmpty();
    destinationChanged();
}

bool Workspace::typeSaveI(const QString &text)
{
    return takeSaveI(text.trimmed());
}

void Workspace::typeSaveQ(const QString &text)
{
    takeSaveQ(text.trimmed());
}

// A cancelled dialog empties the name and forgets the destination; Append's Q target stays.
bool Workspace::chooseSaveI(const QString &name)
{
    targetRecord.iFileName = name;
    bool qFollowed = false;
    if (name.isEmpty()) {
        m_state.saveIChosen = m_state.appendIChosen = false;
        destinationChanged();
    } else {
        qFollowed = takeSaveI(name);
    }
    targetRecord.directory = FileChoice::folderOf(targetRecord.iFileName);
    return qFollowed;
}

void Workspace::chooseSaveQ(const QString &name)
{
    targetRecord.qFileName = name;
    m_state.saveQChosen = false;
    if (!name.isEmpty())
        takeSaveQ(name);
    else
        destinationChanged();
    targetRecord.directory = FileChoice::folderOf(targetRecord.qFileName);
}

SaveRun Workspace::defaultSaveRun()
{
    return [](IqBuffer &source, IqBuffer &scratch, IqBuffer &target, bool append,
              int32_t guardCount) {
        return saveIqFile(source, scratch, target, append, guardCount);
    };
}

SaveOutcome Workspace::write(bool append, int32_t guardCount, const SaveRun &run)
{
    m_state.appendMode = append;
    m_state.guardCount = guardCount;
    destinationChanged();
    SaveOutcome outcome;
    // The guard repeats the end of the appended samples (those the record holds; for a
    // capture, what the instrument sent): there must be that many of them.
    if (append && guardCount > sourceRecord.heldCount()) {
        outcome.guardTooLong = true;
        return outcome;
    }
    clearFileFailure();
    outcome.status = run(sourceRecord, scratchRecord, targetRecord, append, guardCount);
    m_state.outOfMemory = m_state.outOfMemory || outcome.status == IqStatus::OutOfMemory;
    return outcome;
}

SaveOutcome Workspace::save(int32_t guardCount, const SaveRun &run)
{
    return write(false, guardCount, run);
}

SaveOutcome Workspace::append(int32_t guardCount, const SaveRun &run)
{
    return write(true, guardCount, run);
}

// ---------------------------------------------------------------------------------------
// Tabs and capture

void Workspace::showTab(int index, int64_t traceCount)
{
    sourceRecord.iqSource = index;
    if (index == 1)
        sourceRecord.sampleCount = traceCount;
}

void Workspace::followRecordLength()
{
    if (sourceRecord.iqSource == 1 && usesRecordLength(deviceType(m_settings.deviceType)))
        sourceRecord.sampleCount
                = TraceRules::recordLengthSamples(m_settings.recordLength, m_settings.sampleRate);
}

void Workspace::forgetSource()
{
    m_state.dataValid = false;
    m_state.loadIChosen = false;
    m_state.loadQChosen = false;
}

void Workspace::invalidateSession()
{
    m_visa.dropInstrument();
    holdWrites();
}

void Workspace::beginInit()
{
    m_state.busy = true;
}

void Workspace::beginTrace()
{
    m_state.busy = true;
    m_state.newState = false;
    m_state.dataValid = false;
    m_state.outOfMemory = false;
}

void Workspace::endRun()
{
    m_state.busy = false;
    releaseWrites();
}

void Workspace::endTrace(bool success)
{
    m_state.newState = m_state.dataValid = success;
}
