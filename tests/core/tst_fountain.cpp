// The fountain picture's geometry on its own: where one frame puts every jet's
// foot and top, and what it draws from the random source.
#include "core/fountain_geometry.h"
#include "tests/support/test_support.h"

#include <QTest>

#include <cmath>

using fountain::Frame;
using fountain::kJets;

namespace {

constexpr float kTolerance = 1e-5f;

} // namespace

class TestFountain : public QObject
{
    Q_OBJECT

  private slots:
    // Columns -0.25..0.35, feet on the wave (the second curtain mirrored about
    // y = -0.25), tops (rise + flicker) / 100 above the feet, one draw per jet.
    void frameGeometry_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("rise");
        QTest::addColumn<int>("jet");
        QTest::addColumn<double>("foot");
        QTest::newRow("crest at jet 30") << 5 << 3 << 0 << 37 << 30 << -0.05;
        QTest::newRow("half period at jet 60") << 5 << 3 << 0 << 0 << 60 << -0.25;
        QTest::newRow("offset 90, full amplitude") << 1 << 1 << 90 << 37 << 0 << 0.75;
        QTest::newRow("below the edge") << 1 << 3 << 270 << 80 << 0 << -1.25;
        QTest::newRow("small trough") << 10 << 3 << 270 << 0 << 0 << -0.35;
        QTest::newRow("step and offset") << 4 << 6 << 30 << 37 << 10 << 0.0;
        QTest::newRow("quarter at jet 9") << 2 << 10 << 0 << 80 << 9 << 0.25;
    }
    void frameGeometry()
    {
        QFETCH(int, a);
        QFETCH(int, s);
        QFETCH(int, p);
        QFETCH(int, rise);
        QFETCH(int, jet);
        QFETCH(double, foot);
        ScriptedRandom random, again;
        const Frame f = fountain::makeFrame(a, s, p, rise, std::ref(random));
        const Frame turned = fountain::makeFrame(a, s, p + 360, rise, std::ref(again));
        QCOMPARE(random.draws, 2 * kJets);
        QVERIFY(std::abs(f.first[2 * jet].y - foot) < kTolerance);
        QVERIFY(std::abs(f.second[2 * jet].y - (-0.5 - foot)) < kTolerance);
        QCOMPARE(f.first[0].x, -0.25f);
        QCOMPARE(f.second[2 * 60].x, 0.35f);
        for (int k = 0; k < fountain::kFrameVertices; ++k) {
            const fountain::Strip &strip = k < fountain::kStripVertices ? f.first : f.second;
            const int v = k % fountain::kStripVertices, i = v / 2;
            const QString at = QStringLiteral("vertex %1").arg(k);
            QVERIFY2(std::abs(strip[v].x - (-0.25f + 0.01f * i)) < kTolerance, qPrintable(at));
            const int draw = (7 * (k / 2) + 3) % 10; // one draw per jet, in order
            QVERIFY2(std::abs(heightOf(strip, i) - (rise + draw) / 100.0) < kTolerance,
                     qPrintable(at));
            const auto &same = (k < fountain::kStripVertices ? turned.first : turned.second)[v];
            QVERIFY2(std::abs(same.y - strip[v].y) < kTolerance, qPrintable(at)); // 360 is 0
        }
    }
};

QTEST_APPLESS_MAIN(TestFountain)
#include "tst_fountain.moc"
