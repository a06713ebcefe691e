#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// Runs the built strumvane-charts (path in CHARTS_TOOL) as a user's shell would and collects
// what it printed. A crash or a hang gives status -1.
struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

inline ToolRun
runTool(const QStringList& args, int timeoutMs = 300000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CHARTS_TOOL), args);
    EXPECT_TRUE(process.waitForFinished(timeoutMs)) << args.join(u' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
