#include "core/settings.h"

#include "core/settings_location.h"

#include <QUrl>

#include <limits>

using form_layout::kValves;

namespace {

// No value can hold a line break: it stands for a key that is missing.
const QString kMissing = QStringLiteral("\n");

QString escaped(const QString &fileName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName, "/"));
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Only "%" and two hex digits is a byte: any other "%" stands for itself, as
// in a name written in by hand ("/shows/100%.frm").
QString unescaped(const QString &value)
{
    const QByteArray in = value.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int high = in[i] == '%' && i + 2 < in.size() ? hexDigit(in[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(in[i + 2]) : -1;
        if (low >= 0) {
            out.append(char(high * 16 + low));
            i += 2;
        } else {
            out.append(in[i]);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

FountainSettings FountainSettings::atDefaultLocation()
{
    return FountainSettings(
        ProfileFile(settings_location::settingsFile(), settings_location::legacySettingsFile()));
}

FountainSettings::ValveNames FountainSettings::valveNames() const
{
    ValveNames names;
    for (int v = 1; v <= kValves; ++v)
        names[std::size_t(v - 1)] =
            m_profile.readString(kSectionValves, valveKey(v), defaultValveName(v));
    return names;
}

void FountainSettings::saveValveNames(const ValveNames &names)
{
    ProfileFile::KeyValues values;
    for (int v = 1; v <= kValves; ++v)
        values.append({valveKey(v), names[std::size_t(v - 1)]});
    m_profile.writeStrings(kSectionValves, values);
}

QString FountainSettings::lastFormFile() const
{
    QString plain = m_profile.readString(kSectionOptions, kKeyLastFile, kMissing);
    if (!plain.isEmpty() && plain != kMissing)
        return plain;
    // An escaped name has no length limit of its own.
    const QString escapedName = m_profile.readString(
        kSectionOptions, kKeyLastFileEscaped, QString(), std::numeric_limits<qsizetype>::max());
    if (!escapedName.isEmpty())
        return unescaped(escapedName);
    return plain == kMissing ? kDefaultLastFile : plain;
}

void FountainSettings::saveLastFormFile(const QString &fileName)
{
    const QByteArray line = ProfileFile::withValue({}, kSectionOptions, kKeyLastFile, fileName);
    if (ProfileFile::valueIn(line, kSectionOptions, kKeyLastFile, QString()) == fileName) {
        ProfileFile::KeyValues values{{kKeyLastFile, fileName}};
        // An escaped name left from before would only confuse a reader. (One
        // another editor writes between this read and the rewrite does no
        // harm: a plain name is read first.)
        if (!m_profile.readString(kSectionOptions, kKeyLastFileEscaped, QString()).isEmpty())
            values.append({kKeyLastFileEscaped, QString()});
        m_profile.writeStrings(kSectionOptions, values);
        return;
    }
    const bool escapable = unescaped(escaped(fileName)) == fileName;
    // Both in one rewrite: NameFileForm is emptied exactly when the escaped
    // name is written, even with another editor saving at the same time.
    m_profile.writeStrings(kSectionOptions,
                           {{kKeyLastFileEscaped, escapable ? escaped(fileName) : QString()},
                            {kKeyLastFile, QString()}});
}
