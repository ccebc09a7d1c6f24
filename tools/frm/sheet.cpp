#include "tools/frm/sheet.h"

#include "tools/frm/programme.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace frm {

namespace {

using form_layout::kFullJet;
using form_layout::kValves;
using timeline::FormSpan;
using timeline::ShowTimeline;
using timeline::ValveSpan;

// Pages are drawn in tenths of a millimetre: A4 is 2100 by 2970 of them.
constexpr double kA4Short = 2100;
constexpr double kA4Long = 2970;
constexpr double kMargin = 100;
constexpr double kPngScale = 2.0 / 3; // the picture: 1980 by 1400 pixels
constexpr int kTickMs = Playback::kTickMs;

// Late arrivals are hatched in red and outlined in black, so that they stand
// out on a colour screen and on a black-and-white print alike.
const QColor kLateRed{200, 0, 0};
const QColor kTargetFill{214, 226, 238};
const QColor kTargetLine{90, 110, 135};
const QColor kGrid{170, 170, 170};
const QColor kShade{235, 235, 235};

// A sans-serif face with Cyrillic letters: DejaVu, which the package depends
// on, or Arial, which Windows has. size: in the page's units.
QFont font(double size, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(int(size));
    f.setBold(bold);
    return f;
}

QString fitted(const QFont &f, const QString &text, double width)
{
    return QFontMetricsF(f).elidedText(text, Qt::ElideRight, width);
}

// Seconds as a show clock: 9:05, or 1:02:05 past an hour.
QString clock(int seconds)
{
    if (seconds < 3600)
        return holdText(seconds / 60, seconds % 60);
    return QStringLiteral("%1:%2")
        .arg(seconds / 3600)
        .arg(holdText(seconds / 60 % 60, seconds % 60).rightJustified(5, u'0'));
}

QString formsText(int n)
{
    return n == 1 ? QStringLiteral("1 form") : QStringLiteral("%1 forms").arg(n);
}

QString title(const ShowTimeline &show, const SheetInfo &info)
{
    return QStringLiteral("%1 \u2014 %2, %3 per cycle")
        .arg(info.fileName, formsText(int(show.forms.size())), clock(show.totalSeconds));
}

QString cycleText(const ShowTimeline &show)
{
    QString text = show.codaSlot
                       ? QStringLiteral("Coda mark at form %1: form 1 follows form %2.")
                             .arg(*show.codaSlot + 1)
                             .arg(*show.codaSlot)
                       : QStringLiteral("No coda mark is reached: all 100 forms, then form 1.");
    text +=
        show.demoSeconds
            ? QStringLiteral(" Demo mode: form 1 for its hold time, the others %1 s each, "
                             "plus the sequencer's 1 s step.")
                  .arg(*show.demoSeconds)
            : QStringLiteral(" Each form is on for its hold time plus the sequencer's 1 s step.");
    return text;
}

QString footerDate(const SheetInfo &info)
{
    return info.modified.isValid()
               ? QLocale::c().toString(info.modified, QStringLiteral("yyyy-MM-dd HH:mm"))
               : QStringLiteral("standard input");
}

void drawFooter(QPainter &p, const QRectF &page, const SheetInfo &info, int pageNo, int pages)
{
    const QFont f = font(26);
    p.setFont(f);
    p.setPen(Qt::black);
    const QRectF band(page.left() + kMargin, page.bottom() - kMargin + 20,
                      page.width() - 2 * kMargin, 40);
    const double third = band.width() / 3;
    p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, fitted(f, info.fileName, third));
    p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter, footerDate(info));
    p.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("page %1 of %2").arg(pageNo).arg(pages));
}

// The stripes and outline that mark a late arrival.
void hatch(QPainter &p, const QPainterPath &path)
{
    p.save();
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawPath(path);
    QBrush stripes(kLateRed, Qt::BDiagPattern);
    // A pattern's lines are a pixel apart on the device: widen them on paper.
    stripes.setTransform(QTransform::fromScale(4, 4));
    p.setBrush(stripes);
    p.drawPath(path);
    p.restore();
}

// ---- the timeline ----

struct Plot
{
    QRectF area;
    int totalMs = 1;
    [[nodiscard]] double x(int ms) const { return area.left() + area.width() * ms / totalMs; }
};

struct Lane
{
    QRectF rect;
    [[nodiscard]] double y(int level) const
    {
        const double inner = rect.height() - 16;
        return rect.bottom() - 8 - inner * level / kFullJet;
    }
};

// A step of the time axis that gives at most about twelve marks.
int axisStep(int totalSeconds)
{
    for (int step : {5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 14400}) {
        if (totalSeconds / step <= 12)
            return step;
    }
    return 28800;
}

// Where the valve's gauge stands through one form: from its level at the
// start, one step per interval, straight to the target or to where it is
// when the next form starts.
QList<QPointF> travelPoints(const Plot &plot, const Lane &lane, const FormSpan &f,
                            const ValveSpan &s)
{
    const int start = f.start * kTickMs;
    const int end = f.end() * kTickMs;
    QList<QPointF> points{{plot.x(start), lane.y(s.from)}};
    if (s.arrivalMs && *s.arrivalMs > start)
        points << QPointF(plot.x(*s.arrivalMs), lane.y(s.target));
    points << QPointF(plot.x(end), lane.y(s.reached));
    return points;
}

void drawLane(QPainter &p, const Plot &plot, const Lane &lane, const ShowTimeline &show, int v)
{
    const bool moves = show.moves(v + 1);
    p.setPen(QPen(kGrid, 2));
    p.setBrush(moves ? QBrush(Qt::white) : QBrush(kShade));
    p.drawRect(lane.rect);

    // The forms' targets as steps, filled below.
    QPainterPath targets;
    targets.moveTo(plot.x(0), lane.y(0));
    for (const FormSpan &f : show.forms) {
        targets.lineTo(plot.x(f.start * kTickMs), lane.y(f.valves[v].target));
        targets.lineTo(plot.x(f.end() * kTickMs), lane.y(f.valves[v].target));
    }
    targets.lineTo(plot.x(plot.totalMs), lane.y(0));
    targets.closeSubpath();
    p.setPen(QPen(kTargetLine, 2));
    p.setBrush(kTargetFill);
    p.drawPath(targets);

    // Late arrivals: between where the gauge got to and where it was sent.
    for (const FormSpan &f : show.forms) {
        const ValveSpan &s = f.valves[v];
        if (!s.late())
            continue;
        QPainterPath gap;
        const QList<QPointF> points = travelPoints(plot, lane, f, s);
        gap.moveTo(points.front());
        for (const QPointF &pt : points)
            gap.lineTo(pt);
        gap.lineTo(plot.x(f.end() * kTickMs), lane.y(s.target));
        gap.lineTo(plot.x(f.start * kTickMs), lane.y(s.target));
        gap.closeSubpath();
        hatch(p, gap);
        // A mark on the lane's top edge where the next form starts too early.
        const double mx = plot.x(f.end() * kTickMs);
        const double my = lane.rect.top();
        QPainterPath mark;
        mark.moveTo(mx, my + 30);
        mark.lineTo(mx - 16, my);
        mark.lineTo(mx + 16, my);
        mark.closeSubpath();
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(kLateRed);
        p.drawPath(mark);
    }

    // The level the gauge really shows, over the targets.
    QPolygonF travel;
    for (const FormSpan &f : show.forms)
        travel << QPolygonF(travelPoints(plot, lane, f, f.valves[v]));
    p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(travel);
}

void drawLaneLabel(QPainter &p, const QRectF &r, const ShowTimeline &show, const SheetInfo &info,
                   int v)
{
    int late = 0;
    for (const FormSpan &f : show.forms)
        late += f.valves[v].late() ? 1 : 0;
    const QFont name = font(34, true);
    const QFont small = font(26);
    p.setPen(Qt::black);
    p.setFont(name);
    const QRectF text = r.adjusted(0, 6, -20, 0);
    p.drawText(
        text, Qt::AlignLeft | Qt::AlignTop,
        fitted(name, QStringLiteral("%1 %2").arg(v + 1).arg(info.valveNames[v]), text.width()));
    QStringList lines{QStringLiteral("travel %1 s").arg(show.travel[v])};
    if (!show.moves(v + 1))
        lines << QStringLiteral("does not move");
    if (late)
        lines << QStringLiteral("late %1\u00d7").arg(late);
    p.setFont(small);
    p.drawText(text.adjusted(0, 44, 0, 0), Qt::AlignLeft | Qt::AlignTop, lines.join(u'\n'));
}

void drawFormLabels(QPainter &p, const Plot &plot, const ShowTimeline &show, double top)
{
    const QFont f = font(24);
    const QFontMetricsF fm(f);
    p.setFont(f);
    p.setPen(Qt::black);
    // Two rows, so that short forms take turns: the number and name in the
    // form's own room, else in the second row, else the number alone.
    std::array<double, 2> freeFrom{plot.area.left(), plot.area.left()};
    for (const FormSpan &form : show.forms) {
        const double x = plot.x(form.start * kTickMs) + 4;
        const double room = plot.x(form.end() * kTickMs) - x;
        const QString full = QStringLiteral("%1 %2").arg(form.slot + 1).arg(form.name);
        const QString number = QString::number(form.slot + 1);
        const std::array<std::pair<int, QString>, 4> tries{
            {{0, fm.horizontalAdvance(full) <= room ? full : QString()},
             {1, full},
             {0, number},
             {1, number}}};
        for (const auto &[row, text] : tries) {
            if (text.isEmpty() || x < freeFrom[row])
                continue;
            p.drawText(QPointF(x, top + 30 + row * 34), text);
            freeFrom[row] = x + fm.horizontalAdvance(text) + 12;
            break;
        }
    }
}

void drawAxis(QPainter &p, const Plot &plot, int totalSeconds)
{
    const QFont f = font(26);
    p.setFont(f);
    const int step = axisStep(totalSeconds);
    for (int t = 0; t <= totalSeconds; t += step) {
        const double x = plot.x(t * kTickMs);
        p.setPen(QPen(kGrid, 2, Qt::DotLine));
        p.drawLine(QPointF(x, plot.area.top()), QPointF(x, plot.area.bottom() + 12));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 100, plot.area.bottom() + 14, 200, 36),
                   Qt::AlignHCenter | Qt::AlignTop, clock(t));
    }
}

void drawTimeline(QPainter &p, const QRectF &page, const ShowTimeline &show, const SheetInfo &info)
{
    const QFont big = font(48, true);
    const QFont small = font(28);
    p.setPen(Qt::black);
    p.setFont(big);
    const double width = page.width() - 2 * kMargin;
    p.drawText(QRectF(kMargin, kMargin, width, 64), Qt::AlignLeft | Qt::AlignVCenter,
               fitted(big, title(show, info), width));
    p.setFont(small);
    const QString late =
        show.lateCount() == 0
            ? QStringLiteral("Every valve reaches its level before the next form starts.")
            : QStringLiteral("Hatched, with a red mark: %1 times a valve is still travelling when "
                             "the next form starts.")
                  .arg(show.lateCount());
    p.drawText(QRectF(kMargin, kMargin + 70, width, 80), Qt::AlignLeft | Qt::AlignTop,
               cycleText(show) + u'\n' + late);

    constexpr double kLabelWidth = 420;
    const double labelsTop = kMargin + 160;
    Plot plot;
    plot.area = QRectF(kMargin + kLabelWidth, labelsTop + 80, width - kLabelWidth,
                       page.height() - kMargin - 80 - (labelsTop + 80) - 60);
    plot.totalMs = std::max(1, show.totalSeconds * kTickMs);
    drawFormLabels(p, plot, show, labelsTop);

    constexpr double kGap = 12;
    const double laneHeight = (plot.area.height() - kGap * (kValves - 1)) / kValves;
    for (int v = 0; v < kValves; ++v) {
        Lane lane{QRectF(plot.area.left(), plot.area.top() + v * (laneHeight + kGap),
                         plot.area.width(), laneHeight)};
        drawLane(p, plot, lane, show, v);
        drawLaneLabel(p, QRectF(kMargin, lane.rect.top(), kLabelWidth, laneHeight), show, info, v);
    }
    // Form boundaries across every lane, over the drawing.
    p.setPen(QPen(QColor(110, 110, 110), 2));
    for (const FormSpan &f : show.forms) {
        const double x = plot.x(f.start * kTickMs);
        p.drawLine(QPointF(x, labelsTop), QPointF(x, plot.area.bottom()));
    }
    drawAxis(p, plot, show.totalSeconds);
}

// ---- the table ----

constexpr double kRowHeight = 50;
constexpr double kTableTop = kMargin + 260; // below the title, the note and the header

int rowsPerPage()
{
    return int((kA4Long - kTableTop - kMargin - 40) / kRowHeight);
}

int tablePages(const ShowTimeline &show)
{
    return int((show.forms.size() + rowsPerPage() - 1) / rowsPerPage());
}

struct Columns
{
    std::array<double, 4 + kValves + 1> x{}; // left edges, and the right edge last
};

Columns columns()
{
    Columns c;
    const std::array<double, 4> fixed{110, 230, 150, 170}; // No., name, hold, start
    double x = kMargin;
    for (int i = 0; i < 4; ++i) {
        c.x[i] = x;
        x += fixed[i];
    }
    const double valve = (kA4Short - kMargin - x) / kValves;
    for (int v = 0; v <= kValves; ++v)
        c.x[4 + v] = x + v * valve;
    return c;
}

QString cellText(const ValveSpan &s)
{
    const QString target = QString::number(form_layout::percent(s.target));
    return s.late() ? QStringLiteral("%1 (%2)").arg(target).arg(form_layout::percent(s.reached))
                    : target;
}

void drawTablePage(QPainter &p, const QRectF &page, const ShowTimeline &show, const SheetInfo &info,
                   int tablePage)
{
    const double width = page.width() - 2 * kMargin;
    const QFont big = font(40, true);
    const QFont text = font(28);
    const QFont bold = font(28, true);
    p.setPen(Qt::black);
    p.setFont(big);
    p.drawText(QRectF(kMargin, kMargin, width, 56), Qt::AlignLeft | Qt::AlignVCenter,
               fitted(big, title(show, info), width));
    p.setFont(text);
    p.drawText(QRectF(kMargin, kMargin + 60, width, 80), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Levels in per cent of a full jet. 57 (31), hatched: set to 57 %, "
                              "but the valve reaches only 31 % before the next form starts.\n") +
                   cycleText(show));

    const Columns c = columns();
    const double headerTop = kTableTop - 2 * kRowHeight;
    p.setFont(bold);
    const QStringList heads{QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Hold"),
                            QStringLiteral("Start")};
    for (int i = 0; i < 4; ++i)
        p.drawText(QRectF(c.x[i] + 8, headerTop, c.x[i + 1] - c.x[i] - 16, 2 * kRowHeight),
                   Qt::AlignLeft | Qt::AlignBottom, heads[i]);
    for (int v = 0; v < kValves; ++v) {
        const QRectF cell(c.x[4 + v] + 6, headerTop, c.x[5 + v] - c.x[4 + v] - 12, 2 * kRowHeight);
        p.setFont(bold);
        p.drawText(cell, Qt::AlignRight | Qt::AlignTop, QString::number(v + 1));
        p.setFont(text);
        p.drawText(cell, Qt::AlignRight | Qt::AlignBottom,
                   fitted(text, info.valveNames[v], cell.width()));
    }
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPointF(kMargin, kTableTop), QPointF(c.x.back(), kTableTop));

    const int first = tablePage * rowsPerPage();
    const int last = std::min<int>(int(show.forms.size()), first + rowsPerPage());
    for (int i = first; i < last; ++i) {
        const FormSpan &f = show.forms[i];
        const double top = kTableTop + (i - first) * kRowHeight;
        if ((i - first) % 2 == 1) {
            p.fillRect(QRectF(kMargin, top, c.x.back() - kMargin, kRowHeight),
                       QColor(245, 245, 245));
        }
        p.setPen(Qt::black);
        p.setFont(text);
        const QStringList cells{QString::number(f.slot + 1), f.name,
                                holdText(f.hold.minutes, f.hold.seconds), clock(f.start)};
        for (int k = 0; k < 4; ++k)
            p.drawText(QRectF(c.x[k] + 8, top, c.x[k + 1] - c.x[k] - 16, kRowHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       fitted(text, cells[k], c.x[k + 1] - c.x[k] - 16));
        for (int v = 0; v < kValves; ++v) {
            const ValveSpan &s = f.valves[v];
            const QRectF cell(c.x[4 + v], top, c.x[5 + v] - c.x[4 + v], kRowHeight);
            if (s.late()) {
                QPainterPath box;
                box.addRect(cell.adjusted(4, 4, -4, -4));
                hatch(p, box);
                p.fillRect(cell.adjusted(12, 10, -12, -10), Qt::white);
            }
            p.setPen(Qt::black);
            p.setFont(s.late() ? bold : text);
            p.drawText(cell.adjusted(6, 0, -16, 0), Qt::AlignRight | Qt::AlignVCenter, cellText(s));
        }
    }
    p.setPen(QPen(kGrid, 2));
    const double bottom = kTableTop + (last - first) * kRowHeight;
    for (double x : c.x)
        p.drawLine(QPointF(x, kTableTop), QPointF(x, bottom));
    p.drawLine(QPointF(kMargin, bottom), QPointF(c.x.back(), bottom));
    drawFooter(p, page, info, tablePage + 2, sheetPages(show));
}

} // namespace

QByteArray sheetPng(const ShowTimeline &show, const SheetInfo &info)
{
    QImage image(int(kA4Long * kPngScale), int(kA4Short * kPngScale), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(kPngScale, kPngScale);
        drawTimeline(p, QRectF(0, 0, kA4Long, kA4Short), show, info);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray sheetPdf(const ShowTimeline &show, const SheetInfo &info)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(254); // one device unit is a tenth of a millimetre
        pdf.setCreator(QStringLiteral("fountain-frm"));
        pdf.setTitle(title(show, info));
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter p(&pdf);
        drawTimeline(p, QRectF(0, 0, kA4Long, kA4Short), show, info);
        drawFooter(p, QRectF(0, 0, kA4Long, kA4Short), info, 1, sheetPages(show));
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        for (int page = 0; page < tablePages(show); ++page) {
            pdf.newPage();
            drawTablePage(p, QRectF(0, 0, kA4Short, kA4Long), show, info, page);
        }
    }
    return bytes;
}

int sheetPages(const ShowTimeline &show)
{
    return 1 + tablePages(show);
}

} // namespace frm
