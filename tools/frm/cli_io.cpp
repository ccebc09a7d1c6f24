#include "tools/frm/cli_io.h"

#include "store/form_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace frm {

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void printErr(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

// The file's bytes, reading no more than limit of them; size is the whole
// file's size where it is known.
std::optional<QByteArray> readBytes(const QString &path, qint64 limit, qint64 *size)
{
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n")
                     .arg(path, QFileInfo(path).isDir() ? QStringLiteral("is a folder")
                                                        : f.errorString()));
        return std::nullopt;
    }
    QByteArray bytes = f.read(limit);
    if (f.error() != QFile::NoError) {
        printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n").arg(path, f.errorString()));
        return std::nullopt;
    }
    if (size)
        *size = f.isSequential() ? bytes.size() : f.size();
    return bytes;
}

// A form file to show, export or compare: exactly 8192 bytes.
std::optional<QByteArray> readFormFile(const QString &path)
{
    qint64 size = 0;
    std::optional<QByteArray> bytes = readBytes(path, FormStore::kSize + 1, &size);
    if (bytes && size != FormStore::kSize) {
        printErr(
            QStringLiteral(
                "fountain-frm: %1 is not a form file: %2 bytes, a form file has exactly 8192\n")
                .arg(path)
                .arg(size));
        return std::nullopt;
    }
    return bytes;
}

// Replaces path only once every byte is written.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() ||
        !f.commit()) {
        printErr(QStringLiteral("fountain-frm: cannot write %1: %2\n").arg(path, f.errorString()));
        f.cancelWriting();
        return false;
    }
    return true;
}

} // namespace frm
