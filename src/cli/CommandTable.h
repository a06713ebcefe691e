#pragma once

#include "cli/Command.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The commands of strumvane-charts, each a new object ready to parse, in the order the tool's
// --help and its usage messages name them: list, show, render, export-all, play, name, find,
// sheet. A command added to the table is named everywhere.
class CommandTable {
public:
    CommandTable();

    const std::vector<std::unique_ptr<Command>>& commands() const { return m_commands; }
    // The command of this name; nullptr for none.
    Command* find(const QString& name) const;
    // The names of the commands that take the option: {"render", "export-all", "sheet"} for
    // "left-handed".
    QStringList takers(const QString& optionName) const;
    // "list, show, render, export-all, play, name, find or sheet"
    QString names() const;

private:
    std::vector<std::unique_ptr<Command>> m_commands;
};
