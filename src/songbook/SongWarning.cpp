#include "songbook/SongWarning.h"

QString SongWarning::text() const {
    return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), message);
}
