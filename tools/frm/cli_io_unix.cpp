// fountain-frm's files on Unix, through the system calls: a name is the bytes
// the command line gave, which need not be UTF-8, and what a name is (a plain
// file, a pipe, a device; which file) is asked of the open file itself.
#include "tools/frm/cli_io.h"

#include "core/errors.h"
#include "core/form_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace frm {

namespace {

// A byte that is not part of valid UTF-8, carried as a lone surrogate.
constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at s[i], 0 when there is none.
int sequenceLength(const QByteArray &s, qsizetype i, char32_t *code)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    int length = 0;
    char32_t c = 0;
    if (b < 0x80) {
        *code = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(at(i + k)))
            return 0;
        c = (c << 6) | (at(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const char32_t minimum = length == 3 ? 0x800 : 0x10000;
    if ((length > 2 && c < minimum) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    *code = c;
    return length;
}

QString fromNative(const QByteArray &bytes)
{
    QString out;
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = sequenceLength(bytes, i, &code);
        if (length == 0) {
            out += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i += length;
    }
    return out;
}

QByteArray nativeName(const QString &name)
{
    QByteArray out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        if (!pair && c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            out += char(c - kEscapeBase);
            continue;
        }
        out += QStringView(name).mid(i, pair ? 2 : 1).toUtf8();
        if (pair)
            ++i;
    }
    return out;
}

class Descriptor
{
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    [[nodiscard]] int get() const { return m_fd; }
    // Closes it now, where the system's answer matters (a written file).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

FileIdentity identityOf(const struct stat &st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

QString kindOf(const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("a pipe");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a file");
}

// The operator's text for the system's last error, as the editor shows it.
QString systemReason(int fallback)
{
    return EInOutError::textForCode(formfile::codeForSystemError(fallback));
}

QString accessDenied(const QString &why)
{
    return EInOutError::textForCode(EInOutError::kAccessDenied) + QStringLiteral(": ") + why;
}

std::nullopt_t cannotRead(const QString &shown, const QString &reason)
{
    printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n").arg(shown, reason));
    return std::nullopt;
}

bool cannotWrite(const QString &shown, const QString &reason)
{
    printErr(QStringLiteral("fountain-frm: cannot write %1: %2\n").arg(shown, reason));
    return false;
}

// Reads up to limit bytes; false with errno set on a read error.
bool readUpTo(int fd, qint64 limit, QByteArray *out)
{
    out->resize(limit);
    qint64 got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, out->data() + got, std::size_t(limit - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    out->resize(got);
    return true;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a name leads to: a link is followed to the file it names, so that
// the link stays and its file is replaced, as the editor's save does.
bool targetOf(const QByteArray &path, const QString &shown, QByteArray *target)
{
    struct stat st;
    *target = path;
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return true;
    char *real = ::realpath(path.constData(), nullptr);
    if (!real) {
        return cannotWrite(shown, systemReason(EInOutError::kInvalidFilename) +
                                      QStringLiteral(": a link that leads to no file"));
    }
    *target = real;
    std::free(real);
    return true;
}

bool writeStandardOutput(const QByteArray &bytes, const QList<FileIdentity> &inputs, bool binary)
{
    if (binary && ::isatty(STDOUT_FILENO))
        return cannotWrite(QStringLiteral("standard output"),
                           QStringLiteral("it is a terminal; give -o FILE, or send it to a file "
                                          "with >"));
    struct stat st;
    if (::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode) && inputs.contains(identityOf(st)))
        return cannotWrite(QStringLiteral("standard output"),
                           QStringLiteral("it is the file being read"));
    printBytes(bytes);
    return true;
}

} // namespace

QStringList arguments(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << fromNative(QByteArray(argv[i]));
    return args;
}

std::optional<Input> readInput(const QString &name, qint64 limit)
{
    const bool standard = isStandardStream(name);
    const QString shown = standard ? QStringLiteral("standard input") : shownName(name);
    int fd = STDIN_FILENO;
    if (standard) {
        if (::isatty(fd))
            return cannotRead(shown,
                              QStringLiteral("it is a terminal; send a file in with < or |"));
    } else {
        const QByteArray path = nativeName(name);
        if (path.isEmpty() || path.contains('\0'))
            return cannotRead(shown, EInOutError::textForCode(EInOutError::kInvalidFilename));
        // Not blocking: a pipe nobody writes to would keep the open waiting.
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return cannotRead(shown, systemReason(EInOutError::kAccessDenied));
    }
    const Descriptor owned(standard ? -1 : fd);
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return cannotRead(shown, systemReason(formfile::kReadFault));
    const bool plain = S_ISREG(st.st_mode);
    if (!standard) {
        // A pipe, a terminal or a device may never end; the editor reads none.
        if (!plain)
            return cannotRead(
                shown, accessDenied(kindOf(st) + QStringLiteral(", not a plain file (- reads "
                                                                "standard input)")));
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    Input in;
    if (!readUpTo(fd, limit, &in.bytes))
        return cannotRead(shown, systemReason(formfile::kReadFault));
    in.size = in.bytes.size();
    in.sizeKnown = in.size < limit || (plain && st.st_size >= limit);
    if (plain) {
        in.size = std::max<qint64>(in.size, st.st_size);
        in.identity = identityOf(st);
        in.modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    }
    return in;
}

bool writeOutput(const QString &name, const QByteArray &bytes, const QList<FileIdentity> &inputs,
                 bool binary)
{
    if (isStandardStream(name))
        return writeStandardOutput(bytes, inputs, binary);
    const QString shown = shownName(name);
    const QByteArray path = nativeName(name);
    if (path.isEmpty() || path.contains('\0'))
        return cannotWrite(shown, EInOutError::textForCode(EInOutError::kInvalidFilename));
    QByteArray target;
    if (!targetOf(path, shown, &target))
        return false;

    struct stat st;
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return cannotWrite(shown, systemReason(EInOutError::kInvalidFilename));
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return cannotWrite(shown, accessDenied(kindOf(st) + QStringLiteral(", not a plain "
                                                                               "file")));
        // A file nobody may write is read-only for the superuser too, as in
        // the editor: a show file made read-only stays as it is.
        if ((st.st_mode & 0222) == 0)
            return cannotWrite(shown, accessDenied(QStringLiteral("the file is read-only")));
        if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
            return cannotWrite(shown, systemReason(EInOutError::kAccessDenied));
        if (inputs.contains(identityOf(st)))
            return cannotWrite(shown, QStringLiteral("it is the file being read; the output "
                                                     "needs a name of its own"));
    }
    struct stat folder;
    const QByteArray folderPath = folderOf(target);
    if (::stat(folderPath.constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        return cannotWrite(shown, EInOutError::textForCode(EInOutError::kInvalidFilename) +
                                      QStringLiteral(": no such folder"));

    // Written beside the file and renamed over it: a failure at any point
    // leaves the old file whole.
    QByteArray temporary = target + ".XXXXXX";
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0)
        return cannotWrite(shown, systemReason(EInOutError::kAccessDenied) +
                                      QStringLiteral(": no new file can be made in its folder"));
    const auto fail = [&](int fallback) {
        const QString reason = systemReason(fallback);
        ::unlink(temporary.constData());
        return cannotWrite(shown, reason);
    };
    if (!writeAll(out.get(), bytes))
        return fail(EInOutError::kDiskFull);
    // The owner first: a change of owner clears the set-id bits of the mode.
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(out.get(), st.st_uid, st.st_gid) != 0)
        (void)!::fchown(out.get(), uid_t(-1), st.st_gid); // the group at least, where allowed
    if (::fchmod(out.get(), exists ? st.st_mode & 07777 : newFileMode()) != 0)
        return fail(EInOutError::kAccessDenied);
    if (::fsync(out.get()) != 0 || !out.close())
        return fail(EInOutError::kDiskFull);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(formfile::kWriteFault);
    // The new name reaches the disk too, should the power fail next.
    Descriptor dir(::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return true;
}

std::optional<bool> writeConsole(std::FILE *, const QString &)
{
    return std::nullopt; // a terminal takes UTF-8 bytes, as a pipe or a file does
}

} // namespace frm
