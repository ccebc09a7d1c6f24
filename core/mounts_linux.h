// The mounted file systems that stand for drives on Linux, read without ever
// blocking the caller for long: the mount table is a kernel file, and each
// statvfs, which can hang on a dead network or FUSE mount, runs on a thread
// of its own with a time limit.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <sys/statvfs.h>

namespace sysinfo {

struct MountEntry
{
    QByteArray device;
    QString mountPoint;
    QByteArray type;
};

// The lines of /proc/self/mounts, with the kernel's octal escapes (\040) undone.
[[nodiscard]] QList<MountEntry> parseMounts(const QByteArray &mounts);

// A file system on a local disk: a device file (or a ZFS pool) behind it, and
// neither a memory, kernel or package image nor a network or FUSE file system.
bool isLocalDisk(const MountEntry &entry);

// The mount points worth asking about, in mount order, one per device; the
// root comes first where it is no disk of its own (an overlay in a container).
QStringList diskMountPoints(const QList<MountEntry> &mounts);

// statvfs with a time limit. A call that does not return in time is given up
// and left to finish on its own; until it has, its path is not asked again.
class TimedStatfs
{
  public:
    using Call = std::function<bool(const QByteArray &path, struct statvfs &out)>;

    explicit TimedStatfs(Call call = {},
                         std::chrono::milliseconds limit = std::chrono::milliseconds(400));

    [[nodiscard]] std::optional<struct statvfs> operator()(const QString &path);

  private:
    struct Pending;
    Call m_call;
    std::chrono::milliseconds m_limit;
    std::map<QString, std::shared_ptr<Pending>> m_stuck;
};

} // namespace sysinfo
