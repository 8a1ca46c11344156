#include "stylesheet.h"

#include <QCoreApplication>

void prepareCommonLook()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(trovik);
        return true;
    }();
    (void)registered;
    QCoreApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles, true);
}

QString commonStyleSheet()
{
    prepareCommonLook();
    return QStringLiteral(R"qss(QWidget {
    font-family: "Arial";
    font-style: normal;
}
QPushButton {
    background-color: rgb(0, 142, 214);
    color: white;
    font-weight: bold;
    border: 2px outset transparent;
}
QPushButton:hover, QPushButton:pressed {
    background-color: rgb(255, 143, 29);
}
QPushButton:disabled {
    color: gray;
    background-color: rgb(239, 240, 241);
}
QComboBox {
    border: 1px solid gray;
}
QComboBox:editable {
    background: white;
}
QComboBox::drop-down {
    subcontrol-origin: padding;
    subcontrol-position: top right;
    width: 15px;
    border-left-width: 1px;
    border-left-color: darkgray;
    border-left-style: solid;
    border-top-right-radius: 3px;
    border-bottom-right-radius: 3px;
}
QComboBox::down-arrow {
    image: url(:/images/downarrow.png);
}
QComboBox::down-arrow:on {
    top: 1px;
    left: 1px;
}
QComboBox QAbstractItemView {
    color: black;
    selection-background-color: rgb(0, 112, 180);
    selection-color: white;
}
QComboBox::item:selected {
    /* a darker blue than the buttons': white text on it reads at the contrast text needs */
    color: white;
    background-color: rgb(0, 112, 180);
}
QStatusBar {
    /* room above and below the message, and a line between it and the controls */
    min-height: 26px;
    border-top: 1px solid rgb(200, 200, 200);
}
QLineEdit, QTextEdit {
    border: 1px solid gray;
    background: white;
}
QTableView {
    selection-background-color: rgb(0, 142, 214);
    selection-color: white;
    gridline-color: white;
}
QHeaderView::section, QTableCornerButton::section {
    color: white;
    background-color: rgb(198, 203, 207);
    border: 2px outset transparent;
}
QTabWidget::pane {
    border-top: 1px solid rgb(0, 142, 214);
    border-bottom: 1px solid rgb(0, 142, 214);
}
QTabWidget::tab-bar {
    left: 5px;
}
QTabBar::tab {
    color: gray;
    background: white;
    border-top: 1px solid gray;
    border-left: 1px solid gray;
    border-right: 1px solid gray;
    min-width: 8ex;
    padding: 3px 15px;
    margin-left: 2px;
    margin-right: 2px;
    font: bold 10.5pt "Arial Narrow";
}
QTabBar::tab:selected {
    color: white;
    background: rgb(0, 142, 214);
    border-color: #9B9B9B;
    border-bottom-color: #C2C7CB;
}
QTabBar::tab:hover {
    color: white;
    background: rgb(255, 143, 29);
}
QTabBar::tab:!selected {
    margin-bottom: 1px;
}
)qss");
}
