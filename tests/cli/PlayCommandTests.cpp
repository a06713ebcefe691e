// strumvane-charts play --wav, measured: the rendered file holds the chord's notes and not their
// neighbours, falls quiet after the release, and bad arguments write nothing.
#include "sound/JackServer.h"
#include "support/ChordSpectrum.h"
#include "support/ToolProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr double clearlyAbove = 10; // a chord note against its loudest non-chord neighbour

QStringList play(const QString& entry, const QString& pitch, const QStringList& options) {
    return QStringList{QStringLiteral("play"), entry, pitch} + options;
}

} // namespace

class PlayCommandTests : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")))
            GTEST_SKIP() << "no General MIDI SoundFont (Debian package timgm6mb-soundfont)";
    }
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    ChordSpectrum::Wave render(const QString& entry, const QString& pitch,
                               const QStringList& options) {
        const QString file = path(QStringLiteral("%1-%2.wav").arg(entry, pitch));
        const ToolRun run =
            runTool(play(entry, pitch, QStringList{QStringLiteral("--wav"), file} + options));
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return ChordSpectrum::readWave(file);
    }
};

TEST_F(PlayCommandTests, Wav_HoldsEachChordNoteAboveItsNeighboursThenFallsQuiet) {
    const struct {
        const char* name;
        const char* entry;
        const char* pitch;
        QList<int> notes;
    } cases[] = {
        {"Cmaj, six strings", "6", "C", {48, 55, 60, 64, 67, 72}},
        {"Em, four strings", "36", "E", {52, 59, 64, 67}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ChordSpectrum::Wave wave =
            render(QLatin1String(c.entry), QLatin1String(c.pitch), {"--seconds", "2"});
        ASSERT_TRUE(wave.error.isEmpty()) << wave.error.toStdString();
        EXPECT_EQ(wave.sampleRate, 44100);
        // Two seconds held, then at least one second of release.
        EXPECT_GE(wave.seconds(), 3.0);
        const double held = ChordSpectrum::rms(wave, 0.1, 1.8);
        EXPECT_GT(held, 0.01) << "silent while held";
        QStringList problems;
        const QStringList lines =
            ChordSpectrum::compareWithNeighbours(wave, 0.2, 1.0, c.notes, clearlyAbove, &problems);
        EXPECT_TRUE(problems.isEmpty()) << lines.join(u'\n').toStdString();
        EXPECT_LT(ChordSpectrum::rms(wave, wave.seconds() - 0.3, 0.3), held / 100)
            << "still sounding at the end";
    }
}

TEST_F(PlayCommandTests, Wav_FretsSoundTheTuningsOwnNotes) {
    const struct {
        QStringList args;
        QList<int> notes;
    } cases[] = {
        // The ukulele's G string sounds above its C string.
        {{"0-0-0-3", "--instrument", "ukulele"}, {60, 64, 67, 72}},
        // The A-minor shape with the capo at 2 is B minor.
        {{"x-0-2-2-1-0", "--capo", "2"}, {47, 54, 59, 62, 66}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const QString file = path(QStringLiteral("frets.wav"));
        const ToolRun run = runTool(QStringList{QStringLiteral("play")} + c.args +
                                    QStringList{QStringLiteral("--wav"), file});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const ChordSpectrum::Wave wave = ChordSpectrum::readWave(file);
        ASSERT_TRUE(wave.error.isEmpty()) << wave.error.toStdString();
        QStringList problems;
        const QStringList lines =
            ChordSpectrum::compareWithNeighbours(wave, 0.2, 1.0, c.notes, clearlyAbove, &problems);
        EXPECT_TRUE(problems.isEmpty()) << lines.join(u'\n').toStdString();
    }
}

TEST_F(PlayCommandTests, Wav_MinorChordSoundsTheMinorThirdAndNotTheMajorThird) {
    // Cm of entry 36: C3 G3 C4 Eb4; its major sister Cmaj would have E4 (64).
    const ChordSpectrum::Wave wave = render(QStringLiteral("36"), QStringLiteral("C"), {});
    ASSERT_TRUE(wave.error.isEmpty()) << wave.error.toStdString();
    const double minorThird =
        ChordSpectrum::strength(wave, 0.2, 1.0, ChordSpectrum::frequencyOf(63));
    const double majorThird =
        ChordSpectrum::strength(wave, 0.2, 1.0, ChordSpectrum::frequencyOf(64));
    EXPECT_GT(minorThird, clearlyAbove * majorThird);
}

TEST_F(PlayCommandTests, Wav_StrumStartsTheStringsOneAfterAnotherLowFirst) {
    // Cmaj with 300 ms between strings: E4 (64), the fourth string sounding, starts at 0.9 s.
    const ChordSpectrum::Wave wave =
        render(QStringLiteral("6"), QStringLiteral("C"), {"--strum", "300", "--seconds", "3"});
    ASSERT_TRUE(wave.error.isEmpty()) << wave.error.toStdString();
    const double e4 = ChordSpectrum::frequencyOf(64);
    const double before = ChordSpectrum::strength(wave, 0.0, 0.85, e4);
    const double after = ChordSpectrum::strength(wave, 0.95, 0.85, e4);
    EXPECT_GT(after, clearlyAbove * before);
}

TEST_F(PlayCommandTests, BadArguments_ExitTwoWithOneLineAndWriteNothing) {
    const QString wav = path(QStringLiteral("out.wav"));
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {{"play"}, "ENTRY PITCH"},
        {{"play", "6"}, "ENTRY PITCH"},
        {{"play", "612", "C", "--wav", wav}, "612"},
        {{"play", "6", "H", "--wav", wav}, "'H'"},
        {play("6", "C", {"--wav", wav, "--seconds", "0"}), "'0'"},
        {play("6", "C", {"--wav", wav, "--seconds", "nan"}), "'nan'"},
        {play("6", "C", {"--wav", wav, "--seconds", "601"}), "'601'"},
        {play("6", "C", {"--wav", wav, "--program", "128"}), "'128'"},
        {play("6", "C", {"--wav", wav, "--program", "-1"}), "'-1'"},
        {play("6", "C", {"--wav", wav, "--strum", "1001"}), "'1001'"},
        // Six strings 400 ms apart take 2 s, longer than the 1.5 s held.
        {play("6", "C", {"--wav", wav, "--strum", "400"}), "--strum 400"},
        {play("6", "C", {"--wav", path(QStringLiteral("out.mp3"))}), "out.mp3"},
        {{"show", "6", "C", "--wav", wav}, "--wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, 2);
        const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << run.err.toStdString(); // the problem, then the help hint
        EXPECT_TRUE(lines[0].contains(QLatin1String(c.named))) << run.err.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "a file was left behind";
    }
}

TEST_F(PlayCommandTests, SynthesiserThatCannotStart_ExitsOneWithTheReasonAndWritesNothing) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STRUMVANE_SOUNDFONT"), path(QStringLiteral("none.sf2")));
    environment.insert(QStringLiteral("STRUMVANE_MIDI_PORT"), QStringLiteral("builtin"));
    const auto runWith = [&](const QStringList& args) { return runTool(args, 60000, environment); };

    const ToolRun rendered = runWith(play("6", "C", {"--wav", path(QStringLiteral("out.wav"))}));
    EXPECT_EQ(rendered.status, 1);
    EXPECT_TRUE(rendered.err.contains(QLatin1String("no SoundFont at")))
        << rendered.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "a file was left behind";

    // Live, the built-in synthesiser was the only output asked for: nothing opens.
    const ToolRun live = runWith(play("6", "C", {"--verbose"}));
    EXPECT_EQ(live.status, 1);
    EXPECT_TRUE(live.err.contains(QLatin1String("The MIDI stream is unavailable")))
        << live.err.toStdString();
    EXPECT_TRUE(live.out.contains(QLatin1String("did not open: built-in synthesiser")))
        << live.out.toStdString();
}

// libjack would start a JACK server for a client that finds none, printing dozens of lines: the
// built-in synthesiser asked for JACK says in one line that none runs, and starts none.
TEST_F(PlayCommandTests, JackWithoutAServer_StartsNoneAndSaysSoInOneLine) {
    if (JackServer::runs())
        GTEST_SKIP() << "a JACK server runs here";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STRUMVANE_MIDI_PORT"), QStringLiteral("builtin"));
    environment.insert(QStringLiteral("STRUMVANE_AUDIO_DRIVER"), QStringLiteral("jack"));
    environment.remove(QStringLiteral("JACK_NO_START_SERVER"));
    const ToolRun run = runTool(play("6", "C", {}), 60000, environment);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("The MIDI stream is unavailable")))
        << run.err.toStdString();
    EXPECT_FALSE(JackServer::runs());
}
