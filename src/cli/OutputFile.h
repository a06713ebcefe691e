#pragma once

#include "cli/CommandContext.h"
#include "writers/FileDraft.h"
#include "writers/ImageFolder.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The file a command of strumvane-charts was asked to write (render, sheet, songbook, play
// --wav), and the one way every command writes it: through ImageFolder, whole or not at all,
// into its folder opened once, after the temporary files that killed runs on this machine left
// there are removed. A failure is reported as "cannot write 'NAME': REASON", REASON in the
// system's words ("No space left on device"); a run interrupted by Ctrl-C or SIGTERM before
// the file is complete writes nothing. Whole (write()) or block by block (append(), finish()).
//
// Example:
//   OutputFile file(context, QStringLiteral("song.pdf"));
//   return file.write(pdfBytes); // ExitStatus::ok, failure (reported) or interrupted
class OutputFile {
public:
    OutputFile(const CommandContext& context, const QString& fileName);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes `data` as the whole file unless the run was interrupted. Returns the exit status.
    int write(const QByteArray& data);
    // Writes what `encode` makes, as write() does. A Failure that `encode` throws is the
    // file's failure, and so is an empty content, unless the run was interrupted meanwhile
    // (the encoders stop early then).
    int writeEncoded(const std::function<QByteArray()>& encode);

    // Adds `data` at the end of the file. False once writing failed or the run was
    // interrupted: the caller stops and calls finish().
    bool append(const QByteArray& data);
    // Replaces bytes appended before, from `offset` (bytes from the start).
    bool writeAt(qint64 offset, const QByteArray& data);
    // Bytes appended so far.
    qint64 size() const { return m_draft ? m_draft->size() : 0; }
    // Gives the appended file its name unless writing failed or the run was interrupted, when
    // nothing is left. Returns the exit status, a failure reported.
    int finish();

    // Reports that the file cannot be written for `reason`; returns ExitStatus::failure.
    int fail(const QString& reason) const;

    const QString& fileName() const { return m_fileName; }

private:
    FileDraft& draft();

    CommandContext m_context;
    QString m_fileName;
    ImageFolder m_folder;
    std::optional<FileDraft> m_draft;
};
