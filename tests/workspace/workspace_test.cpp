// Which actions the window offers, state by state: each case drives the workspace as the
// user would and names every action it then offers.
#include "filetypes.h"
#include "workspace.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace {

int loadRow(const char *key)
{
    return FileTypeTable::findLoad(QLatin1String(key));
}

int saveRow(const char *key)
{
    return FileTypeTable::findSave(QLatin1String(key));
}

// The offered actions by name, in the struct's order.
std::string offered(const WorkspaceActions &a)
{
    const std::pair<bool, const char *> names[] = {{a.loadTab, "loadTab"},
                                                   {a.traceTab, "traceTab"},
                                                   {a.loadTwoFile, "loadTwoFile"},
                                                   {a.saveTwoFile, "saveTwoFile"},
                                                   {a.loadCount, "loadCount"},
                                                   {a.load, "load"},
                                                   {a.copy, "copy"},
                                                   {a.save, "save"},
                                                   {a.append, "append"},
                                                   {a.plots, "plots"},
                                                   {a.dataValid, "dataValid"},
                                                   {a.dataValidBox, "dataValidBox"},
                                                   {a.init, "init"},
                                                   {a.trace, "trace"}};
    QStringList on;
    for (const auto &n : names)
        if (n.first)
            on << QLatin1String(n.second);
    return on.join(QLatin1Char(' ')).toStdString();
}

// Steps the cases are built of.
void oneFileTypes(Workspace &w)
{
    w.chooseLoadType(loadRow("iqw-pairs"));
    w.chooseSaveType(saveRow("iqw-pairs"));
}

void captured(Workspace &w)  // a Trace that ended with valid data
{
    w.beginTrace();
    w.endRun();
    w.endTrace(true);
}

// A one-file destination that Append may write: its Q target was set on a two-file type.
void appendableDestination(Workspace &w)
{
    w.chooseSaveType(saveRow("mathcad-single"));
    w.chooseSaveI(QStringLiteral("/d/unused.i"));
    w.chooseSaveType(saveRow("iqw-pairs"));
    w.chooseSaveI(QStringLiteral("/d/out.iqw"));
}

IqStatus joinWithoutMemory(IqBuffer &, IqBuffer &, IqBuffer &, bool, int32_t)
{
    return IqStatus::OutOfMemory;
}

struct Case
{
    const char *name;
    std::function<void(Workspace &)> steps;
    const char *offered;
};

const char *const kIdle = "loadTab traceTab load dataValidBox init";
const char *const kValid = "loadTab traceTab loadCount load plots dataValid dataValidBox init";
const char *const kWritable
        = "loadTab traceTab loadCount load save append plots dataValid dataValidBox init";

// Valid captured data and a destination Append may write, then a changed session setting.
void heldAfterACapture(Workspace &w)
{
    oneFileTypes(w);
    captured(w);
    appendableDestination(w);
    w.invalidateSession();
}

const Case kCases[] = {
        {"nothing chosen", oneFileTypes, kIdle},
        {"two-file types title their buttons I and Q",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("mathcad-single"));
             w.chooseSaveType(saveRow("mathcad-single"));
         },
         "loadTab traceTab loadTwoFile saveTwoFile load dataValidBox init"},
        {"valid data without a destination",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
         },
         kValid},
        {"a one-file destination offers Save, not yet Append",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             w.chooseSaveI(QStringLiteral("/d/out.iqw"));
         },
         "loadTab traceTab loadCount load save plots dataValid dataValidBox init"},
        {"Append once a Q target was set on a two-file type",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
         },
         "loadTab traceTab loadCount load save append plots dataValid dataValidBox init"},
        {"a destination without valid data offers nothing to write",
         [](Workspace &w) {
             oneFileTypes(w);
             appendableDestination(w);
         },
         kIdle},
        {"a two-file destination needs its Q file",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             w.chooseSaveType(saveRow("spw-ascii-single"));  // Q not derived from I
             w.chooseSaveI(QStringLiteral("/d/out.ascsig"));
         },
         "loadTab traceTab saveTwoFile loadCount load plots dataValid dataValidBox init"},
        {"a derived Q file completes a two-file destination",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             w.chooseSaveType(saveRow("mathcad-single"));
             w.chooseSaveI(QStringLiteral("/d/out.i"));
         },
         "loadTab traceTab saveTwoFile loadCount load save append plots dataValid dataValidBox "
         "init"},
        {"a cancelled destination dialog forgets the destination",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.chooseSaveI(QString());
         },
         kValid},
        {"a new load type forgets the data",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.chooseLoadType(loadRow("iqw-blocks"));
         },
         kIdle},
        {"Copy between types the chunked conversion reads and writes",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("wav-mixed"));
             w.chooseLoadI(QStringLiteral("/d/in.wav"));
             w.chooseSaveType(saveRow("wv"));
             w.chooseSaveI(QStringLiteral("/d/out.wv"));
         },
         "loadTab traceTab load copy dataValidBox init"},
        {"no Copy from a text type",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("hex16"));
             w.chooseLoadI(QStringLiteral("/d/in.txt"));
             w.chooseSaveType(saveRow("wv"));
             w.chooseSaveI(QStringLiteral("/d/out.wv"));
         },
         kIdle},
        {"no Copy to a text type",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("iqw-pairs"));
             w.chooseLoadI(QStringLiteral("/d/in.iqw"));
             w.chooseSaveType(saveRow("mathcad-single"));
             w.chooseSaveI(QStringLiteral("/d/out.i"));
         },
         "loadTab traceTab saveTwoFile load dataValidBox init"},
        {"no Copy without its source",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("wav-mixed"));
             w.chooseSaveType(saveRow("wv"));
             w.chooseSaveI(QStringLiteral("/d/out.wv"));
         },
         kIdle},
        {"a new record length leaves the data invalid",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.invalidateData();
         },
         kIdle},
        {"a capture-to-be forgets the chosen source",
         [](Workspace &w) {
             w.chooseLoadType(loadRow("wav-mixed"));
             w.chooseLoadI(QStringLiteral("/d/in.wav"));
             w.chooseSaveType(saveRow("wv"));
             w.chooseSaveI(QStringLiteral("/d/out.wv"));
             w.forgetSource();
         },
         kIdle},
        {"while Init runs, nothing reads or replaces the record",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.beginInit();
         },
         "loadCount load dataValid"},
        {"a Trace drops the data it replaces",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.beginTrace();
         },
         "load"},
        {"a failed Trace leaves no data",
         [](Workspace &w) {
             oneFileTypes(w);
             appendableDestination(w);
             w.beginTrace();
             w.endRun();
             w.endTrace(false);
         },
         kIdle},
        {"an Append without memory to join keeps Save off",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.append(0, joinWithoutMemory);
         },
         "loadTab traceTab loadCount load append plots dataValid dataValidBox init"},
        {"a new capture lifts that",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.append(0, joinWithoutMemory);
             captured(w);
         },
         "loadTab traceTab loadCount load save append plots dataValid dataValidBox init"},
        {"a changed session setting holds Save and Append", heldAfterACapture, kValid},
        {"an oscilloscope setting holds them too",
         [](Workspace &w) {
             oneFileTypes(w);
             captured(w);
             appendableDestination(w);
             w.holdWrites();
         },
         kValid},
        {"the Save group used again ends the hold",
         [](Workspace &w) {
             heldAfterACapture(w);
             w.chooseSaveI(QStringLiteral("/d/out.iqw"));
         },
         kWritable},
        {"a change on the Load side ends the hold",
         [](Workspace &w) {
             heldAfterACapture(w);
             w.setSampleRate(1e6);
         },
         kWritable},
        {"a refresh of the panels ends the hold",
         [](Workspace &w) {
             heldAfterACapture(w);
             w.releaseWrites();
         },
         kWritable},
        {"the end of an Init ends the hold",
         [](Workspace &w) {
             heldAfterACapture(w);
             w.beginInit();
             w.endRun();
             w.endInit();
         },
         kWritable},
        {"the hold leaves invalid data invalid",
         [](Workspace &w) {
             oneFileTypes(w);
             appendableDestination(w);
             w.invalidateSession();
             w.chooseSaveI(QStringLiteral("/d/out.iqw"));
         },
         kIdle},
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class WorkspaceActionsTest : public ::testing::TestWithParam<Case>
{};

TEST_P(WorkspaceActionsTest, OffersWhatTheStateAllows)
{
    Workspace w;
    GetParam().steps(w);
    EXPECT_EQ(offered(w.actions()), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(States, WorkspaceActionsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

// Save is offered for at most 50,000,000 samples right after a change on the Load side;
// using the Save group again offers it for any count.
TEST(WorkspaceSaveLimitTest, HoldsAfterALoadSideChangeUntilTheSaveGroupIsUsed)
{
    const struct
    {
        int64_t count;
        bool chooseAgain;
        bool save;
    } cases[] = {{Workspace::kMaxSaveAfterLoad, false, true},
                 {Workspace::kMaxSaveAfterLoad + 1, false, false},
                 {Workspace::kMaxSaveAfterLoad + 1, true, true}};
    for (const auto &c : cases) {
        Workspace w;
        oneFileTypes(w);
        captured(w);
        w.chooseSaveI(QStringLiteral("/d/out.iqw"));
        w.source().sampleCount = c.count;
        w.setSampleRate(1e6);  // a change on the Load side
        if (c.chooseAgain)
            w.chooseSaveI(QStringLiteral("/d/out.iqw"));
        EXPECT_EQ(w.actions().save, c.save) << c.count << " " << c.chooseAgain;
        EXPECT_TRUE(w.actions().loadCount);
    }
}

}  // namespace
