#pragma once

#include "writers/WriteResult.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One file of an ImageFolder while it is being written (ImageFolder::draft()): its content goes
// into a temporary file in the folder, unnamed (O_TMPFILE) where the file system has them,
// else the hidden ".strumvane-HOST-PID-N.tmp", and only commit() gives it its name, whole. A
// draft dropped without commit() leaves nothing; a process killed meanwhile leaves at most the
// hidden file, which ImageFolder::removeStaleTemporaries() of a later run on the same machine
// removes. The rules for an existing target are ImageFolder's, checked when the draft starts
// (so that a long write does not run into a refusal at its end) and again at commit().
//
// The first failure sticks: every later call answers false, and result() and reason() keep it.
// Moved, never copied; one thread at a time; the ImageFolder must outlive it.
//
// Example, a file whose head is known only at the end:
//   FileDraft draft = folder.draft(QStringLiteral("chord.wav"));
//   draft.append(QByteArray(44, '\0'));
//   while (...) draft.append(block);
//   draft.writeAt(0, header);
//   if (draft.commit() != WriteResult::Written) report(draft.reason());
class FileDraft {
public:
    FileDraft(FileDraft&& other) noexcept;
    FileDraft(const FileDraft&) = delete;
    FileDraft& operator=(const FileDraft&) = delete;
    FileDraft& operator=(FileDraft&&) = delete;
    // Drops the temporary file unless committed.
    ~FileDraft();

    // Adds `data` at the end. False once the draft has failed.
    bool append(const QByteArray& data);
    // Replaces bytes already appended, from `offset` (bytes from the start). False once the
    // draft has failed, or when they would reach past the end.
    bool writeAt(qint64 offset, const QByteArray& data);
    // Bytes appended so far.
    qint64 size() const { return m_size; }

    // Gives the complete file its name, replacing an existing file as ImageFolder allows.
    // Written, or how the draft failed; after a failure the temporary file is gone.
    WriteResult commit();

    // Written while nothing has failed; else the failure.
    WriteResult result() const { return m_result; }
    // The words for the failure, the system's where it gave a reason ("No space left on
    // device", "Is a directory"); empty while nothing has failed.
    QString reason() const;

private:
    friend class ImageFolder;
    // A draft of `name` in the folder open on `folderFd`; `namedOnly` skips unnamed files.
    FileDraft(int folderFd, const QByteArray& name, bool namedOnly);
    // A draft that failed before it began: `result` with the system's `error` (0: none).
    FileDraft(WriteResult result, int error);

    // Whether the target may be replaced or created; notes an old file's permission bits.
    bool checkTarget();
    bool openTemporary(bool namedOnly);
    // Links a complete unnamed file in: under its name, or under a hidden name to be renamed
    // over the file it replaces (m_temporary).
    bool linkUnnamed();
    bool fail(int error);
    bool fail(WriteResult result, int error);
    void drop();

    int m_folderFd = -1;
    QByteArray m_name;
    int m_fd = -1;
    QByteArray m_temporary; // the hidden name while it has one; empty for an unnamed file
    bool m_replacing = false;
    unsigned m_oldMode = 0;
    qint64 m_size = 0;
    WriteResult m_result = WriteResult::Written;
    int m_error = 0;
};
