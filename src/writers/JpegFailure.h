#pragma once

#include "base/Failure.h"

#include <QString>

// How a JPEG save fails: Failure number 5 with the description "Cannot save the image. GDI+
// Error:" followed at once by a status number, e.g. "Cannot save the image. GDI+ Error:7"
// when the file cannot be written.
namespace JpegFailure {

enum Status {
    GenericError = 1,     // the encoder failed
    InvalidParameter = 2, // null picture, or quality above 100
    Win32Error = 7,       // the file could not be created or written
};

inline Failure withStatus(Status status) {
    return Failure(5,
                   QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(status));
}

} // namespace JpegFailure
