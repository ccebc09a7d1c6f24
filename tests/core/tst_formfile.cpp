// The form file read and written on disk, with the failures of it and of the
// settings file: refused names, short and long files, full disks, open
// files held elsewhere.
#include "core/errors.h"
#include "core/form_file.h"
#include "core/form_store.h"
#include "core/profile.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

// Bytes that differ from one offset to the next, so a shifted or mixed image shows.
QByteArray pattern(int size, int seed = 0)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 256 + seed) & 0xFF);
    return b;
}

#ifdef Q_OS_UNIX
// Lowers one resource limit of this process for as long as it lives.
class LowerLimit
{
  public:
    LowerLimit(decltype(RLIMIT_NOFILE) resource, rlim_t value) : m_resource(resource)
    {
        ::getrlimit(m_resource, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = value;
        ::setrlimit(m_resource, &limit);
    }
    ~LowerLimit() { ::setrlimit(m_resource, &m_old); }

  private:
    decltype(RLIMIT_NOFILE) m_resource;
    rlimit m_old{};
};
#endif

// The message of the error a form file operation raised, "" when it succeeded.
template <typename Op> QString ioError(Op op)
{
    try {
        op();
        return {};
    } catch (const EInOutError &e) {
        return e.message();
    }
}

} // namespace

class TestFormFile : public QObject
{
    Q_OBJECT

  private slots:
#ifdef Q_OS_UNIX
    // Writes past the file size limit then fail as on a full disk.
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);
    }
#endif

    void formFileReadAndWrite_data()
    {
        // Under a fresh folder holding the files 0.frm, 8191.frm, 8192.frm,
        // 8193.frm and 9000.frm of that many bytes, a sparse big.frm of 1 GiB, a
        // read-only ro.frm, folder.frm/, and (not on Windows) pipe.frm and the
        // links loop.frm and loop2.frm leading to each other.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("readError");
        QTest::addColumn<QString>("writeError");
        const auto row = [](const char *name, const char *file, const char *read,
                            const char *write) { QTest::newRow(name) << file << read << write; };
        const char *denied = "File access denied", *invalid = "Invalid filename";
        row("0 bytes", "0.frm", "Read beyond end of file", "");
        row("8191 bytes", "8191.frm", "Read beyond end of file", "");
        row("8192 bytes", "8192.frm", "", "");
        // Once its first 8192 bytes were read, and a Save cut the file down.
        row("8193 bytes", "8193.frm", "Not a form file", "");
        row("9000 bytes", "9000.frm", "Not a form file", "");
        row("1 GiB", "big.frm", "Not a form file", "");
#ifdef Q_OS_UNIX
        row("a link loop", "loop.frm", invalid, invalid);
#endif
        row("missing file", "none.frm", "File not found", "");
        row("missing folder", "nofolder/a.frm", invalid, invalid);
        row("under a file", "8192.frm/a.frm", invalid, invalid);
        row("empty name", "", invalid, invalid);
        row("a directory", "folder.frm", denied, denied);
        // Opens, but is refused by its permissions even for the superuser;
        // on Windows it has the read-only attribute.
        row("read-only", "ro.frm", "", denied);
#ifdef Q_OS_WIN
        // A name Windows refuses only when the file is made.
        row("character Windows refuses", "a|b.frm", "File not found", invalid);
#endif
#ifdef Q_OS_LINUX
        row("a pipe", "pipe.frm", denied, denied);
        // A regular file the kernel reports as empty: read to its real end.
        row("proc entry", "/proc/self/status", "Read beyond end of file", denied);
#endif
    }
    void formFileReadAndWrite()
    {
        QFETCH(QString, name);
        QFETCH(QString, readError);
        QFETCH(QString, writeError);
        QTemporaryDir dir;
        const QDir d(dir.path());
        for (int size : {0, 8191, 8192, 8193, 9000})
            writeFile(d.filePath(QStringLiteral("%1.frm").arg(size)), pattern(size, size));
        QFile big(d.filePath(QStringLiteral("big.frm")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 30));
        big.close();
#ifdef Q_OS_UNIX
        // Windows has no symbolic links for a program to make; QFile::link
        // makes shortcut files there.
        QVERIFY(QFile::link(QStringLiteral("loop2.frm"), d.filePath(QStringLiteral("loop.frm"))));
        QVERIFY(QFile::link(QStringLiteral("loop.frm"), d.filePath(QStringLiteral("loop2.frm"))));
#endif
        writeFile(d.filePath("ro.frm"), pattern(8192, 1));
        QVERIFY(QFile::setPermissions(d.filePath("ro.frm"), QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(d.mkdir(QStringLiteral("folder.frm")));
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(d.filePath(QStringLiteral("pipe.frm"))), 0644), 0);
#endif
        // Every regular file of the folder with its bytes (the big one with its
        // size); the pipe is never opened.
        const auto snapshot = [&d] {
            QMap<QString, QByteArray> m;
            for (const QFileInfo &f : d.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
                m[f.fileName()] = f.fileName() == QStringLiteral("pipe.frm") ? QByteArray()
                                  : f.size() > (1 << 20) ? QByteArray::number(f.size())
                                                         : readFile(f.filePath());
            }
            return m;
        };
        QMap<QString, QByteArray> expected = snapshot();
        const QString path = name.isEmpty() || name.startsWith(u'/') ? name : d.filePath(name);

        QByteArray image;
        QCOMPARE(ioError([&] { image = formfile::read(path); }), readError);
        if (readError.isEmpty())
            QCOMPARE(image, expected.value(name).left(form_layout::kImageSize));
        const QByteArray written = pattern(8192, 99);
        QCOMPARE(ioError([&] { formfile::write(path, written); }), writeError);
        // The file is replaced whole or not at all; nothing else changes and
        // nothing is left behind.
        if (writeError.isEmpty())
            expected[name] = written;
        QCOMPARE(snapshot(), expected);
    }

#ifdef Q_OS_WIN
    // A form file another program holds open without sharing (a spreadsheet,
    // a backup program): the operator sees the same message as for a file
    // he may not use, and the file is left as it was.
    void formFileHeldByAnotherProgram()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        writeFile(name, pattern(8192));
        const HANDLE held =
            CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(name).utf16()),
                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        QVERIFY(held != INVALID_HANDLE_VALUE);
        const QString readError = ioError([&] { (void)formfile::read(name); });
        const QString writeError = ioError([&] { formfile::write(name, pattern(8192, 5)); });
        CloseHandle(held);
        QCOMPARE(readError, QStringLiteral("File access denied"));
        QCOMPARE(writeError, QStringLiteral("File access denied"));
        QCOMPARE(readFile(name), pattern(8192));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.frm")});
    }
#else
    // Windows has no per-process limit of open files to lower.
    void formFileTooManyOpenFiles()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        writeFile(name, pattern(8192));
        QString error;
        {
            LowerLimit limit(RLIMIT_NOFILE, 3); // stdin, stdout, stderr and nothing more
            error = ioError([&] { (void)formfile::read(name); });
        }
        QCOMPARE(error, QStringLiteral("Too many open files"));
    }
#endif

    // A save that fails only when the bytes reach the disk, or when the new
    // file is put in place, leaves the old file whole and nothing beside it,
    // and says why as the system told it.
    void formFileSaveFailingLate_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, SaveStage stage, int error, const char *message) {
            QTest::newRow(name) << int(stage) << error << QString::fromLatin1(message);
        };
        row("flush, disk full", SaveStage::Flush, kSystemDiskFull, "Disk full");
        row("flush, no reason", SaveStage::Flush, 0, "Disk full");
        row("commit, no reason", SaveStage::Commit, 0, "Disk full");
#ifdef Q_OS_WIN
        // The system's own number, as Windows gives it.
        row("commit, device error", SaveStage::Commit, kSystemDeviceError, "I/O error 23");
#else
        row("commit, device error", SaveStage::Commit, kSystemDeviceError, "I/O error 29");
#endif
    }
    void formFileSaveFailingLate()
    {
        QFETCH(int, stage);
        QFETCH(int, systemError);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString frm = dir.filePath(QStringLiteral("p.frm"));
        writeFile(frm, pattern(8192));
        QCOMPARE(ioError([&] {
                     formfile::write(frm, pattern(8192, 3),
                                     failingSave(SaveStage(stage), systemError));
                 }),
                 message);
        QCOMPARE(readFile(frm), pattern(8192));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.frm")});
    }

    // A write that fails, even half way as on a full disk, leaves the previous
    // form file and settings file whole and nothing beside them.
    void failedWritesKeepTheOldFiles()
    {
        QTemporaryDir dir;
        const QString frm = dir.filePath(QStringLiteral("p.frm"));
        const QString ini = dir.filePath(QStringLiteral("Fonvira.ini"));
        const QByteArray before = "[Zadvizki]\nName_1=a\n" + QByteArray(5000, ';') + '\n';
        writeFile(frm, pattern(8192));
        writeFile(ini, before);
#ifdef Q_OS_UNIX
        // Windows has no file size limit to lower, and no full disk to borrow.
        {
            LowerLimit limit(RLIMIT_FSIZE, 4096);
            QCOMPARE(ioError([&] { formfile::write(frm, QByteArray(8192, '\x01')); }),
                     QStringLiteral("Disk full"));
            QVERIFY_THROWS_EXCEPTION(ESettingsWriteError,
                                     ProfileFile(ini).writeString(kZ, "Name_1", "b"));
        }
#endif
        // A settings file that cannot be written at all. A read-only one was
        // replaced by a writable one when the superuser saved.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir.ini")));
        const QString readOnly = dir.filePath(QStringLiteral("ro.ini"));
        writeFile(readOnly, before);
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther));
        QStringList unwritable{dir.filePath("dir.ini"), dir.filePath("p.frm/Fonvira.ini"),
                               readOnly};
#ifdef Q_OS_LINUX
        unwritable << QStringLiteral("/proc/self/Fonvira.ini");
#endif
        for (const QString &path : unwritable) {
            try {
                ProfileFile(path).writeString(kZ, "Name_1", "b");
                QFAIL(qPrintable("the write did not fail: " + path));
            } catch (const ESettingsWriteError &e) {
                QCOMPARE(e.message(),
                         QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
            }
        }
        QCOMPARE(readFile(frm), pattern(8192));
        QCOMPARE(readFile(ini), before);
        QCOMPARE(readFile(readOnly), before);
        QCOMPARE(QFile::permissions(readOnly) & QFile::WriteOwner, QFile::Permissions());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("Fonvira.ini"), QStringLiteral("p.frm"),
                              QStringLiteral("ro.ini")}));
    }
};

QTEST_GUILESS_MAIN(TestFormFile)
#include "tst_formfile.moc"
