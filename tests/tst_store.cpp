// The form store's encoding, Windows-1251 text, the error texts, the form file
// and the settings file.
#include "app/app_error.h"
#include "store/cp1251.h"
#include "store/form_file.h"
#include "store/form_store.h"
#include "store/profile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Bytes that differ from one offset to the next, so a shifted or mixed image shows.
QByteArray pattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 256) & 0xFF);
    return b;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Lets no file of this process grow beyond the limit: writes past it fail as
// on a full disk, whoever runs the test.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

int readCode(const QString &name, QByteArray *image = nullptr)
{
    try {
        const QByteArray bytes = formfile::read(name);
        if (image)
            *image = bytes;
        return 0;
    } catch (const EInOutError &e) {
        return e.code();
    }
}

int writeCode(const QString &name, const QByteArray &image)
{
    try {
        formfile::write(name, image);
        return 0;
    } catch (const EInOutError &e) {
        return e.code();
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
    void init() { m_store = std::make_unique<FormStore>(); }

    void clearedStoreReadsAsCodaEverywhere()
    {
        store().set(77, 9);
        store().ClearStore();
        for (int slot = 0; slot < FormStore::kSlots; ++slot) {
            const FountainForm f = store().ReadForm(slot);
            QCOMPARE(f, FountainForm{});
            QVERIFY(f.isCoda());
        }
        QCOMPARE(store().image(), QByteArray(FormStore::kSize, '\0'));
    }

    void slotAddresses_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("name");
        QTest::newRow("slot 0") << 0 << 0 << 128;
        QTest::newRow("slot 99") << 99 << 99 << 227;
        QTest::newRow("slot 127") << 127 << 127 << 255;
    }
    void slotAddresses()
    {
        QFETCH(int, slot);
        QFETCH(int, level);
        QFETCH(int, name);
        const SlotAddress a = store().UstAdrBufer(slot);
        QCOMPARE(a.level, level);
        QCOMPARE(a.name, name);
    }

    void writeFormPutsEveryFieldAtItsIndex()
    {
        FountainForm f;
        f.levels = {255, 1, 2, 3, 4, 5, 6, 0};
        f.name = QStringLiteral("Ёлкая");
        f.holdMin = 2;
        f.holdSek = 59;
        store().WriteForm(0, f);
        QCOMPARE(store().at(0), 255);     // valve 1, bar at the top
        QCOMPARE(store().at(256), 1);     // valve 2
        QCOMPARE(store().at(1792), 0);    // valve 8, bar at the bottom
        QCOMPARE(store().at(128), 5);     // name length
        QCOMPARE(store().at(384), 0xA8);  // Ё
        QCOMPARE(store().at(1408), 0xFF); // fifth character я
        QCOMPARE(store().at(1664), 2);    // hold minutes
        QCOMPARE(store().at(1920), 59);   // hold seconds
        QCOMPARE(store().ReadForm(0), f);

        f.holdSek = 7;
        store().WriteForm(99, f);
        QCOMPARE(store().at(2019), 7); // slot 99's hold seconds
        QCOMPARE(store().ReadForm(99), f);
    }

    void namesAreCutToFiveCharacters()
    {
        FountainForm f;
        f.name = QStringLiteral("Фонтан"); // six characters, as the name box allows
        store().WriteForm(3, f);
        QCOMPARE(store().at(128 + 3), 5);
        QCOMPARE(store().ReadForm(3).name, QStringLiteral("Фонта"));
    }

    void lengthByteAboveFiveReadsFiveCharacters()
    {
        FountainForm f;
        f.name = QStringLiteral("abcde");
        store().WriteForm(4, f);
        store().set(128 + 4, 9);
        QCOMPARE(store().ReadForm(4).name, QStringLiteral("abcde"));
    }

    void shorterNameReadsOnlyItsLength()
    {
        FountainForm f;
        f.name = QStringLiteral("abcde");
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
        const QByteArray before = store().image();
        store().MarkCoda(6);
        const QByteArray after = store().image();
        int changed = 0;
        for (int i = 0; i < FormStore::kSize; ++i)
            changed += before[i] != after[i];
        QCOMPARE(changed, 2);
        QCOMPARE(store().at(128 + 6 + 6 * 256), 0);
        QCOMPARE(store().at(128 + 6 + 7 * 256), 0);
        QVERIFY(store().ReadForm(6).isCoda());
        QCOMPARE(store().ReadForm(6).levels, f.levels);
    }

    void travelTimeBytes()
    {
        store().writeTravelTimes({7, 20, 30, 40, 50, 60, 70, 255});
        QCOMPARE(store().at(6271), 7);
        QCOMPARE(store().at(6527), 20);
        QCOMPARE(store().at(8063), 255);
        QCOMPARE(store().ReadZadv(), (std::array<std::uint8_t, 8>{7, 20, 30, 40, 50, 60, 70, 255}));
        // No form slot of bank 0 meets them.
        for (int slot = 0; slot < FormStore::kSlots; ++slot)
            QCOMPARE(store().ReadForm(slot), FountainForm{});
    }

    void insertAndDeleteMoveWholeSlots()
    {
        for (int slot = 0; slot <= 102; ++slot) {
            FountainForm f;
            f.levels.fill(std::uint8_t(slot));
            f.name = QString::number(slot);
            f.holdMin = std::uint8_t(slot % 60);
            f.holdSek = 1;
            store().WriteForm(slot, f);
        }
        const QByteArray original = store().image();
        const FountainForm form100 = store().ReadForm(100);
        const FountainForm form102 = store().ReadForm(102);

        store().insertSlot(99);
        QCOMPARE(store().ReadForm(99).name, QStringLiteral("99"));
        QCOMPARE(store().ReadForm(100).name, QStringLiteral("99"));
        QCOMPARE(store().ReadForm(101), form100);
        QCOMPARE(store().ReadForm(102), form102);

        // Insert then delete on one slot restores 0..100; 101 takes 102's content.
        store().ClearStore();
        store().replaceImage(original);
        store().insertSlot(0);
        QCOMPARE(store().ReadForm(0), store().ReadForm(1));
        store().deleteSlot(0);
        for (int slot = 0; slot <= 100; ++slot)
            QCOMPARE(store().ReadForm(slot).name, QString::number(slot));
        QCOMPARE(store().ReadForm(101), form102);
        QCOMPARE(store().ReadForm(102), form102);

        // Delete at 99 moves 100..102 down; 103 and above are never touched.
        store().replaceImage(original);
        store().set(103, 42);
        store().deleteSlot(99);
        QCOMPARE(store().ReadForm(99), form100);
        QCOMPARE(store().ReadForm(101), form102);
        QCOMPARE(store().at(103), 42);
    }

    void listOperationsLeaveTravelTimesAndOtherBanks()
    {
        QByteArray image(FormStore::kSize, '\x5A');
        store().replaceImage(image);
        store().insertSlot(0);
        store().deleteSlot(50);
        QCOMPARE(store().image().mid(FormStore::kBankSize), image.mid(FormStore::kBankSize));
    }

    void replaceImageTakesExactlyTheStoreSize()
    {
        store().set(10, 1);
        QVERIFY(!store().replaceImage(QByteArray(8191, '\x01')));
        QVERIFY(!store().replaceImage(QByteArray(9000, '\x01')));
        QCOMPARE(store().at(10), 1);
        QCOMPARE(store().at(11), 0);
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

    void cp1251AgreesWithQtsCodec()
    {
        QStringDecoder qtDecoder("windows-1251");
        if (!qtDecoder.isValid())
            QSKIP("this Qt build has no windows-1251 codec");
        for (int b = 0; b < 256; ++b) {
            if (b == 0x98) // no character in the code page
                continue;
            const QByteArray byte(1, char(b));
            QCOMPARE(cp1251::decode(byte), qtDecoder.decode(byte));
        }
    }

    void cp1251EveryByteSurvivesARoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(cp1251::encode(cp1251::decode(all)), all);
    }

    void cp1251UnknownCharactersBecomeQuestionMarks()
    {
        QCOMPARE(cp1251::encode(QStringLiteral("aΩ中b")), QByteArray("a??b"));
        QCOMPARE(cp1251::encode(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("cyrillic") << QStringLiteral("Ошибка") << QStringLiteral("Ошибка.");
        QTest::newRow("digit") << "I/O error 32"
                               << "I/O error 32.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("exclamation") << "Stop !"
                                     << "Stop !";
        QTest::newRow("blank") << "Error writing port "
                               << "Error writing port ";
        QTest::newRow("slash") << "a/"
                               << "a/.";
        QTest::newRow("comma") << "a,"
                               << "a,";
        QTest::newRow("empty") << ""
                               << "";
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    void inOutErrorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("2") << 2 << "File not found";
        QTest::newRow("3") << 3 << "Invalid filename";
        QTest::newRow("4") << 4 << "Too many open files";
        QTest::newRow("5") << 5 << "File access denied";
        QTest::newRow("100") << 100 << "Read beyond end of file";
        QTest::newRow("101") << 101 << "Disk full";
        QTest::newRow("other") << 32 << "I/O error 32";
    }
    void inOutErrorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        const EInOutError e(code);
        QCOMPARE(e.message(), text);
        QCOMPARE(e.code(), code);
    }

    // ---- the form file ----

    void formFileSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("code");
        QTest::newRow("empty") << 0 << int(EInOutError::kReadBeyondEnd);
        QTest::newRow("one short") << 8191 << int(EInOutError::kReadBeyondEnd);
        QTest::newRow("exact") << 8192 << 0;
        QTest::newRow("longer") << 9000 << 0;
    }
    void formFileSizes()
    {
        QFETCH(int, size);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        const QByteArray bytes = pattern(size);
        writeBytes(name, bytes);
        QByteArray image;
        QCOMPARE(readCode(name, &image), code);
        if (code == 0)
            QCOMPARE(image, bytes.left(formfile::kFileSize));
    }

    void formFileBadNames_data()
    {
        QTest::addColumn<QString>("relative"); // under a fresh folder holding "plain.frm"
        QTest::addColumn<int>("expectedRead");
        QTest::addColumn<int>("expectedWrite");
        QTest::newRow("missing file") << "none.frm" << 2 << 0;
        QTest::newRow("missing folder") << "nofolder/a.frm" << 3 << 3;
        QTest::newRow("under a file") << "plain.frm/a.frm" << 3 << 3;
        QTest::newRow("a directory") << "folder.frm" << 5 << 5;
        QTest::newRow("a pipe") << "pipe.frm" << 5 << 5;
        QTest::newRow("empty name") << "" << 3 << 3;
    }
    void formFileBadNames()
    {
        QFETCH(QString, relative);
        QFETCH(int, expectedRead);
        QFETCH(int, expectedWrite);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("plain.frm")), pattern(8192));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.frm")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.frm"))), 0644), 0);
        const QString name = relative.isEmpty() ? QString() : dir.filePath(relative);
        QCOMPARE(readCode(name), expectedRead);
        QCOMPARE(writeCode(name, pattern(8192)), expectedWrite);
        // Whatever failed left the neighbours alone.
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("plain.frm"))), pattern(8192));
    }

    void formFileProcEntryIsAShortFile()
    {
        // A regular file the kernel reports as empty: read to its real end.
        QCOMPARE(readCode(QStringLiteral("/proc/self/status")), int(EInOutError::kReadBeyondEnd));
        QCOMPARE(writeCode(QStringLiteral("/proc/self/status"), pattern(8192)),
                 int(EInOutError::kAccessDenied));
    }

    void formFileWriteReplacesWholeFile()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        writeBytes(name, QByteArray(9000, '\x11'));
        formfile::write(name, pattern(8192));
        QCOMPARE(readBytes(name), pattern(8192));
        // Nothing is left behind beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.frm")});
    }

    void formFileReadOnlyOpensButIsNotReplaced()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("ro.frm"));
        writeBytes(name, pattern(8192));
        QVERIFY(
            QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QByteArray image;
        QCOMPARE(readCode(name, &image), 0);
        QCOMPARE(image, pattern(8192));
        // Refused by its permissions even for the superuser, who could write it.
        QCOMPARE(writeCode(name, QByteArray(8192, '\x01')), int(EInOutError::kAccessDenied));
        QCOMPARE(readBytes(name), pattern(8192));
    }

    void formFileFailedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        writeBytes(name, pattern(8192));
        {
            // No more than 4096 bytes per file: the write runs out of room
            // half way, as on a full disk.
            FileSizeLimit limit(4096);
            QCOMPARE(writeCode(name, QByteArray(8192, '\x01')), int(EInOutError::kDiskFull));
        }
        QCOMPARE(readBytes(name), pattern(8192));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("p.frm")});
    }

    void formFileTooManyOpenFiles()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("p.frm"));
        writeBytes(name, pattern(8192));
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
        rlimit low = old;
        low.rlim_cur = 3; // stdin, stdout, stderr and nothing more
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        const int code = readCode(name);
        ::setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(code, int(EInOutError::kTooManyOpenFiles));
    }

    // ---- the settings file ----

    void profileReads_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString s = QStringLiteral("Zadvizki");
        const QString k = QStringLiteral("Name_1");
        const QString def = QStringLiteral("DEF");
        QTest::newRow("plain") << QByteArray("[Zadvizki]\nName_1=Pump\n") << s << k << "Pump";
        QTest::newRow("no file contents") << QByteArray() << s << k << def;
        QTest::newRow("missing key") << QByteArray("[Zadvizki]\nName_2=x\n") << s << k << def;
        QTest::newRow("missing section") << QByteArray("[Options]\nName_1=x\n") << s << k << def;
        QTest::newRow("present and empty") << QByteArray("[Zadvizki]\nName_1=\n") << s << k << "";
        QTest::newRow("blank lines and comments")
            << QByteArray("\n; [Zadvizki]\n\n# Name_1=no\n[Zadvizki]\n\n;Name_1=no\nName_1=yes\n")
            << s << k << "yes";
        QTest::newRow("blanks around =")
            << QByteArray("  [ Zadvizki ]  \n\t Name_1 \t=  two words \t\n") << s << k
            << "two words";
        QTest::newRow("case") << QByteArray("[zADVIZKI]\nname_1=x\n") << s << k << "x";
        QTest::newRow("duplicate key")
            << QByteArray("[Zadvizki]\nName_1=first\nName_1=second\n") << s << k << "first";
        QTest::newRow("section twice")
            << QByteArray("[Zadvizki]\nName_2=a\n[Options]\nName_1=o\n[Zadvizki]\nName_1=b\n") << s
            << k << "b";
        QTest::newRow("key before any section")
            << QByteArray("Name_1=x\n[Zadvizki]\n") << s << k << def;
        QTest::newRow("other section's key")
            << QByteArray("[Zadvizki]\nName_2=a\n[Other]\nName_1=o\n") << s << k << def;
        QTest::newRow("no trailing newline")
            << QByteArray("[Zadvizki]\nName_1=end") << s << k << "end";
        QTest::newRow("crlf") << QByteArray("[Zadvizki]\r\nName_1=dos\r\n") << s << k << "dos";
        QTest::newRow("quotes") << QByteArray("[Zadvizki]\nName_1=\" padded \"\n") << s << k
                                << " padded ";
        QTest::newRow("unmatched quote")
            << QByteArray("[Zadvizki]\nName_1=\"half\n") << s << k << "\"half";
        QTest::newRow("equals in value")
            << QByteArray("[Zadvizki]\nName_1=a=b\n") << s << k << "a=b";
        QTest::newRow("windows-1251") << QByteArray("[Zadvizki]\nName_1=\xCD\xE0\xF1\xEE\xF1\n")
                                      << s << k << QStringLiteral("Насос");
        QTest::newRow("bytes outside text")
            << QByteArray("[Zadvizki]\nName_1=a") + QByteArray("\x98\x00\x01", 3) + "z\n"
            << s << k << QString::fromUtf16(u"a\u0098\u0000\u0001z", 5);
        QTest::newRow("unclosed section") << QByteArray("[Zadvizki\nName_1=x\n") << s << k << "x";
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBF[Zadvizki]\nName_1=x\n") << s << k << "x";
        QTest::newRow("line without =")
            << QByteArray("[Zadvizki]\nName_1\nName_1=x\n") << s << k << "x";
        QTest::newRow("long line cut")
            << QByteArray("[Zadvizki]\nName_1=" + QByteArray(5000, 'v') + "\nName_2=x\n") << s << k
            << QString(ProfileFile::kMaxValueLength, u'v');
        QTest::newRow("long line before")
            << QByteArray("[Zadvizki]\nJunk=" + QByteArray(100000, 'j') + "\nName_1=x") << s << k
            << "x";
    }
    void profileReads()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(ProfileFile::valueIn(contents, section, key, QStringLiteral("DEF")), value);
        // The file on disk reads the same and is left unchanged.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Fonvira.ini"));
        writeBytes(path, contents);
        QCOMPARE(ProfileFile(path).readString(section, key, QStringLiteral("DEF")), value);
        QCOMPARE(readBytes(path), contents);
    }

    void profileWrites_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QString z = QStringLiteral("Zadvizki");
        QTest::newRow("new file") << QByteArray() << z << "Name_1"
                                  << "a" << QByteArray("[Zadvizki]\nName_1=a\n");
        QTest::newRow("replace, keep the rest")
            << QByteArray("; mine\n[zadvizki]\n  name_1 = old  \nName_2=b\n\n[Options]\nX=1\n") << z
            << "Name_1"
            << "new"
            << QByteArray("; mine\n[zadvizki]\n  name_1 = new\nName_2=b\n\n[Options]\nX=1\n");
        QTest::newRow("add to section")
            << QByteArray("[Zadvizki]\nName_1=a\n\n; next\n[Options]\n") << z << "Name_2"
            << "b" << QByteArray("[Zadvizki]\nName_1=a\nName_2=b\n\n; next\n[Options]\n");
        QTest::newRow("add to empty section")
            << QByteArray("[Zadvizki]\n[Options]\n") << z << "Name_2"
            << "b" << QByteArray("[Zadvizki]\nName_2=b\n[Options]\n");
        QTest::newRow("new section after text without newline")
            << QByteArray("[Options]\r\nX=1") << z << "Name_1"
            << "a" << QByteArray("[Options]\r\nX=1\r\n\r\n[Zadvizki]\r\nName_1=a\r\n");
        QTest::newRow("add to last section without newline")
            << QByteArray("[Zadvizki]\nName_1=a") << z << "Name_2"
            << "b" << QByteArray("[Zadvizki]\nName_1=a\nName_2=b\n");
        QTest::newRow("add to last section ending in a lone CR")
            << QByteArray("[Zadvizki]\nName_1=a\r") << z << "Name_2"
            << "b" << QByteArray("[Zadvizki]\nName_1=a\r\nName_2=b\n");
        QTest::newRow("new key after an empty value ending in a lone CR")
            << QByteArray("[Zadvizki]\r\nName_1=\r") << z << "Name_2"
            << "b" << QByteArray("[Zadvizki]\r\nName_1=\r\nName_2=b\r\n");
        QTest::newRow("new section after a lone CR")
            << QByteArray("[Options]\nX=1\r") << z << "Name_1"
            << "a" << QByteArray("[Options]\nX=1\r\n\n[Zadvizki]\nName_1=a\n");
        QTest::newRow("section twice: the key where it is")
            << QByteArray("[Zadvizki]\nName_1=a\n[Zadvizki]\nName_2=b\n") << z << "Name_2"
            << "c" << QByteArray("[Zadvizki]\nName_1=a\n[Zadvizki]\nName_2=c\n");
        QTest::newRow("section twice: new key in the first")
            << QByteArray("[Zadvizki]\nName_1=a\n[Zadvizki]\nName_2=b\n") << z << "Name_3"
            << "c" << QByteArray("[Zadvizki]\nName_1=a\nName_3=c\n[Zadvizki]\nName_2=b\n");
        QTest::newRow("duplicate key: the first")
            << QByteArray("[Zadvizki]\nName_1=a\nName_1=b\n") << z << "Name_1"
            << "c" << QByteArray("[Zadvizki]\nName_1=c\nName_1=b\n");
        QTest::newRow("windows-1251 out") << QByteArray() << z << "Name_1" << QStringLiteral("Ёж")
                                          << QByteArray("[Zadvizki]\nName_1=\xA8\xE6\n");
        QTest::newRow("quoted to keep blanks")
            << QByteArray() << z << "Name_1"
            << " a " << QByteArray("[Zadvizki]\nName_1=\" a \"\n");
        QTest::newRow("line breaks flattened")
            << QByteArray() << z << "Name_1"
            << "a\nb\rc" << QByteArray("[Zadvizki]\nName_1=a b c\n");
    }
    void profileWrites()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QCOMPARE(ProfileFile::withValue(before, section, key, value), after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/Fonvira.ini"));
        if (!before.isEmpty()) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
            writeBytes(path, before);
        }
        ProfileFile(path).writeString(section, key, value);
        QCOMPARE(readBytes(path), after);
    }

    void profileValuesSurviveARoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "  ";
        QTest::newRow("quotes") << "\"q\"";
        QTest::newRow("single quotes") << "'q'";
        QTest::newRow("one quote") << "\"";
        QTest::newRow("semicolon") << ";x";
        QTest::newRow("brackets") << "[Options]";
        QTest::newRow("path") << QStringLiteral("/home/оператор/Программа 1.frm");
    }
    void profileValuesSurviveARoundTrip()
    {
        QFETCH(QString, value);
        const QByteArray contents = ProfileFile::withValue(
            "[Zadvizki]\nName_2=x\n", QStringLiteral("Zadvizki"), QStringLiteral("Name_1"), value);
        QCOMPARE(ProfileFile::valueIn(contents, QStringLiteral("Zadvizki"),
                                      QStringLiteral("Name_1"), QStringLiteral("DEF")),
                 value);
        QCOMPARE(ProfileFile::valueIn(contents, QStringLiteral("Zadvizki"),
                                      QStringLiteral("Name_2"), QStringLiteral("DEF")),
                 QStringLiteral("x"));
    }

    void profileWriteFailures_data()
    {
        QTest::addColumn<QString>("path"); // %1 is a fresh folder holding "plain" and "dir.ini/"
        QTest::newRow("a directory") << "%1/dir.ini";
        QTest::newRow("under a regular file") << "%1/plain/Fonvira.ini";
        QTest::newRow("proc") << "/proc/self/Fonvira.ini";
    }
    void profileWriteFailures()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("plain")), "[Zadvizki]\nName_1=a\n");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dir.ini")));
        const QString full = path.startsWith(u'%') ? path.arg(dir.path()) : path;
        ProfileFile profile(full);
        try {
            profile.writeString("Zadvizki", "Name_1", "b");
            QFAIL("the write did not fail");
        } catch (const ESettingsWriteError &e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + full);
        }
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("plain"))),
                 QByteArray("[Zadvizki]\nName_1=a\n"));
    }

    void profileFailedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Fonvira.ini"));
        const QByteArray before = "[Zadvizki]\nName_1=a\n" + QByteArray(5000, ';') + '\n';
        writeBytes(path, before);
        {
            FileSizeLimit limit(4096);
            QVERIFY_THROWS_EXCEPTION(ESettingsWriteError,
                                     ProfileFile(path).writeString("Zadvizki", "Name_1", "b"));
        }
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Fonvira.ini")});
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
