// The form store's encoding, Windows-1251 text, the error texts, and the form
// file, with failed writes of it and of the settings file.
#include "store/cp1251.h"
#include "store/errors.h"
#include "store/form_file.h"
#include "store/form_store.h"
#include "store/profile.h"
#include "tests/test_support.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

class TestStore : public QObject
{
    Q_OBJECT

    // A private store per test, so no test depends on another's leftovers.
    std::unique_ptr<FormStore> m_store;
    FormStore &store() { return *m_store; }

  private slots:
#ifdef Q_OS_UNIX
    // Writes past the file size limit then fail as on a full disk.
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);
    }
#endif
    void init()
    {
        m_store = std::make_unique<FormStore>();
    }

    void clearedStoreReadsAsCodaEverywhere()
    {
        store().set(77, 9);
        store().ClearStore();
        for (int slot = 0; slot < FormStore::kSlots; ++slot)
            QVERIFY(store().ReadForm(slot) == FountainForm{} && store().ReadForm(slot).isCoda());
        QCOMPARE(store().image(), QByteArray(FormStore::kSize, '\0'));
    }

    void writeFormPutsEveryFieldAtItsOffset()
    {
        for (int slot : {0, 99, 127}) {
            QCOMPARE(store().UstAdrBufer(slot).level, slot);
            QCOMPARE(store().UstAdrBufer(slot).name, 128 + slot);
            FountainForm f;
            f.levels = {255, 1, 2, 3, 4, 5, 6, 0};
            f.name = QStringLiteral("Ёлкая");
            f.holdMin = 2;
            f.holdSek = 59;
            store().WriteForm(slot, f);
            QCOMPARE(store().at(slot), 255);               // valve 1, bar at the top
            QCOMPARE(store().at(slot + 256), 1);           // valve 2
            QCOMPARE(store().at(slot + 1792), 0);          // valve 8, bar at the bottom
            QCOMPARE(store().at(slot + 128), 5);           // name length
            QCOMPARE(store().at(slot + 128 + 256), 0xA8);  // Ё
            QCOMPARE(store().at(slot + 128 + 1280), 0xFF); // fifth character я
            QCOMPARE(store().at(slot + 128 + 1536), 2);    // hold minutes
            QCOMPARE(store().at(slot + 128 + 1792), 59);   // hold seconds
            QCOMPARE(store().ReadForm(slot), f);
        }
    }

    void nameLength()
    {
        FountainForm f;
        f.name = QStringLiteral("Фонтан"); // six characters, as the name box allows
        store().WriteForm(3, f);
        QCOMPARE(store().at(128 + 3), 5);
        QCOMPARE(store().ReadForm(3).name, QStringLiteral("Фонта"));
        // A length byte above five reads five characters.
        f.name = QStringLiteral("abcde");
        store().WriteForm(4, f);
        store().set(128 + 4, 9);
        QCOMPARE(store().ReadForm(4).name, QStringLiteral("abcde"));
        // A shorter name over a longer one reads only its own length.
        store().WriteForm(5, f);
        f.name = QStringLiteral("xy");
        store().WriteForm(5, f);
        QCOMPARE(store().ReadForm(5).name, QStringLiteral("xy"));
    }

    void markCodaTouchesOnlyTheHoldBytes()
    {
        FountainForm f;
        f.levels = {10, 20, 30, 40, 50, 60, 70, 80};
        f.name = QStringLiteral("coda");
        f.holdMin = 1;
        f.holdSek = 30;
        store().WriteForm(6, f);
        QByteArray expected = store().image();
        expected[128 + 6 + 6 * 256] = 0;
        expected[128 + 6 + 7 * 256] = 0;
        store().MarkCoda(6);
        QCOMPARE(store().image(), expected);
        QVERIFY(store().ReadForm(6).isCoda());
    }

    void travelTimeBytes()
    {
        store().writeTravelTimes({7, 20, 30, 40, 50, 60, 70, 255});
        QCOMPARE(store().at(6271), 7);   // valve 1
        QCOMPARE(store().at(6527), 20);  // valve 2
        QCOMPARE(store().at(8063), 255); // valve 8
        QCOMPARE(store().ReadZadv(), (std::array<std::uint8_t, 8>{7, 20, 30, 40, 50, 60, 70, 255}));
        for (int slot = 0; slot < FormStore::kSlots; ++slot) // no form slot meets them
            QCOMPARE(store().ReadForm(slot), FountainForm{});
    }

    void replaceImageTakesExactlyTheStoreSize()
    {
        store().set(10, 1);
        QVERIFY(!store().replaceImage(QByteArray(8191, '\x01')));
        QVERIFY(!store().replaceImage(QByteArray(9000, '\x01')));
        QCOMPARE(store().image(), QByteArray(10, '\0') + '\x01' + QByteArray(8181, '\0'));
        QVERIFY(store().replaceImage(QByteArray(8192, '\x03')));
        QCOMPARE(store().bank0Image(), QByteArray(2048, '\x03'));
    }

    void cp1251RoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Name 1") << QByteArray("Name 1");
        QTest::newRow("yo") << QStringLiteral("ёЁ") << QByteArray("\xB8\xA8");
        QTest::newRow("ya") << QStringLiteral("я") << QByteArray("\xFF");
        QTest::newRow("A") << QStringLiteral("Аа") << QByteArray("\xC0\xE0");
        QTest::newRow("symbols") << QStringLiteral("№€—«»") << QByteArray("\xB9\x88\x97\xAB\xBB");
    }
    void cp1251RoundTrips()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp1251::encode(text), bytes);
        QCOMPARE(cp1251::decode(bytes), text);
    }

    void cp1251EveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(cp1251::encode(cp1251::decode(all)), all);
        QStringDecoder qt("windows-1251");
        for (int b = 0; qt.isValid() && b < 256; ++b) {
            if (b != 0x98) // no character in the code page
                QCOMPARE(cp1251::decode(all.mid(b, 1)), qt.decode(all.mid(b, 1)));
        }
        // A character the code page cannot hold becomes '?'.
        QCOMPARE(cp1251::encode(QString::fromUtf8("aΩ中b\xF0\x9F\x98\x80")), QByteArray("a??b?"));
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QString &message, const QString &shown) {
            QTest::newRow(name) << message << shown;
        };
        row("letter", "File not found", "File not found.");
        row("cyrillic", QStringLiteral("Ошибка"), QStringLiteral("Ошибка."));
        row("digit", EInOutError(32).message(), "I/O error 32.");
        row("full stop", "Done.", "Done.");
        row("exclamation", "Stop !", "Stop !");
        row("blank", "Error writing port ", "Error writing port ");
        row("slash", "a/", "a/.");
        row("comma", "a,", "a,");
        row("empty", "", "");
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    // ---- the form file ----

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
            QCOMPARE(image, expected.value(name).left(formfile::kFileSize));
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
                QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
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

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
