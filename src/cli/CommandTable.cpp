#include "cli/CommandTable.h"

#include "cli/ExportAllCommand.h"
#include "cli/FindCommand.h"
#include "cli/ListCommand.h"
#include "cli/NameCommand.h"
#include "cli/PlayCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SheetCommand.h"
#include "cli/ShowCommand.h"
#include "cli/SongbookCommand.h"

CommandTable::CommandTable() {
    m_commands.push_back(std::make_unique<ListCommand>());
    m_commands.push_back(std::make_unique<ShowCommand>());
    m_commands.push_back(std::make_unique<RenderCommand>());
    m_commands.push_back(std::make_unique<ExportAllCommand>());
    m_commands.push_back(std::make_unique<PlayCommand>());
    m_commands.push_back(std::make_unique<NameCommand>());
    m_commands.push_back(std::make_unique<FindCommand>());
    m_commands.push_back(std::make_unique<SheetCommand>());
    m_commands.push_back(std::make_unique<SongbookCommand>());
}

Command* CommandTable::find(const QString& name) const {
    for (const auto& command : m_commands) {
        if (command->name() == name)
            return command.get();
    }
    return nullptr;
}

QStringList CommandTable::takers(const QString& optionName) const {
    QStringList names;
    for (const auto& command : m_commands) {
        if (command->takes(optionName))
            names << command->name();
    }
    return names;
}

QString CommandTable::names() const {
    QStringList names;
    for (const auto& command : m_commands)
        names << command->name();
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}
