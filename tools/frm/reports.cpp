// The show table, the check rules and the diff lines.
#include "tools/frm/reports.h"

#include "tools/frm/programme.h"

namespace frm {

namespace {

// A name character that would upset a terminal shows as the replacement character.
QString displayName(const QByteArray &name)
{
    QString text = nameText(name);
    for (QChar &c : text) {
        if (!c.isPrint())
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString seconds(int s)
{
    return QStringLiteral("%1 s").arg(s);
}

QString travelLine(int valve, int t)
{
    QString line = QStringLiteral("  valve %1  %2  %3")
                       .arg(valve + 1)
                       .arg(seconds(t), 5)
                       .arg(holdText(t / 60, t % 60), 4);
    if (t < kMinTravel)
        line += QStringLiteral("  (below %1: the editor uses %1 s)").arg(kMinTravel);
    return line;
}

} // namespace

QString showText(const QByteArray &image)
{
    const int coda = codaSlot(image);
    const int last = coda >= 0 ? coda : kForms - 1;
    QString out = QStringLiteral("form  name  ");
    for (int v = 1; v <= kValves; ++v)
        out += QStringLiteral(" jet%1").arg(v);
    out += QStringLiteral("  hold\n");
    for (int slot = 0; slot <= last; ++slot) {
        const Form f = readForm(image, slot);
        QString line = QStringLiteral("%1  %2 ").arg(slot + 1, 4).arg(displayName(f.name), -5);
        for (const std::uint8_t level : f.levels)
            line += QStringLiteral(" %1%").arg(percent(level), 3);
        line += QStringLiteral("  %1").arg(holdText(f.holdMin, f.holdSec), 4);
        if (slot == coda)
            line += QStringLiteral("  coda");
        out += line + u'\n';
    }
    out += QStringLiteral("Jet levels in per cent of a full jet.\n");
    if (coda >= 0)
        out += QStringLiteral(
                   "Coda mark at form %1: the programme ends there and starts again at form 1.\n")
                   .arg(coda + 1);
    else
        out += QStringLiteral("No coda mark in forms 1..%1: the programme has no end mark.\n")
                   .arg(kForms);
    out += QStringLiteral("\nTravel time of each valve, closed to open:\n");
    const auto travel = travelTimes(image);
    for (int v = 0; v < kValves; ++v)
        out += travelLine(v, travel[v]) + u'\n';
    return out;
}

QString sizeProblem(const QString &size)
{
    return QStringLiteral("size is %1 bytes; a form file has exactly %2").arg(size).arg(kImageSize);
}

QStringList checkProblems(const QByteArray &bytes)
{
    if (bytes.size() != kImageSize)
        return {sizeProblem(QString::number(bytes.size()))};
    QStringList problems;
    const int coda = codaSlot(bytes);
    if (coda < 0)
        problems
            << QStringLiteral("no coda mark in forms 1..%1: the programme has no end").arg(kForms);
    const int last = coda >= 0 ? coda : kForms - 1;
    for (int slot = 0; slot <= last; ++slot) {
        const Form f = readForm(bytes, slot);
        if (f.holdMin > kMaxHold)
            problems << QStringLiteral("form %1: hold minutes %2 above %3")
                            .arg(slot + 1)
                            .arg(f.holdMin)
                            .arg(kMaxHold);
        if (f.holdSec > kMaxHold)
            problems << QStringLiteral("form %1: hold seconds %2 above %3")
                            .arg(slot + 1)
                            .arg(f.holdSec)
                            .arg(kMaxHold);
        if (f.lengthByte >= 0)
            problems << QStringLiteral("form %1: name length byte %2 above %3")
                            .arg(slot + 1)
                            .arg(f.lengthByte)
                            .arg(kMaxNameLength);
    }
    const auto travel = travelTimes(bytes);
    for (int v = 0; v < kValves; ++v) {
        if (travel[v] < kMinTravel)
            problems << QStringLiteral("valve %1: travel time %2 s outside %3..%4")
                            .arg(v + 1)
                            .arg(travel[v])
                            .arg(kMinTravel)
                            .arg(kMaxTravel);
    }
    return problems;
}

QStringList diffLines(const QByteArray &a, const QByteArray &b)
{
    if (a == b)
        return {};
    QStringList lines;
    const auto where = [](int slot) {
        return slot < 0 ? QStringLiteral("none") : QStringLiteral("form %1").arg(slot + 1);
    };
    if (codaSlot(a) != codaSlot(b))
        lines << QStringLiteral("coda mark: %1 → %2").arg(where(codaSlot(a)), where(codaSlot(b)));
    // Bytes that differ where the editor shows nothing: outside the fields,
    // and in name bytes when the names read the same.
    int hidden = 0;
    for (int i = 0; i < kImageSize; ++i)
        hidden += !isReadable(i) && a[i] != b[i];
    for (int slot = 0; slot < kForms; ++slot) {
        const Form fa = readForm(a, slot);
        const Form fb = readForm(b, slot);
        const QString form = QStringLiteral("form %1").arg(slot + 1);
        if (fa.name != fb.name) {
            lines << QStringLiteral("%1 name: \"%2\" → \"%3\"")
                         .arg(form, displayName(fa.name), displayName(fb.name));
        } else {
            using namespace form_layout;
            const int name = nameIndex(levelIndex(kFormBank, slot));
            for (int plane = kNameLengthPlane; plane <= nameCharPlane(kMaxNameLength); ++plane) {
                const int at = detailByte(name, plane);
                hidden += a[at] != b[at];
            }
        }
        for (int v = 0; v < kValves; ++v) {
            if (fa.levels[v] != fb.levels[v])
                lines << QStringLiteral("%1 jet %2: %3 (%4%) → %5 (%6%)")
                             .arg(form)
                             .arg(v + 1)
                             .arg(fa.levels[v])
                             .arg(percent(fa.levels[v]))
                             .arg(fb.levels[v])
                             .arg(percent(fb.levels[v]));
        }
        if (fa.holdMin != fb.holdMin || fa.holdSec != fb.holdSec)
            lines << QStringLiteral("%1 hold: %2 → %3")
                         .arg(form, holdText(fa.holdMin, fa.holdSec),
                              holdText(fb.holdMin, fb.holdSec));
    }
    const auto ta = travelTimes(a);
    const auto tb = travelTimes(b);
    for (int v = 0; v < kValves; ++v) {
        if (ta[v] != tb[v])
            lines << QStringLiteral("valve %1 travel time: %2 → %3")
                         .arg(v + 1)
                         .arg(seconds(ta[v]), seconds(tb[v]));
    }
    lines << (hidden ? QStringLiteral("bytes the editor does not show: %1 differ").arg(hidden)
                     : QStringLiteral("bytes the editor does not show: the same"));
    return lines;
}

} // namespace frm
