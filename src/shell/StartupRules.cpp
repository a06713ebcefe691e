#include "shell/StartupRules.h"

#include "base/Failure.h"
#include "shell/Clock.h"
#include "shell/RandomSource.h"
#include "shell/WebLauncher.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QtEndian>
#include <utility>

namespace {

constexpr qsizetype titleLimit = 40;
constexpr int homePageDraw = 7; // of 1..100
constexpr qint64 cursorFileLimit = 1 << 20;
// A cursor file's first directory entry holds the hotspot: x at byte 10, y at byte 12,
// little-endian; the entry ends at byte 22.
constexpr int hotspotX = 10;
constexpr int hotspotY = 12;
constexpr qsizetype cursorHeaderSize = 22;

} // namespace

const QString StartupRules::productName = QStringLiteral("Strumvane");
const QUrl StartupRules::homePageAddress(QStringLiteral("https://www.strumvane.example/"));
const QString StartupRules::cursorFileName = QStringLiteral("/HAND-M.CUR");

StartupRules::StartupRules(RandomSource& random, Clock& clock, WebLauncher& webLauncher,
                           std::function<QString()> desktopFolder)
    : m_random(random), m_clock(clock), m_webLauncher(webLauncher),
      m_desktopFolder(std::move(desktopFolder)) {}

QString StartupRules::applicationTitleFor(const QString& name) {
    QString title = name;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break; // a single word stays whole
        title.truncate(blank);
    } while (title.size() > titleLimit);
    if (title.size() > titleLimit)
        title.truncate(titleLimit);
    return title;
}

QString StartupRules::DefaultSaveFolder() const {
    const QString desktop = m_desktopFolder ? m_desktopFolder() : QString();
    if (desktop.isEmpty())
        throw Failure::invalidProcedureCall();
    return desktop.endsWith(QLatin1Char('/')) ? desktop : desktop + QLatin1Char('/');
}

void StartupRules::MaybeOpenHomePage() {
    m_random.seed(static_cast<quint32>(m_clock.secondsSinceMidnight()));
    const int n = static_cast<int>(m_random.nextUniform() * 100) + 1;
    if (n == homePageDraw)
        m_webLauncher.openUrl(homePageAddress);
}

bool StartupRules::FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

QCursor StartupRules::loadCursorFile(const QString& path) {
    // A pipe or a device by that name could keep start-up waiting for ever on its first read.
    const QFileInfo info(path);
    if (!info.isFile())
        throw info.isDir() ? Failure::fileNotFound() : Failure::pathFileAccessError();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::fileNotFound();
    const QByteArray data = file.read(cursorFileLimit);
    QImage picture;
    if (data.size() >= cursorHeaderSize)
        picture.loadFromData(data, "CUR");
    if (picture.isNull())
        throw Failure(481, QStringLiteral("Invalid picture"));
    // Qt reads the picture but not the hotspot.
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const int hotX = qFromLittleEndian<quint16>(bytes + hotspotX);
    const int hotY = qFromLittleEndian<quint16>(bytes + hotspotY);
    return QCursor(QPixmap::fromImage(picture), qMin(hotX, picture.width() - 1),
                   qMin(hotY, picture.height() - 1));
}
