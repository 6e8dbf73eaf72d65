#pragma once
// A fresh account for each window test: HOME and the XDG folders in a
// temporary folder, an empty current folder, and scripted message boxes.
#include "app/apppaths.h"
#include "app/mainwindow.h"
#include "designer/scriptedboxes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (home_.path() + QStringLiteral("/data")).toUtf8());
        qunsetenv("CARDMINT_LOGBOOK_DIR");
        previousFolder_ = QDir::currentPath();
        workFolder = home_.path() + QStringLiteral("/work");
        ASSERT_TRUE(QDir().mkpath(workFolder));
        QDir::setCurrent(workFolder);
        paths = cm::AppPaths::standard();
    }
    void TearDown() override { QDir::setCurrent(previousFolder_); }

    // A window, started up as on its first show.
    std::unique_ptr<cm::MainWindow> startWindow()
    {
        auto w = std::make_unique<cm::MainWindow>(boxes, paths);
        w->startUp();
        w->show();
        return w;
    }

    QString inWork(const QString& name) const { return QDir(workFolder).filePath(name); }

    cm::ScriptedMessageBoxes boxes;
    cm::AppPaths paths;
    QString workFolder;

private:
    QTemporaryDir home_;
    QString previousFolder_;
};
