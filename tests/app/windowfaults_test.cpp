// Faults a new user met in the window, each with the behaviour it should have had.
#include "workflowfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kMathcadSingle = 4;  // two-file save row whose Q name follows the I name
constexpr int kIqwPairs = 18;      // one-file load and save row

QStringList *capturedMessages = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (capturedMessages)
        capturedMessages->append(text);
}

// The Qt messages printed while the window is built.
QStringList messagesWhileBuilding(const QString &configDir)
{
    QStringList messages;
    capturedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    {
        MainWindow w(configDir);
    }
    qInstallMessageHandler(previous);
    capturedMessages = nullptr;
    return messages;
}

double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

// The contrast ratio of two colours, 1 (same) to 21 (black on white).
double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text of a drawn item with its background: the most common colour of
// the item is its background, the colour that differs most from it is the text.
double itemContrast(const QImage &picture, const QRect &item)
{
    QMap<QRgb, int> counts;
    for (int y = item.top(); y <= item.bottom(); ++y)
        for (int x = item.left(); x <= item.right(); ++x)
            ++counts[picture.pixel(x, y)];
    QRgb background = counts.firstKey();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it.value() > counts[background])
            background = it.key();
    double best = 1.0;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        best = std::max(best, contrast(background, it.key()));
    return best;
}

}  // namespace

TEST_F(WorkflowTest, EverySlotNamedForAControlFindsIt)
{
    const QStringList messages = messagesWhileBuilding(configDir.path());
    for (const QString &m : messages)
        EXPECT_FALSE(m.contains(QStringLiteral("No matching signal"))) << m.toStdString();
}

TEST_F(WorkflowTest, AnEditedSampleRateTakesEffectWithoutALoad)
{
    MainWindow &w = open();
    auto *rate = child<QDoubleSpinBox>("Load_SRat");
    rate->setValue(2.5e6);
    emit rate->editingFinished();
    EXPECT_EQ(w.workspace().source().sampleRate, 2.5e6);
    EXPECT_TRUE(w.workspace().state().newState);  // the generator software is told
}

class TypedPathTest : public WorkflowTest
{
protected:
    // Four samples loaded through Load IQ, so the record is valid.
    void loadFourSamples()
    {
        writeBytes(file(QStringLiteral("in.iqw")), iqwPairs(4));
        load(kIqwPairs, file(QStringLiteral("in.iqw")));
        ASSERT_TRUE(window->workspace().state().dataValid);
    }

    void type(const char *field, const QString &text)
    {
        // As a user does it: select what is there, then type over it or delete it.
        auto *edit = child<QLineEdit>(field);
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }
};

TEST_F(TypedPathTest, APathTypedIntoTheSaveFieldsEnablesSaveLikeTheFileDialog)
{
    MainWindow &w = open();
    loadFourSamples();
    chooseSaveType(kIqwPairs);
    EXPECT_FALSE(enabled("Save_Sav"));
    const QString out = file(QStringLiteral("typed.iqw"));
    type("Save_Di", out);
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_EQ(w.workspace().target().iFileName, out);
    EXPECT_EQ(w.workspace().scratch().iFileName, out);  // Append writes there too
    click("Save_Sav");
    EXPECT_EQ(QFile(out).size(), 32);
    EXPECT_TRUE(dialogs->boxes.isEmpty());

    type("Save_Di", QString());  // an emptied field is no destination
    EXPECT_FALSE(enabled("Save_Sav"));

    // A two-file type derives the Q name from the typed I name, as the dialog does; a Q name
    // typed afterwards replaces it.
    chooseSaveType(kMathcadSingle);
    type("Save_Di", file(QStringLiteral("pair.i")));
    EXPECT_EQ(child<QLineEdit>("Save_Dq")->text(), file(QStringLiteral("pair.q")));
    EXPECT_TRUE(enabled("Save_Sav"));
    EXPECT_TRUE(enabled("Save_App"));
    type("Save_Dq", file(QStringLiteral("other.q")));
    EXPECT_EQ(w.workspace().target().qFileName, file(QStringLiteral("other.q")));
    type("Save_Dq", QString());
    EXPECT_FALSE(enabled("Save_Sav"));
}

// The open list of a Trace tab field shows every entry, the current one included, at least at
// the contrast ratio 4.5 that ordinary text needs to be read.
TEST_F(WorkflowTest, TheCurrentEntryOfTheDeviceListCanBeRead)
{
    MainWindow &w = open();
    w.show();
    auto *devices = child<QComboBox>("Trace_DevTyp");
    devices->setCurrentIndex(6);
    devices->showPopup();
    QApplication::processEvents();
    QAbstractItemView *view = devices->view();
    const QImage picture = view->viewport()->grab().toImage();
    for (int row : {6, 2}) {
        const QRect item = view->visualRect(view->model()->index(row, 0)) & picture.rect();
        ASSERT_FALSE(item.isEmpty());
        EXPECT_GE(itemContrast(picture, item), 4.5) << "row " << row;
    }
    devices->hidePopup();
}

// The status bar has the height its text needs with room above and below it, within the
// window, at every window height.
TEST_F(WorkflowTest, TheStatusBarIsTallEnoughForItsText)
{
    MainWindow &w = open();
    w.show();
    w.statusBar()->showMessage(QStringLiteral("Loading I and Q files..."));
    for (int height : {w.minimumHeight(), w.maximumHeight()}) {
        w.resize(w.width(), height);
        QApplication::processEvents();
        const QStatusBar *bar = w.statusBar();
        EXPECT_GE(bar->height(), bar->sizeHint().height()) << height;
        EXPECT_GE(bar->height(), bar->fontMetrics().height() + 8) << height;
        EXPECT_LE(bar->geometry().bottom(), w.rect().bottom()) << height;
        // Nothing of the central widget's controls lies under the status bar.
        for (const QWidget *c : w.centralWidget()->findChildren<QWidget *>()) {
            if (!c->isVisible() || c->parentWidget() != w.centralWidget())
                continue;
            const QRect r(c->mapTo(&w, QPoint(0, 0)), c->size());
            EXPECT_LE(r.bottom(), bar->geometry().top()) << c->objectName().toStdString();
        }
    }
}

// The column of the drop-down button's left border: the first column, going left from
// inside the right edge, that is drawn over nearly its whole height.
int buttonBorder(const QImage &picture, QRgb background)
{
    const int h = picture.height();
    for (int x = picture.width() - 3; x > picture.width() / 2; --x) {
        int drawn = 0;
        for (int y = 2; y < h - 2; ++y)
            drawn += contrast(picture.pixel(x, y), background) > 1.5;
        if (drawn >= (h - 4) * 8 / 10)
            return x;
    }
    return -1;
}

// A stand-in for the list beside it (same parent, style and entries) of the given width, so
// that choosing entries changes no setting. Its font is larger than the list's own 10 pt: the
// entries must also fit where "Arial" falls back to a wider face (DejaVu Sans runs about 12 %
// wider than the Arial metrics).
std::unique_ptr<QComboBox> standIn(QComboBox *list, int width)
{
    auto probe = std::make_unique<QComboBox>(list->parentWidget());
    probe->setGeometry(QRect(list->pos(), QSize(width, list->height())));
    probe->setStyleSheet(list->styleSheet() + QStringLiteral(" font-size: 11.5pt;"));
    for (int k = 0; k < list->count(); ++k)
        probe->addItem(list->itemText(k));
    probe->show();
    return probe;
}

// The first entry of the list that does not show whole: drawn at the list's width, the field
// left of the drop-down button differs from the same entry drawn with ample room.
QString firstClippedEntry(QComboBox *list)
{
    const auto narrow = standIn(list, list->width());
    const auto wide = standIn(list, list->width() + 150);
    for (int k = 0; k < list->count(); ++k) {
        narrow->setCurrentIndex(k);
        wide->setCurrentIndex(k);
        const QImage a = narrow->grab().toImage();
        const QImage b = wide->grab().toImage();
        const int border = buttonBorder(a, a.pixel(3, 2));
        if (border < 0)
            return QStringLiteral("(no button found)");
        for (int x = 2; x < border - 1; ++x)
            for (int y = 2; y < a.height() - 2; ++y)
                if (a.pixel(x, y) != b.pixel(x, y))
                    return list->itemText(k);
    }
    return QString();
}

// Every entry of every list on the Trace tab is shown whole, for every device type
// ("Trg.Mode: IMMediate" lost its last letter under the drop-down button).
TEST_F(WorkflowTest, EveryTraceTabEntryIsShownWhole)
{
    MainWindow &w = open();
    w.show();
    child<QTabWidget>("LodTrcIqr")->setCurrentIndex(1);
    auto *devices = child<QComboBox>("Trace_DevTyp");
    for (int device = 0; device < devices->count(); ++device) {
        devices->setCurrentIndex(device);
        QApplication::processEvents();
        for (QComboBox *list : child<QWidget>("Trace")->findChildren<QComboBox *>())
            if (list->isVisible()) {
                const QString clipped = firstClippedEntry(list);
                EXPECT_TRUE(clipped.isEmpty()) << devices->itemText(device).toStdString() << " "
                                               << list->objectName().toStdString() << ": \""
                                               << clipped.toStdString() << "\"";
            }
    }
}
