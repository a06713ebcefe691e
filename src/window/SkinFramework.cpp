#include "window/SkinFramework.h"

#include "base/Failure.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// A style sheet skin is a few kilobytes. Anything bigger is taken for a binary skin, like one
// with NUL bytes, and is not read whole: a damaged or stray file of many megabytes would cost
// memory and time at every start for nothing.
constexpr qint64 maxStyleSheetBytes = qint64(2) << 20;

// A skin counts as text when it decodes cleanly as UTF-8 and has no NUL bytes, which binary
// formats nearly always contain.
bool isUtf8Text(const QByteArray& bytes, QString* text) {
    if (bytes.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    *text = std::move(decoded);
    return true;
}

} // namespace

void SkinFramework::record(int dispatchId, Call call, QVariantList arguments) {
    m_operations.append(Operation{dispatchId, call, std::move(arguments)});
}

void SkinFramework::loadSkin(const QString& path, const QString& iniName) {
    record(2, Call::Method, {path, iniName});
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure::fileNotFound();
    if (info.isDir())
        throw Failure::pathFileAccessError();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError || !info.isReadable())
            throw Failure::permissionDenied();
        throw Failure::pathFileAccessError();
    }
    const QByteArray bytes = file.read(maxStyleSheetBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw Failure::pathFileAccessError();
    QString text;
    m_styleSheet =
        bytes.size() <= maxStyleSheetBytes && isUtf8Text(bytes, &text) ? text : QString();
}

qint32 SkinFramework::options() {
    record(1, Call::PropertyGet, {});
    return m_options;
}

void SkinFramework::setOptions(qint32 flags) {
    record(1, Call::PropertyPut, {flags});
    m_options = flags;
}

void SkinFramework::setBoolProperty(int dispatchId, bool value) {
    record(dispatchId, Call::PropertyPut, {value});
    if (dispatchId == 5)
        m_property5 = value;
    else if (dispatchId == 10)
        m_property10 = value;
    else
        throw Failure::unsupportedMember();
}

bool SkinFramework::boolProperty(int dispatchId) {
    record(dispatchId, Call::PropertyGet, {});
    if (dispatchId == 5)
        return m_property5;
    if (dispatchId == 10)
        return m_property10;
    throw Failure::unsupportedMember();
}

void SkinFramework::applyWindow(qint32 windowHandle, QWidget* window) {
    record(3, Call::Method, {windowHandle});
    if (window == nullptr)
        throw Failure::invalidProcedureCall();
    if (!m_styleSheet.isEmpty())
        window->setStyleSheet(m_styleSheet);
}
