// The main window's three plot buttons open the plot window on the current record.
#include "fftgraph.h"
#include "mainwindow.h"

#include <qwt_plot.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Seen
{
    QString windowTitle, plotTitle, leftTitle, styleSheet;
    bool parentless = false;
};

// Presses a button of a window whose plot buttons are enabled, and notes what the modal plot
// window showed before closing it.
Seen press(MainWindow &w, const char *button)
{
    Seen seen;
    QTimer::singleShot(0, [&seen] {
        auto *g = qobject_cast<FftGraph *>(QApplication::activeModalWidget());
        if (!g)
            return;
        seen.windowTitle = g->windowTitle();
        seen.plotTitle = g->shownPlot()->title().text();
        seen.leftTitle = g->shownPlot()->axisTitle(QwtPlot::yLeft).text();
        seen.styleSheet = g->styleSheet();
        seen.parentless = g->parent() == nullptr;
        g->accept();
    });
    auto *b = w.findChild<QPushButton *>(QLatin1String(button));
    EXPECT_TRUE(b);
    if (b) {
        b->setEnabled(true);  // the workflow enables them once data is valid
        b->click();
    }
    return seen;
}

}  // namespace

TEST(PlotButtons, EachButtonOpensItsView)
{
    QTemporaryDir dir;
    MainWindow w(dir.path());
    const struct
    {
        const char *button, *title, *left;
    } cases[] = {{"Spec", "Spectrum", "Level/dB"},
                 {"IvsQ", "I vs. Q", "Q"},
                 {"GDel", "Phase", "Phase/\u00b0"}};
    for (const auto &c : cases) {
        const Seen s = press(w, c.button);
        EXPECT_EQ(s.windowTitle, QStringLiteral("IQ Graph")) << c.button;
        EXPECT_EQ(s.plotTitle, QString::fromLatin1(c.title)) << c.button;
        EXPECT_EQ(s.leftTitle, QString::fromUtf8(c.left)) << c.button;
        EXPECT_FALSE(s.styleSheet.isEmpty()) << c.button;
        EXPECT_TRUE(s.parentless) << c.button;
    }
}

TEST(ViewMenu, SpectrogramIsOfferedOnlyWithValidData)
{
    QTemporaryDir dir;
    MainWindow w(dir.path());
    auto *menu = w.findChild<QMenu *>(QStringLiteral("menuView"));
    auto *action = w.findChild<QAction *>(QStringLiteral("actionSpectrogram"));
    ASSERT_TRUE(menu && action);
    EXPECT_TRUE(menu->actions().contains(action));
    emit menu->aboutToShow();
    EXPECT_FALSE(action->isEnabled());  // nothing loaded yet
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    action->trigger();  // even when triggered anyway, no window without data
    QApplication::processEvents();
    EXPECT_FALSE(opened);
}
