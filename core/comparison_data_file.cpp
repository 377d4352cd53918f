// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_data_file.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::ComparisonDataFile {

namespace {

constexpr int TableTexts = 2 * TableRows;

// POSIX names the type and the function alike.
using FileStatus = struct stat;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

class FieldReader
{
public:
    explicit FieldReader(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    // True when no further field starts: only blanks and line ends remain.
    bool atEnd()
    {
        skipBlanksAndLineEnds();
        return m_pos >= m_bytes.size();
    }

    // The next field's text. A line end directly after a comma ends an empty field;
    // at the start of a row blank lines are passed over first.
    QString next(bool startOfRow)
    {
        if (startOfRow || m_afterLineEnd)
            skipBlanksAndLineEnds();
        else
            skipBlanks();
        m_afterLineEnd = false;
        if (m_pos >= m_bytes.size())
            return QString();

        QByteArrayView field;
        bool quoted = false;
        if (m_bytes[m_pos] == '"') {
            quoted = true;
            const qsizetype start = ++m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != '"')
                ++m_pos;
            field = m_bytes.sliced(start, m_pos - start);
            if (m_pos < m_bytes.size())
                ++m_pos; // the closing quote
            // Anything between the closing quote and the separator is dropped.
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
                ++m_pos;
            qsizetype end = m_pos;
            while (end > start && isBlank(m_bytes[end - 1]))
                --end;
            field = m_bytes.sliced(start, end - start);
        }
        takeSeparator();

        // A field that is a number in full shows as the number; anything else
        // (a quoted field among them) as the text it is.
        if (!quoted) {
            if (const auto number = ParseWholeNumber(QString::fromLatin1(field)))
                return PlainNumberText(*number);
        }
        return QString::fromUtf8(field);
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_bytes.size() && isBlank(m_bytes[m_pos]))
            ++m_pos;
    }

    void skipBlanksAndLineEnds()
    {
        while (m_pos < m_bytes.size() && (isBlank(m_bytes[m_pos]) || isLineEnd(m_bytes[m_pos])))
            ++m_pos;
    }

    void takeSeparator()
    {
        if (m_pos >= m_bytes.size())
            return;
        if (m_bytes[m_pos] == ',') {
            ++m_pos;
            return;
        }
        // CR LF, a lone LF or a lone CR ends the line.
        if (m_bytes[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        m_afterLineEnd = true;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_afterLineEnd = false;
};

} // namespace

QByteArray serialize(const QStringList &tableTexts)
{
    QString text;
    for (int k = 0; k < TableRows; ++k) {
        const QString measured = tableTexts.value(2 * k);
        if (IsEmptyText(measured))
            continue;
        text += FileNumberText(ParseNumber(measured)) + u','
            + FileNumberText(ParseNumber(tableTexts.value(2 * k + 1))) + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

QStringList deserialize(QByteArrayView bytes)
{
    QStringList texts(TableTexts);
    FieldReader reader(bytes);
    for (int k = 0; k < TableRows; ++k) {
        if (reader.atEnd())
            break;
        texts[2 * k] = reader.next(true);
        texts[2 * k + 1] = reader.next(false);
    }
    return texts;
}

namespace {

Failure systemFailure(int error)
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
    case ENOTDIR:
        return {Problem::FolderMissing, error};
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

// Only regular files are read or replaced.
std::optional<Failure> kindFailure(const FileStatus &status)
{
    if (S_ISDIR(status.st_mode))
        return Failure {Problem::Folder, 0};
    if (!S_ISREG(status.st_mode))
        return Failure {Problem::NotRegularFile, 0};
    return std::nullopt;
}

Snapshot snapshotOf(const FileStatus &status, const QByteArray &target)
{
    Snapshot snapshot;
    snapshot.exists = true;
    snapshot.regular = S_ISREG(status.st_mode);
    snapshot.target = QFile::decodeName(target);
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
    explicit Descriptor(int fd)
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
int readUpTo(int fd, qsizetype limit, QByteArray &bytes)
{
    bytes.resize(limit);
    qsizetype done = 0;
    while (done < limit) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(limit - done));
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

// The file a save replaces: the path itself, or the end of its chain of links.
std::optional<Failure> resolveTarget(const QByteArray &path, QByteArray &target)
{
    target = path;
    FileStatus link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return std::nullopt;
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return errno == ENOENT ? Failure {Problem::BrokenLink, 0} : systemFailure(errno);
    target = QByteArray(resolved);
    std::free(resolved);
    return std::nullopt;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
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

// Keeps the file that could not be read under a free name beside it; a hard link
// leaves the original in place until the new file replaces it. moved tells that
// the fallback moved it away instead.
std::optional<Failure> keepAside(const QByteArray &target, QByteArray &keptAs, bool &moved)
{
    moved = false;
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
            moved = true;
            return std::nullopt;
        }
        if (errno != EEXIST)
            return systemFailure(errno);
    }
    return Failure {Problem::TooManyKeptCopies, 0};
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

Saved replaceFile(const QString &path, const QByteArray &bytes, const Snapshot &readAtStart)
{
    QByteArray target;
    if (const auto failure = resolveTarget(QFile::encodeName(path), target))
        return {failure, {}, {}, false, {}};
    FileStatus status {};
    const bool exists = ::stat(target.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return {systemFailure(errno), {}, {}, false, {}};
    if (exists) {
        if (const auto wrongKind = kindFailure(status))
            return {wrongKind, {}, {}, false, {}};
    }
    const bool unread = readAtStart.regular && !readAtStart.read;

    const QByteArray folder = folderOf(target);
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return {systemFailure(errno), {}, {}, false, {}};
    QByteArray keptAs;
    const auto fail = [&temporary, &keptAs](int error) {
        ::unlink(temporary.constData());
        return Saved {systemFailure(error), {}, QFile::decodeName(keptAs), false, {}};
    };

    // The old file's permissions, always readable and writable by its owner; or,
    // for a new file or one that could not be read, those a new file gets here.
    const bool defaultMode = !exists || unread;
    const mode_t mode = defaultMode ? newFileMode() : ((status.st_mode & 07777) | 0600);
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errno);
    if (const int error = writeAll(fd.get(), bytes))
        return fail(error);
    if (::fsync(fd.get()) != 0 || fd.close() != 0)
        return fail(errno);

    if (exists && unread && readAtStart.keptAs.isEmpty()) {
        bool moved = false;
        if (const auto failure = keepAside(target, keptAs, moved)) {
            ::unlink(temporary.constData());
            return {failure, {}, {}, false, {}};
        }
    }
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);
    Snapshot written;
    if (::stat(target.constData(), &status) == 0)
        written = snapshotOf(status, target);
    written.read = true;
    written.bytes = bytes;
    written.target = QFile::decodeName(target);
    std::optional<Failure> syncFailure;
    if (const int error = syncFolder(folder))
        syncFailure = systemFailure(error); // in place, but perhaps not yet on the disk
    return {std::nullopt, syncFailure, QFile::decodeName(keptAs), exists && unread, written};
}

} // namespace

Loaded load(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    FileStatus link {};
    Snapshot none;
    none.target = path;
    if (::lstat(name.constData(), &link) != 0) {
        if (errno == ENOENT)
            return {QStringList(TableTexts), std::nullopt, none};
        return {QStringList(TableTexts), systemFailure(errno), none};
    }
    QByteArray target;
    if (const auto failure = resolveTarget(name, target))
        return {QStringList(TableTexts), failure, none};
    FileStatus status {};
    if (::stat(target.constData(), &status) != 0)
        return {QStringList(TableTexts), systemFailure(errno), none};
    Snapshot snapshot = snapshotOf(status, target);
    if (const auto wrongKind = kindFailure(status))
        return {QStringList(TableTexts), wrongKind, snapshot};

    // O_NONBLOCK: should the name become a pipe after the check, open still returns.
    Descriptor fd(::open(target.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return {QStringList(TableTexts), systemFailure(errno), snapshot};
    if (::fstat(fd.get(), &status) != 0)
        return {QStringList(TableTexts), systemFailure(errno), snapshot};
    snapshot = snapshotOf(status, target);
    if (const auto wrongKind = kindFailure(status))
        return {QStringList(TableTexts), wrongKind, snapshot};
    // One byte beyond the limit tells a file that was read in full from one that
    // was cut short.
    QByteArray bytes;
    const int error = readUpTo(fd.get(), ReadLimit + 1, bytes);
    const bool cutShort = bytes.size() > ReadLimit;
    bytes.truncate(ReadLimit);
    const QStringList texts = deserialize(bytes);
    if (error != 0)
        return {texts, systemFailure(error), snapshot};
    if (cutShort)
        return {texts, Failure {Problem::ReadCutShort, 0}, snapshot};
    snapshot.read = true;
    snapshot.bytes = bytes;
    return {texts, std::nullopt, snapshot};
}

Change changedSince(const QString &path, const Snapshot &snapshot)
{
    QByteArray target;
    FileStatus status {};
    // Gone, or no longer a file: the save has nothing to lose there.
    if (resolveTarget(QFile::encodeName(path), target) || ::stat(target.constData(), &status) != 0
        || !S_ISREG(status.st_mode))
        return {};
    Change change;
    const QString before = snapshot.target.isEmpty() ? path : snapshot.target;
    if (QFile::encodeName(before) != target)
        change.writesTo = QFile::decodeName(target);
    if (!snapshot.exists || !change.writesTo.isEmpty()) {
        change.changed = true;
        return change;
    }
    if (!snapshot.read) {
        // Nothing to compare but what the system says of the file.
        const Snapshot now = snapshotOf(status, target);
        change.changed = now.size != snapshot.size || now.modifiedNs != snapshot.modifiedNs
            || now.device != snapshot.device || now.inode != snapshot.inode;
        return change;
    }
    // The same bytes, touched or written anew, lose nothing when replaced.
    if (qsizetype(status.st_size) != snapshot.bytes.size()) {
        change.changed = true;
        return change;
    }
    Descriptor fd(::open(target.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    QByteArray bytes;
    change.changed
        = fd.get() < 0 || readUpTo(fd.get(), ReadLimit + 1, bytes) != 0 || bytes != snapshot.bytes;
    return change;
}

Saved save(const QString &path, const QStringList &tableTexts, const Snapshot &readAtStart)
{
    return replaceFile(path, serialize(tableTexts), readAtStart);
}

WholeFile readWholeFile(const QString &path, qsizetype limit)
{
    QByteArray target;
    if (const auto failure = resolveTarget(QFile::encodeName(path), target))
        return {failure, true, {}};
    FileStatus status {};
    if (::stat(target.constData(), &status) != 0)
        return errno == ENOENT ? WholeFile {} : WholeFile {systemFailure(errno), true, {}};
    if (const auto wrongKind = kindFailure(status))
        return {wrongKind, true, {}};
    Descriptor fd(::open(target.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return {systemFailure(errno), true, {}};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {Failure {Problem::NotRegularFile, 0}, true, {}};
    WholeFile file {std::nullopt, true, {}};
    if (const int error = readUpTo(fd.get(), limit + 1, file.bytes))
        file.failure = systemFailure(error);
    else if (file.bytes.size() > limit)
        file.failure = Failure {Problem::ReadCutShort, 0};
    return file;
}

Saved writeFile(const QString &path, const QByteArray &bytes)
{
    return replaceFile(path, bytes, Snapshot {});
}

WorkingFolder workingFolder(const QString &shellPath)
{
    WorkingFolder folder;
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer))
        folder.path = QFile::decodeName(buffer);
    else if (shellPath.startsWith(u'/'))
        folder.path = shellPath; // the removed folder's path, as the shell knew it
    FileStatus here {};
    const bool gone = ::stat(".", &here) != 0 || here.st_nlink == 0;
    FileStatus there {};
    folder.removed = gone
        && (folder.path.isEmpty() || ::stat(QFile::encodeName(folder.path).constData(), &there) != 0
            || !S_ISDIR(there.st_mode));
    return folder;
}

QString pathInWorkingFolder(const QString &name, const WorkingFolder &atStart)
{
    FileStatus here {};
    const bool gone = ::stat(".", &here) != 0 || here.st_nlink == 0;
    if (gone && !atStart.path.isEmpty())
        return atStart.path + u'/' + name;
    return name;
}

} // namespace quillet::ComparisonDataFile
