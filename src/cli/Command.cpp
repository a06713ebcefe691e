#include "cli/Command.h"

#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

Command::Command(About about)
    : m_about(std::move(about)),
      m_help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")),
      m_version({QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Show the version.")) {
    m_parser.setApplicationDescription(m_about.description);
    // "-platform" is one unknown option, not eight unknown letters.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
}

Command::~Command() = default;

bool Command::takes(const QString& optionName) const {
    return m_optionNames.contains(optionName);
}

void Command::addOption(const QCommandLineOption& option) {
    m_parser.addOption(option);
    m_optionNames << option.names();
}

void Command::addArgument(const QString& name, const QString& description, const QString& syntax) {
    m_parser.addPositionalArgument(name, description, syntax);
}

bool Command::parse(const QStringList& arguments) {
    // The parser takes the first word for the program's name.
    return m_parser.parse(QStringList{m_about.name} + arguments);
}

int Command::run(const CommandContext& context) {
    if (m_parser.isSet(m_help)) {
        context.out() << helpText();
        return ExitStatus::ok;
    }
    if (m_parser.isSet(m_version)) {
        context.out() << versionText();
        return ExitStatus::ok;
    }
    return execute(context);
}

QString Command::helpText() const {
    // The parser's first line names the program by the path it was started with and lists
    // the arguments only; the synopsis also shows what is optional or an alternative.
    return QStringLiteral("Usage: strumvane-charts ") + m_about.synopsis +
           QStringLiteral(" [options]\n") + m_parser.helpText().section(u'\n', 1);
}

QString Command::versionText() {
    return QStringLiteral("strumvane-charts " STRUMVANE_VERSION "\n");
}
