#include "cli/OutputFile.h"

#include "base/Failure.h"
#include "cli/ExitStatus.h"

OutputFile::OutputFile(const CommandContext& context, const QString& fileName)
    : m_context(context), m_fileName(fileName), m_folder(ImageFolder::splitPath(fileName).folder) {
    m_folder.removeStaleTemporaries();
}

FileDraft& OutputFile::draft() {
    if (!m_draft)
        m_draft.emplace(m_folder.draft(ImageFolder::splitPath(m_fileName).name));
    return *m_draft;
}

int OutputFile::write(const QByteArray& data) {
    append(data);
    return finish();
}

int OutputFile::writeEncoded(const std::function<QByteArray()>& encode) {
    QByteArray data;
    try {
        data = encode();
    } catch (const Failure& failure) {
        return fail(failure.description());
    }
    if (data.isEmpty() && !m_context.interrupted())
        return fail(QStringLiteral("its content could not be made"));
    return write(data);
}

bool OutputFile::append(const QByteArray& data) {
    return !m_context.interrupted() && draft().append(data);
}

bool OutputFile::writeAt(qint64 offset, const QByteArray& data) {
    return !m_context.interrupted() && draft().writeAt(offset, data);
}

int OutputFile::finish() {
    if (m_context.interrupted()) {
        m_draft.reset(); // the temporary file goes
        return m_context.interruptedStatus();
    }
    if (draft().commit() != WriteResult::Written)
        return fail(m_draft->reason());
    return ExitStatus::ok;
}

int OutputFile::fail(const QString& reason) const {
    m_context.report(QStringLiteral("cannot write '%1': %2").arg(m_fileName, reason));
    return ExitStatus::failure;
}
