// Fuzzes the settings file reader and writer on arbitrary file contents.
// Besides crashes and sanitizer reports it checks three properties:
// - a value read is the default or at most 2047 characters long;
// - a key written reads back as written (line breaks flattened to blanks);
// - writing one key changes no other key's value.
#include "core/cp1251.h"
#include "core/profile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Key
{
    const char *section;
    const char *key;
};

constexpr std::array<Key, 10> kKeys = {{{"Zadvizki", "Name_1"},
                                        {"Zadvizki", "Name_2"},
                                        {"Zadvizki", "Name_3"},
                                        {"Zadvizki", "Name_4"},
                                        {"Zadvizki", "Name_5"},
                                        {"Zadvizki", "Name_6"},
                                        {"Zadvizki", "Name_7"},
                                        {"Zadvizki", "Name_8"},
                                        {"Options", "NameFileForm"},
                                        {"options", "COMPORT"}}};

const QString kDefault = QStringLiteral("\x01"
                                        "default"
                                        "\x01");

QString read(const QByteArray &contents, const Key &k)
{
    return ProfileFile::valueIn(contents, QLatin1String(k.section), QLatin1String(k.key), kDefault);
}

[[noreturn]] void failed(const char *what, const Key &k)
{
    std::fprintf(stderr, "property broken: %s [%s] %s\n", what, k.section, k.key);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray contents(reinterpret_cast<const char *>(data), qsizetype(size));

    std::array<QString, kKeys.size()> before;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        before[i] = read(contents, kKeys[i]);
        if (before[i] != kDefault && before[i].size() > ProfileFile::kMaxValueLength)
            failed("value too long", kKeys[i]);
    }
    if (size == 0)
        return 0;

    // The last byte picks the key and the length of the value (up to 3000
    // characters, past the reading limit), taken from the
    // bytes before it.
    const std::uint8_t last = data[size - 1];
    const std::size_t which = last % kKeys.size();
    const qsizetype length = std::min<qsizetype>(qsizetype(size) - 1, (last / kKeys.size()) * 120);
    const QString value =
        cp1251::decode(QByteArrayView(contents).sliced(qsizetype(size) - 1 - length, length));

    const Key &target = kKeys[which];
    const QByteArray after = ProfileFile::withValue(contents, QLatin1String(target.section),
                                                    QLatin1String(target.key), value);
    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    if (read(after, target) != expected.left(ProfileFile::kMaxValueLength))
        failed("written value does not read back", target);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const bool same = qstricmp(kKeys[i].section, target.section) == 0 &&
                          qstricmp(kKeys[i].key, target.key) == 0;
        if (!same && read(after, kKeys[i]) != before[i])
            failed("another key changed", kKeys[i]);
    }
    return 0;
}
