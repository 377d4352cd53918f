// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_layer.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::FileLayer {

using namespace FileState;

namespace {

// POSIX names the type and the function alike.
using FileStatus = struct stat;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The working folder's path, also when it has been removed.
QByteArray workingFolderPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/cwd", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    QByteArray path(buffer, n);
    if (path.endsWith(" (deleted)"))
        path.chop(10);
    return path;
}

// Why an operation on path failed, errno given.
Failure failureFor(int error, const QByteArray &path)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return {Problem::NoPermission, error};
    case EROFS:
        return {Problem::ReadOnlyPlace, error};
    case ENOSPC:
    case EDQUOT:
        return {Problem::DiskFull, error};
    case EFBIG:
        return {Problem::TooLarge, error};
    case ENOENT:
    case ENOTDIR: {
        // The working folder (by its name here, or as the system still knows
        // it once removed), or a folder the user named.
        const QByteArray folder = folderOf(path);
        if (folder == "." || folder == workingFolderPath())
            return {Problem::WorkingFolderMissing, error};
        return {Problem::FolderMissing, error, decodeName(folder)};
    }
    case EISDIR:
        return {Problem::Folder, error};
    case ELOOP:
        return {Problem::TooManyLinks, error};
    case EXDEV:
        return {Problem::OtherFileSystem, error};
    default:
        return {Problem::Other, error};
    }
}

// Making a file in path's folder failed: a permission problem is the folder's.
Failure folderFailureFor(int error, const QByteArray &path)
{
    if (error == EACCES || error == EPERM) {
        const QByteArray folder = folderOf(path);
        return {Problem::FolderNoPermission, error,
            decodeName(folder == "." ? workingFolderPath() : folder)};
    }
    return failureFor(error, path);
}

// Only regular files are read or replaced.
std::optional<Failure> kindFailure(const FileStatus &status)
{
    if (S_ISDIR(status.st_mode))
        return Failure {Problem::Folder};
    if (!S_ISREG(status.st_mode))
        return Failure {Problem::NotRegularFile};
    return std::nullopt;
}

Snapshot snapshotOf(const FileStatus &status, const QByteArray &target)
{
    Snapshot snapshot;
    snapshot.exists = true;
    snapshot.regular = S_ISREG(status.st_mode);
    snapshot.target = decodeName(target);
    snapshot.size = status.st_size;
    snapshot.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    snapshot.device = status.st_dev;
    snapshot.inode = status.st_ino;
    return snapshot;
}

// A descriptor closed on every path out.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    { }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now, reporting the failure a close can still bring (NFS, quotas).
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// Reads up to limit bytes; the bytes read so far stay in bytes on failure.
// The buffer grows with what is read (from the file's size, when it tells it),
// never to the limit before anything is read.
int readUpTo(int fd, qsizetype limit, QByteArray &bytes)
{
    FileStatus status {};
    const qsizetype known = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)
        ? qsizetype(std::min<off_t>(status.st_size, limit - 1)) + 1
        : 0;
    bytes.resize(std::min(limit, std::max<qsizetype>(known, 64 * 1024)));
    qsizetype done = 0;
    while (done < limit) {
        if (done == bytes.size())
            bytes.resize(std::min(limit, 2 * done));
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            bytes.resize(done);
            return error;
        }
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    return 0;
}

int writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

// The file a write changes: the path itself, or the end of its chain of links.
std::optional<Failure> resolveTarget(const QByteArray &path, QByteArray &target)
{
    target = path;
    FileStatus link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return std::nullopt;
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return errno == ENOENT ? Failure {Problem::BrokenLink} : failureFor(errno, path);
    target = QByteArray(resolved);
    std::free(resolved);
    return std::nullopt;
}

// The mode a new file gets here, read without changing the process's umask
// (another thread may be creating a file at that moment).
mode_t newFileMode()
{
    mode_t mask = 022;
    Descriptor fd(::open("/proc/self/status", O_RDONLY | O_CLOEXEC));
    QByteArray status;
    if (fd.get() >= 0 && readUpTo(fd.get(), 8192, status) == 0) {
        const qsizetype at = status.indexOf("\nUmask:");
        if (at >= 0) {
            bool ok = false;
            const uint value = status.mid(at + 7, status.indexOf('\n', at + 1) - at - 7)
                                   .trimmed()
                                   .toUInt(&ok, 8);
            if (ok)
                mask = mode_t(value);
        }
    }
    return 0666 & ~mask;
}

// Keeps the file beside it under a free name; a hard link leaves the original
// in place until the new file replaces it.
std::optional<Failure> keepAside(const QByteArray &target, QByteArray &keptAs)
{
    for (int n = 1; n <= KeptCopiesLimit; ++n) {
        QByteArray name = target + ".unreadable";
        if (n > 1)
            name += '-' + QByteArray::number(n);
        if (::link(target.constData(), name.constData()) == 0) {
            keptAs = name;
            return std::nullopt;
        }
        if (errno == EEXIST)
            continue;
        // Some file systems and protected links refuse hard links: move it instead.
        if (::renameat2(AT_FDCWD, target.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE)
            == 0) {
            keptAs = name;
            return std::nullopt;
        }
        if (errno != EEXIST)
            return failureFor(errno, name);
    }
    return Failure {Problem::TooManyKeptCopies};
}

int syncFolder(const QByteArray &folder)
{
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    // Some file systems cannot sync a folder; the rename is as durable as they allow.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
        return errno;
    return 0;
}

bool workingFolderGone()
{
    FileStatus here {};
    return ::stat(".", &here) != 0 || here.st_nlink == 0;
}

} // namespace

QString decodeName(const QByteArray &name)
{
    // Valid UTF-8 as it is; every other byte as U+DC80..U+DCFF, one character each.
    QString text;
    text.reserve(name.size());
    const auto *bytes = reinterpret_cast<const unsigned char *>(name.constData());
    const qsizetype size = name.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        int length = lead < 0x80           ? 1
            : lead >= 0xC2 && lead <= 0xDF ? 2
            : lead >= 0xE0 && lead <= 0xEF ? 3
            : lead >= 0xF0 && lead <= 0xF4 ? 4
                                           : 0;
        char32_t code = length == 1 ? lead
            : length == 2           ? lead & 0x1F
            : length == 3           ? lead & 0x0F
                                    : lead & 0x07;
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (bytes[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        // No overlong form, no surrogate, nothing beyond U+10FFFF.
        valid = valid && !(length == 3 && code < 0x800) && !(length == 4 && code < 0x10000)
            && !(code >= 0xD800 && code <= 0xDFFF) && code <= 0x10FFFF;
        if (!valid) {
            text += QChar(char16_t(0xDC00 + lead));
            ++i;
            continue;
        }
        text += QString::fromUcs4(&code, 1);
        i += length;
    }
    return text;
}

QByteArray encodeName(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            bytes += QStringView(name).mid(i, 2).toUtf8();
            ++i;
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            bytes += char(c - 0xDC00); // a byte that was not UTF-8, as it was
        } else {
            bytes += QStringView(name).mid(i, 1).toUtf8();
        }
    }
    return bytes;
}

Failure failureFor(int error, const QString &path)
{
    return failureFor(error, encodeName(path));
}

Read readFile(const QString &path, qsizetype limit)
{
    const QByteArray name = encodeName(path);
    Read read;
    read.snapshot.target = path;
    FileStatus status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (errno != ENOENT)
            read.failure = failureFor(errno, name);
        return read; // no file at all is no failure
    }
    QByteArray target;
    if (const auto failure = resolveTarget(name, target)) {
        read.failure = failure;
        return read;
    }
    if (::stat(target.constData(), &status) != 0) {
        read.failure = failureFor(errno, target);
        return read;
    }
    read.snapshot = snapshotOf(status, target);
    if ((read.failure = kindFailure(status)))
        return read;

    // O_NONBLOCK: should the name become a pipe after the check, open still returns.
    Descriptor fd(::open(target.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0) {
        read.failure = failureFor(errno, target);
        return read;
    }
    read.snapshot = snapshotOf(status, target);
    if ((read.failure = kindFailure(status)))
        return read;
    // One byte beyond the limit tells a file that was read in full from one that
    // was cut short.
    QByteArray &bytes = read.snapshot.bytes;
    const int error = readUpTo(fd.get(), limit + 1, bytes);
    const bool cutShort = bytes.size() > limit;
    bytes.truncate(limit);
    if (error != 0)
        read.failure = failureFor(error, target);
    else if (cutShort)
        read.failure = Failure {Problem::ReadCutShort, 0, {}, limit};
    else
        read.snapshot.read = true;
    return read;
}

Replaced replaceFile(const QString &path, const QByteArray &bytes, const ReplacePolicy &policy)
{
    QByteArray target;
    if (const auto failure = resolveTarget(encodeName(path), target))
        return {failure, {}, {}, {}};
    FileStatus status {};
    const bool exists = ::stat(target.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return {failureFor(errno, target), {}, {}, {}};
    if (exists) {
        if (const auto wrongKind = kindFailure(status))
            return {wrongKind, {}, {}, {}};
    }

    const QByteArray folder = folderOf(target);
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return {folderFailureFor(errno, target), {}, {}, {}};
    QByteArray keptAs;
    const auto fail = [&temporary, &keptAs, &target](int error) {
        ::unlink(temporary.constData());
        return Replaced {failureFor(error, target), {}, decodeName(keptAs), {}};
    };

    // The old file's permissions, always readable and writable by its owner; or
    // those a new file gets here.
    const mode_t mode
        = !exists || policy.defaultMode ? newFileMode() : ((status.st_mode & 07777) | 0600);
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errno);
    if (const int error = writeAll(fd.get(), bytes))
        return fail(error);
    if (::fsync(fd.get()) != 0 || fd.close() != 0)
        return fail(errno);

    if (exists && policy.keepAside) {
        if (const auto failure = keepAside(target, keptAs)) {
            ::unlink(temporary.constData());
            return {failure, {}, {}, {}};
        }
    }
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);
    Snapshot written;
    if (::stat(target.constData(), &status) == 0)
        written = snapshotOf(status, target);
    written.read = true;
    written.bytes = bytes;
    written.target = decodeName(target);
    std::optional<Failure> syncFailure;
    if (const int error = syncFolder(folder))
        syncFailure = failureFor(error, target); // in place, but perhaps not yet on the disk
    return {std::nullopt, syncFailure, decodeName(keptAs), written};
}

namespace {

// Opens the file to append to and locks it. Another writer may have removed a
// file this one created and failed to fill while this one waited for the lock:
// then the name is opened again.
std::optional<Failure> openLocked(const QByteArray &target, Descriptor &fd, bool &created)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        FileStatus before {};
        const bool existed = ::stat(target.constData(), &before) == 0;
        if (existed) {
            if (const auto wrongKind = kindFailure(before))
                return wrongKind;
        }
        // O_NONBLOCK: should the name become a pipe after the check, open still returns.
        fd.reset(::open(target.constData(),
            O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
        if (fd.get() < 0)
            return existed ? failureFor(errno, target) : folderFailureFor(errno, target);
        created = !existed;
        FileStatus opened {};
        if (::fstat(fd.get(), &opened) != 0)
            return failureFor(errno, target);
        if (const auto wrongKind = kindFailure(opened))
            return wrongKind;
        while (::flock(fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                return failureFor(errno, target);
        }
        FileStatus now {};
        if (::stat(target.constData(), &now) == 0 && now.st_dev == opened.st_dev
            && now.st_ino == opened.st_ino)
            return std::nullopt;
    }
    return Failure {Problem::Other, EAGAIN};
}

} // namespace

Appended appendLocked(const QString &path, qsizetype limit,
    const std::function<std::optional<Addition>(const QByteArray &existing)> &plan)
{
    Appended appended;
    QByteArray target;
    if ((appended.failure = resolveTarget(encodeName(path), target)))
        return appended;
    Descriptor fd;
    bool created = false;
    if ((appended.failure = openLocked(target, fd, created)))
        return appended;
    // A file this call made and could not fill goes again (others wait for the
    // lock and find the name gone).
    const auto fail = [&](int error) {
        if (created)
            ::unlink(target.constData());
        appended.failure = failureFor(error, target);
        return appended;
    };

    QByteArray &before = appended.before;
    if (::lseek(fd.get(), 0, SEEK_SET) != 0)
        return fail(errno);
    if (const int error = readUpTo(fd.get(), limit + 1, before))
        return fail(error);
    if (before.size() > limit) {
        before.truncate(limit);
        appended.failure = Failure {Problem::OverLimit, 0, {}, limit};
        return appended;
    }
    const std::optional<Addition> addition = plan(before);
    if (!addition) {
        if (created)
            ::unlink(target.constData());
        return appended;
    }

    // Where the file ends now: lines others appended meanwhile stay.
    FileStatus status {};
    if (::fstat(fd.get(), &status) != 0)
        return fail(errno);
    const off_t end = addition->replacesAll ? 0 : status.st_size;
    if (addition->replacesAll && ::ftruncate(fd.get(), 0) != 0)
        return fail(errno);
    int error = writeAll(fd.get(), addition->bytes);
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    if (error != 0) {
        // No half record stays: the file goes back to what it was, or says
        // that it could not.
        const bool undone = ::ftruncate(fd.get(), end) == 0
            && (!addition->replacesAll || writeAll(fd.get(), before) == 0);
        appended.rollbackFailed = !undone;
        return fail(error);
    }
    appended.added = true;
    return appended;
}

WorkingFolder workingFolder(const QString &shellPath)
{
    WorkingFolder folder;
    char buffer[PATH_MAX];
    FileStatus here {};
    FileStatus shell {};
    // The shell's own path where it names this folder (a star field reached
    // through a link keeps its name), as shells keep it; the system's otherwise.
    if (shellPath.startsWith(u'/') && ::stat(".", &here) == 0
        && ::stat(encodeName(shellPath).constData(), &shell) == 0 && here.st_dev == shell.st_dev
        && here.st_ino == shell.st_ino)
        folder.path = QDir::cleanPath(shellPath);
    else if (::getcwd(buffer, sizeof buffer))
        folder.path = decodeName(buffer);
    else if (shellPath.startsWith(u'/'))
        folder.path = shellPath; // the removed folder's path, as the shell knew it
    FileStatus there {};
    folder.removed = workingFolderGone()
        && (folder.path.isEmpty() || ::stat(encodeName(folder.path).constData(), &there) != 0
            || !S_ISDIR(there.st_mode));
    return folder;
}

QString pathInWorkingFolder(const QString &name, const WorkingFolder &atStart)
{
    if (workingFolderGone() && !atStart.path.isEmpty())
        return atStart.path + u'/' + name;
    return name;
}

} // namespace quillet::FileLayer
