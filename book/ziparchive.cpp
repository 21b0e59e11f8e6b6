#include "book/ziparchive.h"

#include <zip.h>

#include <cstdio>
#include <ctime>

namespace pagewick::book {

namespace {

// A fixed date in the entries keeps the archive of the same book the same.
constexpr time_t kEntryTime = 946684800; // 2000-01-01

// Deflate's fast levels pack a book's text within about one per cent of the
// default level, in half the time.
constexpr zip_uint32_t kDeflateLevel = 3;

bool AddEntry(zip_t *archive, const ZipEntry &entry)
{
    // The data stays alive in `entry` until the archive is closed.
    zip_source_t *source = zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const zip_uint64_t i = zip_uint64_t(index);
    return zip_set_file_compression(archive, i, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, kDeflateLevel) == 0
        && zip_file_set_mtime(archive, i, kEntryTime, 0) == 0;
}

std::optional<QByteArray> ReadAll(zip_source_t *source)
{
    if (zip_source_open(source) < 0)
        return std::nullopt;
    QByteArray bytes;
    std::optional<QByteArray> result;
    if (zip_source_seek(source, 0, SEEK_END) == 0) {
        const zip_int64_t size = zip_source_tell(source);
        if (size >= 0 && zip_source_seek(source, 0, SEEK_SET) == 0) {
            bytes.resize(qsizetype(size));
            if (zip_source_read(source, bytes.data(), zip_uint64_t(size)) == size)
                result = bytes;
        }
    }
    zip_source_close(source);
    return result;
}

} // namespace

std::optional<QByteArray> ZipArchive(const QList<ZipEntry> &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return std::nullopt;

    zip_error_init(&error);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(buffer);
        return std::nullopt;
    }
    // The archive now owns the buffer; it is kept beyond the archive's end,
    // to read the finished archive from.
    zip_source_keep(buffer);

    bool ok = true;
    for (const ZipEntry &entry : entries) {
        if (!AddEntry(archive, entry)) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        zip_discard(archive);
        zip_source_free(buffer);
        return std::nullopt;
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = ReadAll(buffer);
    zip_source_free(buffer);
    return bytes;
}

} // namespace pagewick::book
