// The fountain simulation: the animation's rise and flicker, then the window on
// a real X server (Mesa), its drawing, its square frame, dragging, and the
// fall-back where OpenGL cannot be used (child processes of this program).
#include "core/fountain_geometry.h"
#include "sim/fountain_picture.h"
#include "sim/window_gl_form.h"
#include "tests/support/window_fixture.h"
#include "widgets/guard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollBar>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include <cmath>
#include <map>
#include <utility>

using fountain::Frame;
using fountain::kJets;

namespace {

// The window's scroll bars 1..3 and its timer, by their names.
QScrollBar *bar(const TWindowGLForm &w, int number)
{
    return findNamed<QScrollBar>(&w, QStringLiteral("ScrollBar%1").arg(number));
}

QTimer *refreshTimer(const TWindowGLForm &w)
{
    return findNamed<QTimer>(&w, QStringLiteral("TimerRefresh"));
}

// The picture when OpenGL is missing: background, scroll bars, a running timer.
// Returns the process exit code; the parent checks it and what was printed.
int runWithoutOpenGL()
{
    RecordingPrompts prompts;
    const HandlerGuard guard(prompts);
    TWindowGLForm w(guard);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 2;
    QTest::qWait(1200); // about a dozen real ticks
    w.resize(400, 10);
    w.resize(600, 10);
    QTest::qWait(300);
    const QImage shot = w.grab().toImage();
    const bool ok = w.glPicture() == nullptr && w.riseCounter() >= 8 &&
                    w.frameGeometry().width() == w.frameGeometry().height() &&
                    shot.pixelColor(300, 100) == QColor(192, 220, 192) && bar(w, 1)->isVisible() &&
                    bar(w, 2)->isVisible() && bar(w, 3)->isVisible() && prompts.messages.isEmpty();
    return ok ? 0 : 1;
}

#ifdef Q_OS_UNIX
// Runs the window at its 10 frames per second for the given time and prints
// the process's CPU time over it (for bench/sim_cpu.sh).
int runBenchmark(int seconds, bool visible)
{
    RecordingPrompts prompts;
    const HandlerGuard guard(prompts);
    TWindowGLForm w(guard);
    w.setVisible(visible);
    if (visible && !QTest::qWaitForWindowExposed(&w))
        return 2;
    QTest::qWait(2000);
    auto frames = [&w] { return w.glPicture() ? w.glPicture()->framesRendered() : 0; };
    auto spent = [](timeval a, timeval b) {
        return double(b.tv_sec - a.tv_sec) + (b.tv_usec - a.tv_usec) / 1e6;
    };
    rusage before{}, after{};
    const int framesBefore = frames();
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    getrusage(RUSAGE_SELF, &after);
    const double wall = clock.elapsed() / 1000.0;
    const double user = spent(before.ru_utime, after.ru_utime);
    const double system = spent(before.ru_stime, after.ru_stime);
    const int drawn = frames() - framesBefore;
    std::printf("%s window: %d frames in %.1f s (%.1f per s), CPU user %.2f s + system %.2f s "
                "= %.1f %% of one core\n",
                visible ? "visible" : "hidden", drawn, wall, drawn / wall, user, system,
                100.0 * (user + system) / wall);
    return 0;
}
#endif

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

    // The windows' handlers report errors here; none may occur.
    RecordingPrompts m_prompts;
    const HandlerGuard m_guard{m_prompts};

  private slots:
    void cleanup()
    {
        const QStringList shown = std::exchange(m_prompts.messages, {});
        QCOMPARE(shown, QStringList());
    }

    // The first frame's jets are 0.00..0.09 high, the 81st's and all later
    // ones 0.80..0.89; every flicker value 0..9 occurs with the real source.
    void riseCounterLiftsJetsOncePerFrameUpTo80()
    {
        fountain::Animation animation;
        std::map<int, int> flicker;
        for (int frame = 1; frame <= 200; ++frame) {
            const int rise = std::min(frame - 1, fountain::kMaxRise);
            QCOMPARE(animation.rise(), rise);
            const Frame f = animation.nextFrame(5, 3, 0);
            for (const fountain::Strip *strip : {&f.first, &f.second}) {
                for (int i = 0; i < kJets; ++i) {
                    const double r = heightOf(*strip, i) * 100.0 - rise;
                    QVERIFY2(r > -0.01 && r < 9.01, qPrintable(QString::number(r)));
                    ++flicker[int(std::lround(r))];
                }
            }
        }
        QCOMPARE(animation.rise(), 80);
        QCOMPARE(int(flicker.size()), 10);
    }

    // The window as created: hidden, always on top, square at its first place,
    // the scroll bars at their first positions, the timer ticking at once (the
    // rise counter grows while hidden) and on after closing, which hides it.
    void newWindowAndItsTimer()
    {
        TWindowGLForm w(m_guard);
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(w.geometry(), QRect(255, 135, 499, 499));
        QCOMPARE((std::array{bar(w, 1)->value(), bar(w, 2)->value(), bar(w, 3)->value(),
                             bar(w, 1)->maximum(), bar(w, 3)->minimum(), bar(w, 3)->maximum()}),
                 (std::array{5, 3, 0, 10, 0, 360}));
        QVERIFY(w.glPicture()); // this machine has OpenGL
        QCOMPARE(w.picture(), w.glPicture());
        QTRY_VERIFY_WITH_TIMEOUT(w.riseCounter() >= 3, 2000); // real 100 ms ticks
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.glPicture()->framesRendered() >= 2);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        const int rise = w.riseCounter();
        QTRY_VERIFY(w.riseCounter() > rise);
    }

    // A hidden window's ticks only advance the animation; a shown window draws
    // once per tick, the frame that the scroll bars shape, with the grey
    // background, the first curtain's jets light grey and the second's white,
    // white also where the second lies over the first.
    void renderedFrameShowsBothCurtains_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("p");
        QTest::newRow("initial") << 5 << 3 << 0;
        QTest::newRow("clipped below") << 1 << 3 << 270;
        QTest::newRow("small wave") << 10 << 6 << 90;
    }
    void renderedFrameShowsBothCurtains()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        QFETCH(int, p);
        TWindowGLForm w(m_guard);
        refreshTimer(w)->stop();
        ScriptedRandom random;
        w.setRandomSource(std::ref(random));
        for (int k = 1; k <= 100; ++k) {
            QMetaObject::invokeMethod(refreshTimer(w), "timeout");
            QCOMPARE(w.riseCounter(), std::min(k, 80));
        }
        QCoreApplication::processEvents();
        QVERIFY(!w.glPicture()->frame().has_value());
        w.resize(900, 900); // the jets stand 4.5 pixels apart
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        bar(w, 1)->setValue(a);
        bar(w, 2)->setValue(s);
        bar(w, 3)->setValue(p);
        QTest::qWait(300);
        QCOMPARE(w.glPicture()->framesRendered(), 0);
        QMetaObject::invokeMethod(refreshTimer(w), "timeout");
        QTRY_COMPARE(w.glPicture()->framesRendered(), 1);
        QTest::qWait(300);
#ifdef Q_OS_WIN
        // Windows may ask for the first frame again (an expose): drawn anew,
        // it is still the one frame of the one tick.
        QVERIFY(w.glPicture()->framesRendered() <= 2);
#else
        QCOMPARE(w.glPicture()->framesRendered(), 1);
#endif
        const Frame f = *w.glPicture()->frame();
        ScriptedRandom expected{100 * 2 * kJets}; // hidden ticks draw as well
        QVERIFY(f == fountain::makeFrame(a, s, p, 80, std::ref(expected)));
        const QImage image = w.glPicture()->grabFramebuffer();
        QCOMPARE(image.size(), w.glPicture()->size());
        const int width = image.width();
        const int height = image.height();
        const QColor grey(128, 128, 128);

        // Each jet's column, row by row, against its two vertical segments;
        // rows within 4 pixels of a segment's end are left out. Only jets near
        // a pixel centre: a line on a pixel border may fall into either one.
        auto row = [height](double y) { return (1.0 - y) * height / 2.0; };
        int jets = 0;
        int seen[4] = {}; // background, light grey, white, white over light grey
        for (int i = 0; i < kJets; ++i) {
            const double centre = (f.first[2 * i].x + 1.0) * width / 2.0;
            if (const double off = centre - std::floor(centre); off < 0.25 || off > 0.75)
                continue;
            ++jets;
            const double top1 = row(f.first[2 * i + 1].y), foot1 = row(f.first[2 * i].y);
            const double top2 = row(f.second[2 * i + 1].y), foot2 = row(f.second[2 * i].y);
            for (int r = 0; r < height; ++r) {
                const double y = r + 0.5;
                const bool in1 = y > top1 + 4 && y < foot1 - 4;
                const bool in2 = y > top2 + 4 && y < foot2 - 4;
                int kind = 0;
                if (in2)
                    kind = in1 ? 3 : 2;
                else if (in1 && (y < top2 - 4 || y > foot2 + 4))
                    kind = 1;
                else if (y > std::min(top1, top2) - 4 && y < std::max(foot1, foot2) + 4)
                    continue;
                ++seen[kind];
                const QColor c = image.pixelColor(int(centre), r);
                const bool ok = kind == 0   ? c == grey
                                : kind == 1 ? (c.red() == 229 || c.red() == 230) &&
                                                  c == QColor(c.red(), c.red(), c.red())
                                            : c == Qt::white;
                QVERIFY2(ok, qPrintable(QString::asprintf("jet %d row %d: kind %d, got %s", i, r,
                                                          kind, qPrintable(c.name()))));
            }
        }
        QVERIFY(jets >= 25);
        QVERIFY(seen[0] > 1000 && seen[1] > 200 && seen[2] + seen[3] > 1000 && seen[3] > 200);
    }

    void frameStaysSquare_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("draggedHeight");
        QTest::newRow("narrow") << 260 << 700;
        QTest::newRow("first size") << 499 << 120;
        QTest::newRow("wide") << 640 << 300;
        QTest::newRow("wider") << 811 << 811;
    }
    void frameStaysSquare()
    {
        QFETCH(int, width);
        QFETCH(int, draggedHeight);
        TWindowGLForm w(m_guard);
        w.resize(width, draggedHeight); // while hidden
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.frameGeometry().height(), w.frameGeometry().width());
        QCOMPARE(w.frameGeometry().width(), width); // the outer width is kept
        w.resize(width + 37, draggedHeight);
        QTRY_COMPARE(w.frameGeometry().height(), w.frameGeometry().width());
        QCOMPARE(w.width(), width + 37);
        QCOMPARE(w.picture()->size(), w.size());
    }

#ifndef Q_OS_WIN
    // Without a window manager (as under Xvfb) the window system refuses to
    // move the window, and the window follows the mouse itself. Windows always
    // takes the move into its own loop, which only a real mouse button ends.
    void draggingThePictureMovesTheWindow()
    {
        TWindowGLForm w(m_guard);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget *picture = w.picture();
        const QPoint start = w.pos();
        const QPoint local(300, 60);
        const QPoint global = picture->mapToGlobal(local);
        auto send = [&](QEvent::Type type, QPoint by, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(local), QPointF(global + by), button, buttons, {});
            QApplication::sendEvent(picture, &e);
        };
        send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            send(QEvent::MouseMove, QPoint(10, 6) * step, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {40, 24}, Qt::LeftButton, Qt::NoButton);
        QTRY_COMPARE(w.pos(), start + QPoint(40, 24));
        send(QEvent::MouseMove, {90, 90}, Qt::NoButton, Qt::NoButton); // no button: no move
        QCOMPARE(w.pos(), start + QPoint(40, 24));

        // The scroll bars keep their own mouse handling.
        QTest::mouseClick(bar(w, 1), Qt::LeftButton, {}, QPoint(115, 8));
        QCOMPARE(bar(w, 1)->value(), 6);
        QTest::mouseClick(bar(w, 3), Qt::LeftButton, {}, QPoint(115, 8));
        QCOMPARE(bar(w, 3)->value(), 1);
        QCOMPARE(w.pos(), start + QPoint(40, 24));
    }
#endif

    // Each mode runs this program as a child; see main().
    void withoutOpenGLTheWindowStillWorks_data()
    {
        QTest::addColumn<QString>("mode");
#ifdef Q_OS_LINUX
        // Only the X11 platform can be told to have no OpenGL at all.
        QTest::newRow("no context") << "--child-no-context";
#endif
        QTest::newRow("core profile only") << "--child-core-profile";
        QTest::newRow("offscreen platform") << "--child-offscreen";
    }
    void withoutOpenGLTheWindowStillWorks()
    {
        QFETCH(QString, mode);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {mode});
        QVERIFY(child.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() == 0, qPrintable(QString::number(child.exitCode()) + err));
        // Nothing is printed more than once.
        const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
    }
};

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "--child-no-context")
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    if (mode == "--child-offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (mode == "--child-core-profile") {
        // The default format then asks for a context without the fixed functions.
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        QSurfaceFormat::setDefaultFormat(format);
    }
    QApplication app(argc, argv);
    if (mode.startsWith("--child-")) {
        // The core-profile child loads Mesa's driver too (see below).
        const int status = runWithoutOpenGL();
        keepGLDriversLoaded();
        return status;
    }
#ifdef Q_OS_UNIX
    // --bench SECONDS [hidden]: the CPU cost of the window, for bench/sim_cpu.sh.
    if (mode == "--bench" && argc > 2)
        return runBenchmark(std::atoi(argv[2]), !(argc > 3 && QByteArray(argv[3]) == "hidden"));
#endif
    TestSim test;
    const int status = QTest::qExec(&test, argc, argv);
    // Mesa unloads its driver at exit, before LeakSanitizer looks: its leaks
    // would be reported from an unknown module, which no suppression can name.
    keepGLDriversLoaded();
    return status;
}

#include "tst_sim.moc"
