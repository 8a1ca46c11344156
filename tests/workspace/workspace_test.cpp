// Which actions the window offers, state by state: each case drives the workspace as the
// user would and names every action it then offers.
#include "filetypes.h"
#include "workspace.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

using Step = std::function<void(Workspace &)>;

Step loadType(const char *key)
{
    return [=](Workspace &w) { w.chooseLoadType(loadRow(key)); };
}

Step saveType(const char *key)
{
    return [=](Workspace &w) { w.chooseSaveType(saveRow(key)); };
}

Step loadI(const char *name)
{
    return [=](Workspace &w) { w.chooseLoadI(QLatin1String(name)); };
}

Step saveI(const char *name)
{
    return [=](Workspace &w) { w.chooseSaveI(QLatin1String(name)); };
}

const Step writable = [](Workspace &w) {  // valid captured data and an appendable destination
    oneFileTypes(w);
    captured(w);
    appendableDestination(w);
};

// An Append that could not get the memory to join the records.
const Step appendWithoutMemory = [](Workspace &w) {
    w.append(0, [](IqBuffer &, IqBuffer &, IqBuffer &, bool, int32_t) {
        return IqStatus::OutOfMemory;
    });
};

const Step held = [](Workspace &w) {  // a changed session setting after the capture
    writable(w);
    w.invalidateSession();
};

struct Case
{
    const char *name;
    std::vector<Step> steps;
    const char *offered;
};

const char *const kIdle = "loadTab traceTab load dataValidBox init";
const char *const kValid = "loadTab traceTab loadCount load plots dataValid dataValidBox init";
const char *const kWritable
        = "loadTab traceTab loadCount load save append plots dataValid dataValidBox init";

const Case kCases[] = {
        {"nothing chosen", {oneFileTypes}, kIdle},
        {"two-file types title their buttons I and Q",
         {loadType("mathcad-single"), saveType("mathcad-single")},
         "loadTab traceTab loadTwoFile saveTwoFile load dataValidBox init"},
        {"valid data without a destination", {oneFileTypes, captured}, kValid},
        {"a one-file destination offers Save, not yet Append",
         {oneFileTypes, captured, saveI("/d/out.iqw")},
         "loadTab traceTab loadCount load save plots dataValid dataValidBox init"},
        {"Append once a Q target was set on a two-file type", {writable}, kWritable},
        {"a destination without valid data offers nothing to write",
         {oneFileTypes, appendableDestination},
         kIdle},
        {"a two-file destination needs its Q file",  // a Q name not derived from the I name
         {oneFileTypes, captured, saveType("spw-ascii-single"), saveI("/d/out.ascsig")},
         "loadTab traceTab saveTwoFile loadCount load plots dataValid dataValidBox init"},
        {"a derived Q file completes a two-file destination",
         {oneFileTypes, captured, saveType("mathcad-single"), saveI("/d/out.i")},
         "loadTab traceTab saveTwoFile loadCount load save append plots dataValid dataValidBox "
         "init"},
        {"a cancelled destination dialog forgets the destination", {writable, saveI("")}, kValid},
        {"a new load type forgets the data", {writable, loadType("iqw-blocks")}, kIdle},
        {"Copy between types the chunked conversion reads and writes",
         {loadType("wav-mixed"), loadI("/d/in.wav"), saveType("wv"), saveI("/d/out.wv")},
         "loadTab traceTab load copy dataValidBox init"},
        {"no Copy from a text type",
         {loadType("hex16"), loadI("/d/in.txt"), saveType("wv"), saveI("/d/out.wv")},
         kIdle},
        {"no Copy to a text type",
         {loadType("iqw-pairs"), loadI("/d/in.iqw"), saveType("mathcad-single"), saveI("/d/out.i")},
         "loadTab traceTab saveTwoFile load dataValidBox init"},
        {"no Copy without its source",
         {loadType("wav-mixed"), saveType("wv"), saveI("/d/out.wv")},
         kIdle},
        {"a new record length leaves the data invalid",
         {writable, [](Workspace &w) { w.invalidateData(); }},
         kIdle},
        {"a capture-to-be forgets the chosen source",
         {loadType("wav-mixed"), loadI("/d/in.wav"), saveType("wv"), saveI("/d/out.wv"),
          [](Workspace &w) { w.forgetSource(); }},
         kIdle},
        {"while Init runs, nothing reads or replaces the record",
         {writable, [](Workspace &w) { w.beginInit(); }},
         "loadCount load dataValid"},
        {"a Trace drops the data it replaces",
         {writable, [](Workspace &w) { w.beginTrace(); }},
         "load"},
        {"a failed Trace leaves no data",
         {oneFileTypes, appendableDestination,
          [](Workspace &w) {
              w.beginTrace();
              w.endRun();
              w.endTrace(false);
          }},
         kIdle},
        {"an Append without memory to join keeps Save off",
         {writable, appendWithoutMemory},
         "loadTab traceTab loadCount load append plots dataValid dataValidBox init"},
        {"a new capture lifts that", {writable, appendWithoutMemory, captured}, kWritable},
        {"a changed session setting holds Save and Append", {held}, kValid},
        {"an oscilloscope setting holds them too",
         {writable, [](Workspace &w) { w.holdWrites(); }},
         kValid},
        {"the Save group used again ends the hold", {held, saveI("/d/out.iqw")}, kWritable},
        {"a change on the Load side ends the hold",
         {held, [](Workspace &w) { w.setSampleRate(1e6); }},
         kWritable},
        {"a refresh of the panels ends the hold",
         {held, [](Workspace &w) { w.releaseWrites(); }},
         kWritable},
        {"the end of an Init ends the hold",
         {held,
          [](Workspace &w) {
              w.beginInit();
              w.endRun();
              w.endInit();
          }},
         kWritable},
        {"the hold leaves invalid data invalid",
         {oneFileTypes, appendableDestination, [](Workspace &w) { w.invalidateSession(); },
          saveI("/d/out.iqw")},
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
    for (const Step &step : GetParam().steps)
        step(w);
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

// A load is such a change: a file of 50,000,001 samples (zeros, sparse on disk) leaves Save
// off until the destination is chosen again.
TEST(WorkspaceSaveLimitTest, ALoadOfMoreThanTheLimitHoldsSave)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.iqw"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize((Workspace::kMaxSaveAfterLoad + 1) * 8));
    }
    Workspace w;
    oneFileTypes(w);
    w.chooseSaveI(QStringLiteral("/d/out.iqw"));
    w.chooseLoadI(big);
    ASSERT_EQ(w.load(1e6, 0.0f), IqStatus::Ok);
    EXPECT_EQ(w.source().sampleCount, Workspace::kMaxSaveAfterLoad + 1);
    EXPECT_FALSE(w.actions().save);
    w.chooseSaveI(QStringLiteral("/d/out.iqw"));
    EXPECT_TRUE(w.actions().save);
}

}  // namespace
