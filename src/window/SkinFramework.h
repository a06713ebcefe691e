#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>

// The skin component of the main window, driven by dispatch number as start-up does it:
//   2 load a skin (file path, empty text)      -> loadSkin
//   1 option flags, 32 bits, read and written  -> options / setOptions
//   5, 10 two boolean properties               -> setBoolProperty / boolProperty
//   3 apply the skin to a window (handle)      -> applyWindow
// Every operation is recorded, in order, in operations() (tests inspect it).
//
// The skin engine here is a Qt style sheet: when the loaded file is valid UTF-8 text without
// NUL characters and at most 2 MiB long, operation 3 sets its text as the window's style sheet;
// any other file (such as a binary skin archive) is accepted and draws nothing, and is never
// read whole.
class SkinFramework {
public:
    enum class Call { Method, PropertyGet, PropertyPut };

    struct Operation {
        int dispatchId = 0;
        Call call = Call::Method;
        QVariantList arguments; // as passed; a property put holds the new value

        bool operator==(const Operation&) const = default;
    };

    // Operation 2. Reads the file at once. Throws Failure::fileNotFound() when it does not
    // exist, Failure::permissionDenied() when it may not be read and
    // Failure::pathFileAccessError() when it cannot be read otherwise (e.g. a folder).
    void loadSkin(const QString& path, const QString& iniName);

    // Operation 1 (read and write). Starts as 0; the bits are kept, not interpreted.
    qint32 options();
    void setOptions(qint32 flags);

    // Operations 5 and 10; both start false. Any other dispatchId throws
    // Failure::unsupportedMember().
    void setBoolProperty(int dispatchId, bool value);
    bool boolProperty(int dispatchId);

    // Operation 3. windowHandle is the window's native id cut to 32 bits (recorded only);
    // window receives the style sheet. Throws Failure::invalidProcedureCall() for a null window.
    void applyWindow(qint32 windowHandle, QWidget* window);

    const QList<Operation>& operations() const { return m_operations; }
    // The style sheet that operation 3 applies; empty when no text skin has been loaded.
    const QString& styleSheet() const { return m_styleSheet; }

private:
    void record(int dispatchId, Call call, QVariantList arguments);

    QList<Operation> m_operations;
    QString m_styleSheet;
    qint32 m_options = 0;
    bool m_property5 = false;
    bool m_property10 = false;
};
