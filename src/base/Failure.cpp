#include "base/Failure.h"

#include <utility>

Failure::Failure(int number, QString description)
    : m_number(number), m_description(std::move(description)), m_utf8(m_description.toUtf8()) {}

Failure Failure::invalidProcedureCall() {
    return Failure(5, QStringLiteral("Invalid procedure call or argument"));
}
Failure Failure::overflow() {
    return Failure(6, QStringLiteral("Overflow"));
}
Failure Failure::subscriptOutOfRange() {
    return Failure(9, QStringLiteral("Subscript out of range"));
}
Failure Failure::typeMismatch() {
    return Failure(13, QStringLiteral("Type mismatch"));
}
Failure Failure::badFileName() {
    return Failure(52, QStringLiteral("Bad file name or number"));
}
Failure Failure::fileNotFound() {
    return Failure(53, QStringLiteral("File not found"));
}
Failure Failure::permissionDenied() {
    return Failure(70, QStringLiteral("Permission denied"));
}
Failure Failure::pathNotFound() {
    return Failure(76, QStringLiteral("Path not found"));
}
Failure Failure::controlArrayElementMissing(int index) {
    return Failure(340, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
}
Failure Failure::invalidPropertyValue() {
    return Failure(380, QStringLiteral("Invalid property value"));
}
Failure Failure::outOfMemory() {
    return Failure(7, QStringLiteral("Out of memory"));
}
Failure Failure::internalError() {
    return Failure(51, QStringLiteral("Internal error"));
}
Failure Failure::pathFileAccessError() {
    return Failure(75, QStringLiteral("Path/File access error"));
}
Failure Failure::unsupportedMember() {
    return Failure(438, QStringLiteral("Object doesn't support this property or method"));
}
