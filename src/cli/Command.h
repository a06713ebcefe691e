#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class CommandContext;

// One command of strumvane-charts: its name, its lines in the tool's --help, its own options
// and arguments read by its own parser, and its work. Each command is a class of its own that
// adds its options and arguments in its constructor and does its work in execute();
// CommandTable lists them. Every command answers --help (its own help) and --version.
//
//   strumvane-charts render 6 C c.png --chart interval
//     -> RenderCommand: parse({"6", "C", "c.png", "--chart", "interval"}), then run(context)
class Command {
public:
    struct About {
        QString name;        // "render"
        QString synopsis;    // "render ENTRY PITCH FILE"
        QStringList summary; // lines beside the synopsis in the tool's --help
        QString description; // the head of the command's own --help
        // Whether a usage error ends with the hint to the tool's --help; name, find and
        // sheet answer a usage error in one line.
        bool hintsAtHelp = true;
    };

    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    const QString& name() const { return m_about.name; }
    const QString& synopsis() const { return m_about.synopsis; }
    const QStringList& summary() const { return m_about.summary; }
    bool hintsAtHelp() const { return m_about.hintsAtHelp; }
    // Whether the command takes the option of this name, --help and --version aside:
    // takes("chart") for render.
    bool takes(const QString& optionName) const;

    // Reads `arguments`, the words after the command's name, with the command's own parser.
    // False on a usage error, which parser() then describes (errorText(),
    // unknownOptionNames()).
    bool parse(const QStringList& arguments);
    const QCommandLineParser& parser() const { return m_parser; }
    // After a successful parse(): prints the command's --help or the version, or does the
    // command's work. Returns the exit status (ExitStatus); may throw Failure.
    int run(const CommandContext& context);

    // The command's --help: "Usage: strumvane-charts " and the synopsis, the description,
    // then the options and arguments as the parser lists them.
    QString helpText() const;
    // "strumvane-charts 0.1.0\n", what --version prints.
    static QString versionText();

protected:
    explicit Command(About about);

    void addOption(const QCommandLineOption& option);
    // A positional argument for the --help; `syntax` is how the usage shows it ("[PITCH]").
    void addArgument(const QString& name, const QString& description,
                     const QString& syntax = QString());
    // The positional arguments parse() found.
    QStringList arguments() const { return m_parser.positionalArguments(); }

    // The command's work, after its options were read and neither --help nor --version was
    // asked for.
    virtual int execute(const CommandContext& context) = 0;

private:
    About m_about;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QStringList m_optionNames;
};
