#pragma once

#include "iqbuffer.h"
#include "spectrogram.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class SpectrogramJob;
class SpectrogramPlot;

// The spectrogram of the whole record in its own window. The work runs on a worker thread
// (SpectrogramJob) with a progress bar and Cancel; the window first computes the whole
// record onto about one row per pixel column, then, after each zoom or pan, the part on
// show at the screen's resolution again. The levels held are a few cells per screen pixel,
// whatever the record's length; the record's samples are shared, not copied.
class SpectrogramWindow : public QDialog
{
    Q_OBJECT

public:
    // record is copied shallowly (the samples are shared); sampleRate is the rate the views use.
    SpectrogramWindow(const IqBuffer &record, double sampleRate, QWidget *parent = nullptr);
    ~SpectrogramWindow() override;

    SpectrogramPlot *plot() const { return m_plot; }
    SpectrogramSettings settings() const;
    // True while a worker computes; for tests.
    bool busy() const;
    // Waits for the running work and shows it; for tests and the command line.
    void finishWork();
    QString memoryText() const;

public slots:
    void recompute();  // the whole record again, after a change of settings
    void cancelWork();
    void autoLevels();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void poll();
    void viewChanged();
    void computeShownPart();
    void levelsEdited();

private:
    QWidget *buildControls();
    QWidget *buildStatusBar();
    void start(const SpectrogramRequest &request, bool overview);
    void takeResult();
    QSize cellsOnScreen() const;

    IqBuffer m_record;
    double m_sampleRate;
    SpectrogramPlot *m_plot = nullptr;
    QComboBox *m_fft = nullptr, *m_overlap = nullptr, *m_reduction = nullptr, *m_colours = nullptr;
    QDoubleSpinBox *m_low = nullptr, *m_high = nullptr;
    QLabel *m_readout = nullptr, *m_cursors = nullptr, *m_memory = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer *m_poll = nullptr, *m_settle = nullptr;
    std::unique_ptr<SpectrogramJob> m_job;
    bool m_jobIsOverview = false;
    bool m_levelsChosen = false;
    bool m_started = false;
    size_t m_heldBytes = 0;
};
