#include "core/mounts_linux.h"

#include <QFile>
#include <QSet>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace sysinfo {

namespace {

QByteArray unescape(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isUnder(const QString &path, const QString &top)
{
    return path == top || path.startsWith(top + u'/');
}

} // namespace

QList<MountEntry> parseMounts(const QByteArray &mounts)
{
    QList<MountEntry> entries;
    for (const QByteArray &line : mounts.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        entries.append({unescape(fields[0]), QFile::decodeName(unescape(fields[1])), fields[2]});
    }
    return entries;
}

bool isLocalDisk(const MountEntry &entry)
{
    // Memory-backed and read-only package images hold no disk; network file
    // systems and FUSE daemons may not answer at all.
    static const QSet<QByteArray> notDisks = {"tmpfs", "devtmpfs", "ramfs",  "squashfs",  "nfs",
                                              "nfs4",  "cifs",     "smb3",   "smbfs",     "ncpfs",
                                              "afs",   "ceph",     "9p",     "glusterfs", "davfs",
                                              "fuse",  "sshfs",    "autofs", "overlay"};
    if (notDisks.contains(entry.type) || entry.type.startsWith("fuse."))
        return false;
    // Kernel file systems name no device file ("proc", "sysfs", "cgroup"); a
    // ZFS dataset names its pool instead, and is on disk all the same.
    const bool dataset = entry.type == "zfs";
    if (!dataset && (!entry.device.startsWith('/') || entry.device.startsWith("//")))
        return false;
    for (const char *top : {"/dev", "/proc", "/sys", "/run", "/var/run", "/var/lock"}) {
        if (isUnder(entry.mountPoint, QLatin1String(top)))
            return false;
    }
    return true;
}

QStringList diskMountPoints(const QList<MountEntry> &mounts)
{
    QStringList points;
    QSet<QByteArray> devices;
    bool rootIsDisk = false;
    for (const MountEntry &m : mounts) {
        // Bind mounts show the same device again.
        if (!isLocalDisk(m) || devices.contains(m.device))
            continue;
        devices.insert(m.device);
        points << m.mountPoint;
        rootIsDisk = rootIsDisk || m.mountPoint == QLatin1String("/");
    }
    // In a container the root is an overlay, which is still where the
    // program's files live.
    if (!rootIsDisk)
        points.prepend(QStringLiteral("/"));
    return points;
}

struct TimedStatfs::Pending
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool ok = false;
    struct statvfs result
    {
    };
};

TimedStatfs::TimedStatfs(Call call, std::chrono::milliseconds limit)
    : m_call(call ? std::move(call)
                  : [](const QByteArray &path,
                       struct statvfs &out) { return ::statvfs(path.constData(), &out) == 0; }),
      m_limit(limit)
{
}

std::optional<struct statvfs> TimedStatfs::operator()(const QString &path)
{
    if (const auto stuck = m_stuck.find(path); stuck != m_stuck.end()) {
        const std::lock_guard lock(stuck->second->mutex);
        if (!stuck->second->done)
            return std::nullopt;
    }
    m_stuck.erase(path);

    auto pending = std::make_shared<Pending>();
    std::thread([pending, call = m_call, name = QFile::encodeName(path)] {
        struct statvfs s
        {
        };
        const bool ok = call(name, s);
        const std::lock_guard lock(pending->mutex);
        pending->ok = ok;
        pending->result = s;
        pending->done = true;
        pending->finished.notify_all();
    }).detach();

    std::unique_lock lock(pending->mutex);
    if (!pending->finished.wait_for(lock, m_limit, [&] { return pending->done; })) {
        m_stuck[path] = pending;
        return std::nullopt;
    }
    return pending->ok ? std::optional(pending->result) : std::nullopt;
}

} // namespace sysinfo
