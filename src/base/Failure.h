#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A run-time failure as the error box reports it: an error number and the description that
// the box shows, for example Failure(13, "Type mismatch"). Every routine that fails throws
// one; the trap of the command or of start-up catches it, shows the box and goes on.
class Failure : public std::exception {
public:
    Failure(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // The standard failures the program can meet, with their classic numbers.
    static Failure invalidProcedureCall();                // 5 "Invalid procedure call or argument"
    static Failure overflow();                            // 6 "Overflow"
    static Failure subscriptOutOfRange();                 // 9 "Subscript out of range"
    static Failure typeMismatch();                        // 13 "Type mismatch"
    static Failure badFileName();                         // 52 "Bad file name or number"
    static Failure fileNotFound();                        // 53 "File not found"
    static Failure permissionDenied();                    // 70 "Permission denied"
    static Failure pathNotFound();                        // 76 "Path not found"
    static Failure controlArrayElementMissing(int index); // 340 "Control array element 'N' ..."
    static Failure invalidPropertyValue();                // 380 "Invalid property value"
    static Failure outOfMemory();                         // 7 "Out of memory"
    static Failure internalError();                       // 51 "Internal error"
    static Failure pathFileAccessError();                 // 75 "Path/File access error"
    static Failure unsupportedMember(); // 438 "Object doesn't support this property or method"

private:
    int m_number;
    QString m_description;
    QByteArray m_utf8;
};
