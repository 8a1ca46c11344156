#pragma once

#include "dispatch.h"
#include "mainwindow.h"
#include "settingsfile.h"
#include "workflowdialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

// Answers the workflow's dialogs from a script and records what was asked and shown.
class ScriptedDialogs : public WorkflowDialogs
{
public:
    struct Request
    {
        QString kind;  // "open" or "save"
        QString title, folder, filter;
    };
    struct Box
    {
        QString title, text, detail;
    };

    QString openFileName(QWidget *, const QString &title, const QString &folder,
                         const QString &filter) override
    {
        return answer(QStringLiteral("open"), title, folder, filter);
    }
    QString saveFileName(QWidget *, const QString &title, const QString &folder,
                         const QString &filter) override
    {
        return answer(QStringLiteral("save"), title, folder, filter);
    }
    void warning(QWidget *, const QString &title, const QString &text,
                 const QString &detail) override
    {
        boxes.push_back({title, text, detail});
    }
    std::unique_ptr<CopyProgressView> copyProgress(QWidget *, const QString &text,
                                                   int64_t total) override
    {
        progressText = text;
        progressTotal = total;
        return std::make_unique<Progress>(*this);
    }

    std::deque<QString> answers;  // an empty string cancels the dialog
    QList<Request> requests;
    QList<Box> boxes;
    QString progressText;
    int64_t progressTotal = 0;
    QList<int64_t> progressSteps;
    int cancelAtStep = -1;  // the progress dialog's Cancel is pressed at this step

private:
    class Progress : public CopyProgressView
    {
    public:
        explicit Progress(ScriptedDialogs &owner)
            : owner(owner)
        {}
        bool advance(int64_t done, int64_t) override
        {
            owner.progressSteps.push_back(done);
            return owner.progressSteps.size() - 1 != owner.cancelAtStep;
        }

    private:
        ScriptedDialogs &owner;
    };

    QString answer(const QString &kind, const QString &title, const QString &folder,
                   const QString &filter)
    {
        requests.push_back({kind, title, folder, filter});
        if (answers.empty())
            return QString();
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// n I/Q pairs as little-endian floats, the IQW pairs layout: I = start + k + 0.5, Q = -start - k.
inline QByteArray iqwPairs(int n, float start = 0.0f)
{
    QByteArray bytes(8 * n, '\0');
    for (int k = 0; k < n; ++k) {
        qToLittleEndian(start + float(k) + 0.5f, bytes.data() + 8 * k);
        qToLittleEndian(-start - float(k), bytes.data() + 8 * k + 4);
    }
    return bytes;
}

// A record of n samples rising from start: I = start + k/8, Q = -start - k/4.
inline IqBuffer rampRecord(int n, float start, double rate = 1e6)
{
    IqBuffer r;
    allocateSamples(r, n);
    for (int k = 0; k < n; ++k) {
        r.iData[k] = start + 0.125f * float(k);
        r.qData[k] = -start - 0.25f * float(k);
    }
    r.sampleCount = n;
    r.sampleRate = rate;
    return r;
}

// Writes a record as a file of a save row, through the program's own writer.
inline void saveRecord(IqBuffer record, int saveRow, const QString &i, const QString &q = QString())
{
    IqBuffer scratch, target;
    target.typeIndex = saveRow;
    target.iFileName = i;
    target.qFileName = q;
    ASSERT_EQ(saveIqFile(record, scratch, target, false, 0), IqStatus::Ok) << i.toStdString();
}

// Reads a file through a load row; its sampleCount is -1 when it could not.
inline IqBuffer loadRecord(int loadRow, const QString &i, const QString &q = QString())
{
    IqBuffer r;
    r.typeIndex = loadRow;
    r.iFileName = i;
    r.qFileName = q;
    if (!ok(loadIqFile(r)))
        r.sampleCount = -1;
    return r;
}

inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A window in a fresh settings folder with scripted dialogs, plus a folder for data files.
class WorkflowTest : public ::testing::Test
{
protected:
    QString iniPath() const { return settingsFilePath(configDir.path()); }
    QString file(const QString &name) const { return QDir(dataDir.path()).filePath(name); }

    void storeKeys(const QList<QPair<QString, QVariant>> &keys)
    {
        QSettings store(iniPath(), QSettings::IniFormat);
        for (const auto &k : keys)
            store.setValue(k.first, k.second);
    }

    MainWindow &open()
    {
        window = std::make_unique<MainWindow>(configDir.path());
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        window->setWorkflowDialogs(std::move(scripted));
        QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                         [this](const QString &m) { statusMessages.append(m); });
        return *window;
    }

    template<typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    void click(const char *button) { child<QPushButton>(button)->click(); }
    void chooseLoadType(int row) { child<QComboBox>("Load_Typ")->setCurrentIndex(row); }
    void chooseSaveType(int row) { child<QComboBox>("Save_Typ")->setCurrentIndex(row); }

    // Scripts the next file dialog and presses the button that opens it.
    void pick(const char *button, const QString &path)
    {
        dialogs->answers.push_back(path);
        click(button);
    }

    // Chooses the load type and file and presses Load IQ.
    void load(int row, const QString &path)
    {
        chooseLoadType(row);
        pick("Load_I", path);
        click("Load_Lod");
    }

    bool enabled(const char *name) const { return child<QWidget>(name)->isEnabled(); }

    QTemporaryDir configDir;
    QTemporaryDir dataDir;
    QStringList statusMessages;  // outlives the window that reports into it
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs *dialogs = nullptr;
};
