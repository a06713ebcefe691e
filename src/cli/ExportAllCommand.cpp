#include "cli/ExportAllCommand.h"

#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "cli/ExportAll.h"
#include "writers/ImageFolder.h"
#include "writers/WriteResult.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cerrno>

namespace {

constexpr int maximumJobs = 256;

// Checked before any work, so that a wrong folder costs nothing: false, with the reason on
// standard error, when `target` (opened on `folderName`) is no folder that can be written.
bool checkFolder(const QString& folderName, const ImageFolder& target,
                 const CommandContext& context) {
    const QFileInfo folder(folderName);
    if (!folder.isDir() || target.openResult() == WriteResult::FolderMissing) {
        context.report(QStringLiteral("cannot write into folder '%1': %2")
                           .arg(folderName, writeResultText(WriteResult::FolderMissing,
                                                            folder.exists() ? ENOTDIR : ENOENT)));
        return false;
    }
    QString reason;
    if (target.probe(&reason) != WriteResult::Written) {
        context.report(QStringLiteral("cannot write into folder '%1': %2").arg(folderName, reason));
        return false;
    }
    return true;
}

} // namespace

ExportAllCommand::ExportAllCommand()
    : Command({.name = QStringLiteral("export-all"),
               .synopsis = QStringLiteral("export-all DIR"),
               .summary = {QStringLiteral("both charts of every entry at every Pitch into DIR,"),
                           QStringLiteral("named as the window's save-all names them (9,480 "
                                          "files:"),
                           QStringLiteral("charts of one name and notes share a file), or with"),
                           QStringLiteral("--unique-names every chart (14,664 files)")},
               .description = QStringLiteral(
                   "Writes both charts of every entry at every Pitch into DIR, named as the\n"
                   "window's \"Save All Charts As Image Files\" names them. Ctrl-C stops the\n"
                   "run; every file written so far is whole.")}),
      m_format(QStringLiteral("format"), QStringLiteral("jpg (default) or bmp."),
               QStringLiteral("format"), QStringLiteral("jpg")),
      m_jobs(QStringLiteral("jobs"),
             QStringLiteral("Worker threads, 1 to %1 (default: one per core).").arg(maximumJobs),
             QStringLiteral("n")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the charts.")),
      m_uniqueNames(QStringLiteral("unique-names"),
                    QStringLiteral("Keep every chart, named with the entry number and the chart "
                                   "kind (\"Am7 A-E-G-C #165 fingering.jpg\").")) {
    addOption(m_format);
    addOption(m_leftHanded);
    addOption(m_jobs);
    addOption(m_uniqueNames);
    addArgument(QStringLiteral("DIR"), QStringLiteral("An existing folder."));
}

int ExportAllCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() != 1)
        return context.usageError(QStringLiteral("export-all takes one folder"));
    ExportAll::Options options;
    options.folder = args[0];
    options.leftHanded = parser().isSet(m_leftHanded);
    options.uniqueNames = parser().isSet(m_uniqueNames);
    options.showProgress = context.errorIsTerminal();
    const QString format = parser().value(m_format);
    if (format == QLatin1String("jpg"))
        options.jpeg = true;
    else if (format == QLatin1String("bmp"))
        options.jpeg = false;
    else
        return context.usageError(QStringLiteral("no such format '%1' (jpg or bmp)").arg(format));
    if (parser().isSet(m_jobs)) {
        const QString jobs = parser().value(m_jobs);
        const std::optional<int> count = Arguments::wholeNumber(jobs, 1, maximumJobs);
        if (!count)
            return context.usageError(QStringLiteral("no such number of jobs '%1' (1 to %2)")
                                          .arg(jobs, QString::number(maximumJobs)));
        options.jobs = *count;
    }

    // The folder is opened once: should it be moved during the run, the files still go into it.
    const ImageFolder target(options.folder);
    if (!checkFolder(options.folder, target, context))
        return ExitStatus::failure;
    target.removeStaleTemporaries();

    QElapsedTimer clock;
    clock.start();
    const ExportAll::Outcome outcome =
        ExportAll::run(options, target, context.err(), context.interruptFlag());
    if (context.interrupted()) {
        context.report(QStringLiteral("interrupted after %1 files").arg(outcome.written));
        return context.interruptedStatus();
    }
    if (outcome.stoppedByFailure)
        return ExitStatus::failure;
    context.out() << "Wrote " << outcome.written << " files to "
                  << CommandContext::printable(QDir(options.folder).absolutePath()) << " in "
                  << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s\n";
    return outcome.failed > 0 ? ExitStatus::failure : ExitStatus::ok;
}
