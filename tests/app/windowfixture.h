#pragma once

#include "mainwindow.h"
#include "settingsfile.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// A main window whose settings file lives in a fresh temporary folder.
class WindowTest : public ::testing::Test
{
protected:
    QString iniPath() const { return settingsFilePath(dir.path()); }

    MainWindow &open()
    {
        window = std::make_unique<MainWindow>(dir.path());
        return *window;
    }

    // Destroying the window is what writes the settings file.
    void destroy() { window.reset(); }

    template<typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};
