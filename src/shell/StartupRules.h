#pragma once

#include <QCursor>
#include <QString>
#include <QUrl>
#include <functional>

class Clock;
class RandomSource;
class WebLauncher;

// The rules that start-up follows besides restoring the user's choices: the application
// title, the default output folder, the occasional home page and the hand-cursor file.
//
// Example:
//   StartupRules rules(random, clock, web, [] { return QStringLiteral("/home/ann/Desktop"); });
//   rules.DefaultSaveFolder();                        // "/home/ann/Desktop/"
//   StartupRules::applicationTitleFor("A B C");       // "A B"
class StartupRules {
public:
    static const QString productName;    // "Strumvane": the window caption
    static const QUrl homePageAddress;   // opened once in about a hundred starts
    static const QString cursorFileName; // "/HAND-M.CUR", appended to the program folder

    // desktopFolder answers the user's desktop folder, or the empty text when unknown.
    StartupRules(RandomSource& random, Clock& clock, WebLauncher& webLauncher,
                 std::function<QString()> desktopFolder);

    // The title rule: cut before the last blank until at most 40 characters remain; a single
    // word stays whole (cut to 40 when longer). "Strumvane Chord Chart Studio" gives
    // "Strumvane Chord Chart", "Strumvane" stays "Strumvane".
    static QString applicationTitleFor(const QString& name);

    // The desktop folder with a trailing "/" ("/home/ann/Desktop/"); throws
    // Failure::invalidProcedureCall() when the desktop folder is unknown.
    QString DefaultSaveFolder() const;

    // Seeds the random source with the whole seconds since midnight and draws n in 1..100;
    // on n == 7 asks the web launcher to open homePageAddress.
    void MaybeOpenHomePage();

    // True when path exists and has a last-modified time; never fails.
    static bool FileExists(const QString& path);

    // A Windows cursor file (.CUR) as a pointer with the file's hotspot. Throws
    // Failure::fileNotFound() (53) for a folder or an unreadable file, Failure 75 for a pipe
    // or device, and Failure(481, "Invalid picture") when the content is no cursor picture.
    // Reads at most 1 MiB.
    static QCursor loadCursorFile(const QString& path);

private:
    RandomSource& m_random;
    Clock& m_clock;
    WebLauncher& m_webLauncher;
    std::function<QString()> m_desktopFolder;
};
