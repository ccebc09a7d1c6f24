// The fountain simulation: the picture's geometry on its own, then the window
// on a real X server (Mesa), its drawing, its square frame, dragging, and the
// fall-back where OpenGL cannot be used (child processes of this program).
#include "sim/fountain_geometry.h"
#include "sim/fountain_picture.h"
#include "sim/window_gl_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollBar>
#include <QSurfaceFormat>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <cmath>
#include <cstring>
#include <map>

using fountain::Frame;
using fountain::kJets;

namespace {

constexpr float kTolerance = 1e-5f;

// A repeatable stand-in for the spray flicker: draw k gives (7k + 3) mod 10.
struct ScriptedRandom
{
    int draws = 0;
    int operator()() { return (7 * draws++ + 3) % 10; }
};

fountain::RandomSource scripted(ScriptedRandom &source)
{
    return [&source] { return source(); };
}

int scriptedDraw(int k)
{
    return (7 * k + 3) % 10;
}

float footOf(const fountain::Strip &strip, int jet)
{
    return strip[2 * jet].y;
}

float heightOf(const fountain::Strip &strip, int jet)
{
    return strip[2 * jet + 1].y - strip[2 * jet].y;
}

// The picture when OpenGL is missing: background, scroll bars, a running timer.
// Returns the process exit code; the parent checks it and what was printed.
int runWithoutOpenGL()
{
    TWindowGLForm w;
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
                    shot.pixelColor(300, 100) == QColor(192, 220, 192) &&
                    w.ScrollBar1->isVisible() && w.ScrollBar2->isVisible() &&
                    w.ScrollBar3->isVisible();
    return ok ? 0 : 1;
}

// Shows the window at its 10 frames per second for the given time and prints
// the process's CPU time over it.
int runBenchmark(int seconds, bool visible)
{
    TWindowGLForm w;
    if (visible) {
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return 2;
    }
    QTest::qWait(2000);
    const int framesBefore = w.glPicture() ? w.glPicture()->framesRendered() : 0;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(seconds * 1000);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double wall = clock.elapsed() / 1000.0;
    auto secondsOf = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    const double user = secondsOf(after.ru_utime) - secondsOf(before.ru_utime);
    const double system = secondsOf(after.ru_stime) - secondsOf(before.ru_stime);
    const int frames = (w.glPicture() ? w.glPicture()->framesRendered() : 0) - framesBefore;
    std::printf("%s window: %d frames in %.1f s (%.1f per s), CPU user %.2f s + system %.2f s "
                "= %.1f %% of one core\n",
                visible ? "visible" : "hidden", frames, wall, frames / wall, user, system,
                100.0 * (user + system) / wall);
    return 0;
}

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

  private slots:
    // ---- geometry ----

    void jetsStandInFixedColumns_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("p");
        QTest::newRow("initial") << 5 << 3 << 0;
        QTest::newRow("wide") << 1 << 10 << 360;
        QTest::newRow("flat") << 10 << 1 << 137;
    }
    void jetsStandInFixedColumns()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        QFETCH(int, p);
        ScriptedRandom random;
        const Frame f = fountain::makeFrame(a, s, p, 40, scripted(random));
        for (const fountain::Strip *strip : {&f.first, &f.second}) {
            for (int i = 0; i < kJets; ++i) {
                // -0.25 to 0.35 in steps of 0.01; foot and top share the column.
                const float x = -0.25f + 0.01f * i;
                QVERIFY2(std::abs((*strip)[2 * i].x - x) < kTolerance,
                         qPrintable(QString::number(i)));
                QCOMPARE((*strip)[2 * i + 1].x, (*strip)[2 * i].x);
            }
        }
        QCOMPARE(f.first[0].x, -0.25f);
        QCOMPARE(f.first[2 * 60].x, 0.35f);
        QCOMPARE(random.draws, 2 * kJets);
    }

    void feetRideTheWave_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("jet");
        QTest::addColumn<double>("foot");
        QTest::newRow("first jet on the axis") << 5 << 3 << 0 << 0 << -0.25;
        QTest::newRow("crest at jet 30") << 5 << 3 << 0 << 30 << -0.05;
        QTest::newRow("half period at jet 60") << 5 << 3 << 0 << 60 << -0.25;
        QTest::newRow("30 degrees") << 5 << 3 << 0 << 10 << -0.15;
        QTest::newRow("offset 90, full amplitude") << 1 << 1 << 90 << 0 << 0.75;
        QTest::newRow("below the edge") << 1 << 3 << 270 << 0 << -1.25;
        QTest::newRow("small crest") << 10 << 3 << 90 << 0 << -0.15;
        QTest::newRow("small trough") << 10 << 3 << 270 << 0 << -0.35;
        QTest::newRow("step and offset") << 4 << 6 << 30 << 10 << 0.0;
        QTest::newRow("quarter at jet 9") << 2 << 10 << 0 << 9 << 0.25;
    }
    void feetRideTheWave()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        QFETCH(int, p);
        QFETCH(int, jet);
        QFETCH(double, foot);
        ScriptedRandom random;
        const Frame f = fountain::makeFrame(a, s, p, 0, scripted(random));
        QVERIFY2(std::abs(footOf(f.first, jet) - foot) < kTolerance,
                 qPrintable(QString::number(footOf(f.first, jet))));
        // The second curtain's wave mirrors the first about y = -0.25.
        QVERIFY2(std::abs(footOf(f.second, jet) - (-0.5 - foot)) < kTolerance,
                 qPrintable(QString::number(footOf(f.second, jet))));
    }

    void topsStandRiseAndFlickerAboveFeet_data()
    {
        QTest::addColumn<int>("rise");
        QTest::newRow("start") << 0;
        QTest::newRow("rising") << 37;
        QTest::newRow("full") << 80;
    }
    void topsStandRiseAndFlickerAboveFeet()
    {
        QFETCH(int, rise);
        ScriptedRandom random;
        const Frame f = fountain::makeFrame(3, 7, 45, rise, scripted(random));
        // One draw per jet: the first curtain's jets, then the second's.
        for (int i = 0; i < kJets; ++i) {
            const double first = (rise + scriptedDraw(i)) / 100.0;
            const double second = (rise + scriptedDraw(kJets + i)) / 100.0;
            QVERIFY2(std::abs(heightOf(f.first, i) - first) < kTolerance,
                     qPrintable(QString::number(i)));
            QVERIFY2(std::abs(heightOf(f.second, i) - second) < kTolerance,
                     qPrintable(QString::number(i)));
        }
    }

    void phaseOffset360EqualsZero_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::newRow("initial") << 5 << 3;
        QTest::newRow("steep") << 1 << 10;
        QTest::newRow("slow") << 7 << 1;
    }
    void phaseOffset360EqualsZero()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        ScriptedRandom r0;
        ScriptedRandom r360;
        const Frame at0 = fountain::makeFrame(a, s, 0, 80, scripted(r0));
        const Frame at360 = fountain::makeFrame(a, s, 360, 80, scripted(r360));
        for (int k = 0; k < fountain::kStripVertices; ++k) {
            QVERIFY(std::abs(at0.first[k].y - at360.first[k].y) < kTolerance);
            QVERIFY(std::abs(at0.second[k].y - at360.second[k].y) < kTolerance);
        }
        // 180 is a different wave, so the comparison above can tell them apart.
        ScriptedRandom r180;
        const Frame at180 = fountain::makeFrame(a, s, 180, 80, scripted(r180));
        QVERIFY(std::abs(at0.first[2 * 5].y - at180.first[2 * 5].y) > 0.01f);
    }

    void riseCounterLiftsJetsOncePerFrameUpTo80()
    {
        fountain::Animation animation; // the real random source
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
            if (frame == 1 || frame == 81 || frame == 200) {
                // 0.00..0.09 on the first frame, 0.80..0.89 from the 81st on.
                const double low = rise / 100.0;
                for (int i = 0; i < kJets; ++i) {
                    QVERIFY(heightOf(f.first, i) > low - kTolerance);
                    QVERIFY(heightOf(f.first, i) < low + 0.09 + kTolerance);
                }
            }
        }
        QCOMPARE(animation.rise(), 80);
        QCOMPARE(int(flicker.size()), 10); // every flicker value 0..9 occurs
    }

    // ---- the window ----

    void windowLayout()
    {
        TWindowGLForm w;
        QCOMPARE(w.objectName(), QStringLiteral("TWindowGLForm"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Иммитация фонтана "));
        QVERIFY(!w.isVisible());
        QVERIFY(!w.testAttribute(Qt::WA_QuitOnClose));
        const Qt::WindowFlags flags = w.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(w.pos(), QPoint(255, 135));
        QCOMPARE(w.width(), 499);
        QCOMPARE(w.height(), 499);
        QCOMPARE(w.palette().color(QPalette::Window), QColor(192, 220, 192));
        QVERIFY(w.autoFillBackground());

        QCOMPARE(w.GroupBox1->objectName(), QStringLiteral("GroupBox1"));
        QCOMPARE(w.GroupBox1->title(), QStringLiteral("GroupBox1"));
        QCOMPARE(w.GroupBox1->geometry(), QRect(8, 312, 145, 105));
        QCOMPARE(w.GroupBox1->palette().color(QPalette::Window), QColor(192, 220, 192));
        const std::array bars{w.ScrollBar1, w.ScrollBar2, w.ScrollBar3};
        const std::array<std::array<int, 3>, 3> ranges{{{1, 10, 5}, {1, 10, 3}, {0, 360, 0}}};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(bars[k]->objectName(), QStringLiteral("ScrollBar%1").arg(k + 1));
            QCOMPARE(bars[k]->parentWidget(), w.GroupBox1);
            QCOMPARE(bars[k]->orientation(), Qt::Horizontal);
            QCOMPARE(bars[k]->geometry(), QRect(8, 24 + 24 * k, 121, 17));
            QCOMPARE(bars[k]->minimum(), ranges[k][0]);
            QCOMPARE(bars[k]->maximum(), ranges[k][1]);
            QCOMPARE(bars[k]->value(), ranges[k][2]);
            QCOMPARE(bars[k]->singleStep(), 1);
            QCOMPARE(bars[k]->pageStep(), 1);
        }
        QCOMPARE(w.TimerRefresh->objectName(), QStringLiteral("TimerRefresh"));
        QCOMPARE(w.TimerRefresh->interval(), 100);
        QVERIFY(w.TimerRefresh->isActive());
        // This machine has OpenGL, so the picture is the GL surface.
        QVERIFY(w.glPicture());
        QCOMPARE(w.picture(), w.glPicture());
    }

    void hiddenWindowOnlyAdvancesTheAnimation()
    {
        TWindowGLForm w;
        w.TimerRefresh->stop();
        ScriptedRandom random;
        w.setRandomSource(scripted(random));
        for (int k = 1; k <= 100; ++k) {
            w.TimerRefreshTimer();
            QCOMPARE(w.riseCounter(), std::min(k, 80));
        }
        QCOMPARE(random.draws, 100 * 2 * kJets);
        QCoreApplication::processEvents();
        QCOMPARE(w.glPicture()->framesRendered(), 0);
        QVERIFY(!w.glPicture()->frame().has_value());
    }

    void timerRunsFromCreationAndAfterClosing()
    {
        TWindowGLForm w;
        QTRY_VERIFY_WITH_TIMEOUT(w.riseCounter() >= 3, 2000); // real 100 ms ticks, hidden
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.glPicture()->framesRendered() >= 2);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QVERIFY(w.TimerRefresh->isActive());
        const int rise = w.riseCounter();
        QTRY_VERIFY(w.riseCounter() > rise);
    }

    void visibleWindowDrawsOnlyOnTicks()
    {
        TWindowGLForm w;
        w.TimerRefresh->stop();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(200);
        const int settled = w.glPicture()->framesRendered();
        QTest::qWait(300);
        QCOMPARE(w.glPicture()->framesRendered(), settled);
        for (int k = 1; k <= 3; ++k) {
            w.TimerRefreshTimer();
            QTRY_COMPARE(w.glPicture()->framesRendered(), settled + k);
        }
        QTest::qWait(300);
        QCOMPARE(w.glPicture()->framesRendered(), settled + 3);
    }

    void scrollBarsShapeTheNextFrame_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("p");
        QTest::addColumn<double>("foot0");
        QTest::addColumn<double>("foot10");
        QTest::newRow("initial") << 5 << 3 << 0 << -0.25 << -0.15;
        QTest::newRow("amplitude 1") << 1 << 3 << 0 << -0.25 << 0.25;
        QTest::newRow("offset 90") << 5 << 3 << 90 << -0.05 << -0.25 + 0.2 * std::cos(M_PI / 6);
        QTest::newRow("step 9") << 10 << 9 << 0 << -0.25 << -0.15;
        QTest::newRow("offset 360") << 2 << 6 << 360 << -0.25 << -0.25 + 0.5 * std::sin(M_PI / 3);
    }
    void scrollBarsShapeTheNextFrame()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        QFETCH(int, p);
        QFETCH(double, foot0);
        QFETCH(double, foot10);
        TWindowGLForm w;
        w.TimerRefresh->stop();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ScrollBar1->setValue(a);
        w.ScrollBar2->setValue(s);
        w.ScrollBar3->setValue(p);
        w.TimerRefreshTimer();
        const std::optional<Frame> &f = w.glPicture()->frame();
        QVERIFY(f.has_value());
        QVERIFY2(std::abs(footOf(f->first, 0) - foot0) < kTolerance,
                 qPrintable(QString::number(footOf(f->first, 0))));
        QVERIFY2(std::abs(footOf(f->first, 10) - foot10) < kTolerance,
                 qPrintable(QString::number(footOf(f->first, 10))));
    }

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
        TWindowGLForm w;
        w.TimerRefresh->stop();
        ScriptedRandom random;
        w.setRandomSource(scripted(random));
        for (int k = 0; k < 80; ++k)
            w.TimerRefreshTimer(); // hidden: the jets reach full height
        // About 900 pixels: the jets stand 4.5 pixels apart.
        w.resize(900, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ScrollBar1->setValue(a);
        w.ScrollBar2->setValue(s);
        w.ScrollBar3->setValue(p);
        w.TimerRefreshTimer();
        const Frame f = *w.glPicture()->frame();
        const QImage image = w.glPicture()->grabFramebuffer();
        QCOMPARE(image.size(), w.glPicture()->size());
        const int width = image.width();
        const int height = image.height();

        const QColor grey(128, 128, 128);
        QCOMPARE(image.pixelColor(2, 2), grey);
        QCOMPARE(image.pixelColor(width - 3, 2), grey);
        QCOMPARE(image.pixelColor(width - 3, height - 3), grey);

        // Classify the rows of each jet's column by the two vertical
        // segments; rows within 4 pixels of an end are left out.
        auto row = [height](double y) { return (1.0 - y) * height / 2.0; };
        std::map<QString, int> seen;
        int wrong = 0;
        QString firstWrong;
        for (int i = 0; i < kJets; ++i) {
            // Only jets near a pixel centre: a line on a pixel border may
            // fall into either neighbour.
            const double centre = (f.first[2 * i].x + 1.0) * width / 2.0;
            const double offset = centre - std::floor(centre);
            if (offset < 0.25 || offset > 0.75)
                continue;
            ++seen[QStringLiteral("jets")];
            const int column = int(centre);
            const double foot1 = row(footOf(f.first, i));
            const double top1 = row(f.first[2 * i + 1].y);
            const double foot2 = row(footOf(f.second, i));
            const double top2 = row(f.second[2 * i + 1].y);
            for (int r = 0; r < height; ++r) {
                const double y = r + 0.5;
                auto inside = [y](double top, double foot) { return y > top + 4 && y < foot - 4; };
                auto outside = [y](double top, double foot) { return y < top - 4 || y > foot + 4; };
                const bool above = y < std::min(top1, top2) - 4;
                const bool below = y > std::max(foot1, foot2) + 4;
                QString kind;
                if (inside(top2, foot2))
                    kind = QStringLiteral("white");
                else if (inside(top1, foot1) && outside(top2, foot2))
                    kind = QStringLiteral("light grey");
                else if (above || below)
                    kind = QStringLiteral("background");
                else
                    continue;
                if (inside(top1, foot1) && inside(top2, foot2))
                    ++seen[QStringLiteral("overlap")];
                ++seen[kind];
                const QColor c = image.pixelColor(column, r);
                const bool ok = kind == QLatin1String("white") ? c == QColor(255, 255, 255)
                                : kind == QLatin1String("background")
                                    ? c == grey
                                    : c.red() >= 229 && c.red() <= 230 && c.green() == c.red() &&
                                          c.blue() == c.red();
                if (!ok && wrong++ == 0)
                    firstWrong = QStringLiteral("jet %1 column %2 row %3: %4 expected, got %5")
                                     .arg(i)
                                     .arg(column)
                                     .arg(r)
                                     .arg(kind, c.name());
            }
        }
        QVERIFY2(wrong == 0, qPrintable(QString::number(wrong) + " wrong, first: " + firstWrong));
        QVERIFY(seen[QStringLiteral("jets")] >= 25);
        QVERIFY(seen[QStringLiteral("white")] > 1000);
        QVERIFY(seen[QStringLiteral("light grey")] > 200);
        QVERIFY(seen[QStringLiteral("background")] > 1000);
        QVERIFY(seen[QStringLiteral("overlap")] > 200);
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
        TWindowGLForm w;
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

    void draggingThePictureMovesTheWindow()
    {
        TWindowGLForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Without a window manager (as under Xvfb) the window system refuses
        // to move the window, and the window follows the mouse itself.
        QWidget *picture = w.picture();
        const QPoint start = w.pos();
        const QPoint local(300, 60);
        const QPoint global = picture->mapToGlobal(local);
        auto send = [picture](QEvent::Type type, QPoint at, QPoint globalAt, Qt::MouseButton button,
                              Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(at), QPointF(globalAt), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(picture, &e);
        };
        send(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            send(QEvent::MouseMove, local, global + QPoint(10 * step, 6 * step), Qt::NoButton,
                 Qt::LeftButton);
        send(QEvent::MouseButtonRelease, local, global + QPoint(40, 24), Qt::LeftButton,
             Qt::NoButton);
        QTRY_COMPARE(w.pos(), start + QPoint(40, 24));
        // Moving without a pressed button does nothing.
        send(QEvent::MouseMove, local, global + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
        QCOMPARE(w.pos(), start + QPoint(40, 24));

        // The scroll bars keep their own mouse handling.
        const QPoint moved = w.pos();
        QTest::mouseClick(w.ScrollBar1, Qt::LeftButton, {}, QPoint(115, 8));
        QCOMPARE(w.ScrollBar1->value(), 6);
        QTest::mouseClick(w.ScrollBar3, Qt::LeftButton, {}, QPoint(115, 8));
        QCOMPARE(w.ScrollBar3->value(), 1);
        QCOMPARE(w.pos(), moved);
    }

    void withoutOpenGLTheWindowStillWorks_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("no context") << "--child-no-context";
        QTest::newRow("core profile only") << "--child-core-profile";
        QTest::newRow("offscreen platform") << "--child-offscreen";
    }
    void withoutOpenGLTheWindowStillWorks()
    {
        QFETCH(QString, mode);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (mode == QLatin1String("--child-no-context"))
            env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
        if (mode == QLatin1String("--child-offscreen"))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {mode});
        QVERIFY(child.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() == 0, qPrintable(QString::number(child.exitCode()) + err));
        const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
    }
};

int main(int argc, char *argv[])
{
    const bool coreProfile = argc > 1 && std::strcmp(argv[1], "--child-core-profile") == 0;
    if (coreProfile) {
        // The default format then asks for a context without the fixed functions.
        QSurfaceFormat format;
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
        QSurfaceFormat::setDefaultFormat(format);
    }
    QApplication app(argc, argv);
    if (coreProfile || (argc > 1 && (std::strcmp(argv[1], "--child-no-context") == 0 ||
                                     std::strcmp(argv[1], "--child-offscreen") == 0)))
        return runWithoutOpenGL();
    // --bench SECONDS [hidden]: the CPU cost of the window, for bench/sim_cpu.sh.
    if (argc > 2 && std::strcmp(argv[1], "--bench") == 0) {
        const bool hidden = argc > 3 && std::strcmp(argv[3], "hidden") == 0;
        return runBenchmark(std::atoi(argv[2]), !hidden);
    }
    TestSim test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sim.moc"
