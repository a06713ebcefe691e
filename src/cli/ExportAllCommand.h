#pragma once

#include "cli/Command.h"

#include <QCommandLineOption>

// `strumvane-charts export-all DIR [--format jpg|bmp] [--left-handed] [--jobs N]
// [--unique-names]`: both charts of every entry at every Pitch into DIR (ExportAll), after
// checking that DIR is a folder that can be written; prints "Wrote N files to DIR in S s".
// Exit 1 when the folder cannot be written or a file failed, 130 when interrupted.
class ExportAllCommand : public Command {
public:
    ExportAllCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    QCommandLineOption m_format;
    QCommandLineOption m_jobs;
    QCommandLineOption m_leftHanded;
    QCommandLineOption m_uniqueNames;
};
