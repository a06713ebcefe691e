#include "sound/JackServer.h"

#include <QFileInfo>
#include <QString>
#include <QtGlobal>
#include <unistd.h>

bool JackServer::runs() {
    QString name = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    if (name.isEmpty())
        name = QStringLiteral("default");
    const QString uid = QString::number(getuid());
    return QFileInfo::exists(QStringLiteral("/dev/shm/jack-%1/%2/jack_0").arg(uid, name)) ||
           QFileInfo::exists(QStringLiteral("/dev/shm/jack_%1_%2_0").arg(name, uid));
}

void JackServer::forbidStarting() {
    if (!qEnvironmentVariableIsSet("JACK_NO_START_SERVER"))
        qputenv("JACK_NO_START_SERVER", "1");
}
