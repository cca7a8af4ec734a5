#include "records/index_patch.h"

#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <openssl/evp.h>

#include "platform/platform.h"
#include "texts/atomic_file.h"
#include "texts/guarded_file.h"

namespace kvn::records_git {
namespace {

// Git's index file, versions 2 and 3: a header, the entries sorted by path, the extensions,
// the SHA-1 of all that.
constexpr qsizetype kHeader = 12;
constexpr qsizetype kPathOffset = 62;  // an entry's stat data, its object id and its flags
constexpr qsizetype kHash = 20;
constexpr quint16 kExtended = 0x4000;
constexpr quint16 kStage = 0x3000;
constexpr quint16 kNameMask = 0x0fff;
constexpr qint64 kIndexCap = 256 * 1024 * 1024;

quint32 Be32(const QByteArray& b, qsizetype at) { return qFromBigEndian<quint32>(b.constData() + at); }
quint16 Be16(const QByteArray& b, qsizetype at) { return qFromBigEndian<quint16>(b.constData() + at); }
void Put32(QByteArray& out, quint64 v) {
  char b[4];
  qToBigEndian(static_cast<quint32>(v), b);
  out.append(b, 4);
}

// An entry's bytes in the old index, or one made anew.
struct Entry {
  QByteArrayView path;
  QByteArrayView bytes;
};

// Git's order of paths: bytewise, a shorter path first.
bool Before(QByteArrayView a, QByteArrayView b) {
  const int c = std::memcmp(a.data(), b.data(), static_cast<size_t>(std::min(a.size(), b.size())));
  return c < 0 || (c == 0 && a.size() < b.size());
}

// The index's checksum: OpenSSL's SHA-1 takes a tenth of the time Qt's own does on a plant's
// half megabyte, hashed twice per commit.
QByteArray Sha1(QByteArrayView bytes) {
  QByteArray digest(kHash, '\0');
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), static_cast<size_t>(bytes.size()), reinterpret_cast<unsigned char*>(digest.data()), &length,
                 EVP_sha1(), nullptr) != 1)
    return {};
  return digest;
}

bool Same(QByteArrayView a, QByteArrayView b) { return !Before(a, b) && !Before(b, a); }

// The entries of a version 2 or 3 index; false when it holds anything else.
bool ReadEntries(const QByteArray& index, std::vector<Entry>& entries, qsizetype* end) {
  const quint32 version = Be32(index, 4);
  if (version != 2 && version != 3) return false;
  const qsizetype limit = index.size() - kHash;
  qsizetype at = kHeader;
  for (quint32 i = Be32(index, 8); i > 0; --i) {
    if (at + kPathOffset > limit) return false;
    const quint16 flags = Be16(index, at + 60);
    const qsizetype pathAt = at + kPathOffset + ((flags & kExtended) ? 2 : 0);
    const qsizetype nul = index.indexOf('\0', pathAt);
    if (((flags & kExtended) && version < 3) || (flags & kStage) || nul < 0) return false;  // merge conflicts: libgit2's
    const qsizetype next = at + ((nul - at + 8) & ~qsizetype(7));
    if (next > limit) return false;
    entries.push_back({QByteArrayView(index.constData() + pathAt, nul - pathAt), QByteArrayView(index.constData() + at, next - at)});
    at = next;
  }
  *end = at;
  // The extensions: an optional one (its name begins with A to Z) is left out, any other is
  // one this does not know how to keep.
  for (qsizetype e = at; e < limit; e += 8 + Be32(index, e + 4))
    if (e + 8 > limit || index[e] < 'A' || index[e] > 'Z') return false;
  return true;
}

// The entry of a file just written: its stat data as git records it, stage 0.
bool EntryOf(const IndexedFile& f, QByteArray& out) {
  platform::FileStatus st;
  if (!platform::StatusOfFile(f.file, &st)) return false;
  Put32(out, static_cast<quint64>(st.changedSeconds));
  Put32(out, static_cast<quint64>(st.changedNanoseconds));
  Put32(out, static_cast<quint64>(st.modifiedSeconds));
  Put32(out, static_cast<quint64>(st.modifiedNanoseconds));
  Put32(out, st.device);
  Put32(out, st.inode);
  Put32(out, st.executable ? 0100755 : 0100644);
  Put32(out, st.owner);
  Put32(out, st.group);
  Put32(out, static_cast<quint64>(st.size));
  out.append(reinterpret_cast<const char*>(f.blob.id), GIT_OID_RAWSZ);
  char flags[2];
  qToBigEndian(static_cast<quint16>(std::min<qsizetype>(f.path.size(), kNameMask)), flags);
  out.append(flags, 2);
  out.append(f.path);
  out.append(8 - (kPathOffset + f.path.size()) % 8, '\0');
  return true;
}

}  // namespace

bool PatchIndex(const QString& indexPath, std::vector<IndexedFile> files) {
  // git's own protocol: whoever holds index.lock writes the index.
  QFile lock(indexPath + QStringLiteral(".lock"));
  if (!lock.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
  lock.close();
  const auto unlock = qScopeGuard([&] { lock.remove(); });
  const FileRead read = ReadGuardedFile(indexPath, kIndexCap);
  const QByteArray& index = read.bytes;
  if (!read.Ok() || index.size() < kHeader + kHash || !index.startsWith("DIRC")) return false;
  const QByteArray trailer = index.right(kHash);
  if (trailer != QByteArray(kHash, '\0') && Sha1(QByteArrayView(index).first(index.size() - kHash)) != trailer) return false;
  std::vector<Entry> entries;
  qsizetype end = 0;
  if (!ReadEntries(index, entries, &end)) return false;
  std::sort(files.begin(), files.end(), [](const IndexedFile& a, const IndexedFile& b) { return Before(a.path, b.path); });
  std::vector<QByteArray> made(files.size());
  for (size_t i = 0; i < files.size(); ++i)
    if (!EntryOf(files[i], made[i])) return false;
  // The old entries and the new ones merged in git's order, a new one in place of an old one.
  QByteArray out = index.left(8);
  out.reserve(index.size() + 512);
  Put32(out, 0);  // the count, once known
  quint32 count = 0;
  size_t next = 0;
  for (const Entry& e : entries) {
    for (; next < files.size() && !Before(e.path, files[next].path); ++next, ++count) out += made[next];
    if (next > 0 && Same(files[next - 1].path, e.path)) continue;  // replaced
    out += e.bytes;
    ++count;
  }
  for (; next < files.size(); ++next, ++count) out += made[next];
  qToBigEndian(count, out.data() + 8);
  const QByteArray checksum = Sha1(out);
  return checksum.size() == kHash && WriteFileAtomically(indexPath, out + checksum, nullptr);
}

}  // namespace kvn::records_git
