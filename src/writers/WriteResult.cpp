#include "writers/WriteResult.h"

#include <cerrno>
#include <system_error>

QString writeResultText(WriteResult result, int error) {
    if (result == WriteResult::BadName && error == 0)
        return QStringLiteral("the name cannot be written exactly as given");
    if (error == 0) {
        switch (result) {
        case WriteResult::FolderMissing:
            error = ENOENT;
            break;
        case WriteResult::AccessDenied:
            error = EACCES;
            break;
        default:
            error = EIO;
            break;
        }
    }
    // generic_category() words it as strerror does, but is safe on the export's threads.
    return QString::fromStdString(std::generic_category().message(error));
}

WriteResult writeResultFor(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return WriteResult::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteResult::AccessDenied;
    case ENAMETOOLONG:
    case EILSEQ:
        return WriteResult::BadName;
    default:
        return WriteResult::Failed;
    }
}
