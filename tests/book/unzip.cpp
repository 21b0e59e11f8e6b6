#include "tests/book/unzip.h"

#include <zip.h>

QList<Entry> Unzip(const QByteArray &bytes)
{
    QList<Entry> entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (source)
            zip_source_free(source);
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        Entry entry{QString::fromUtf8(stat.name), QByteArray(qsizetype(stat.size), '\0'), stat.comp_method};
        zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file) {
            zip_fread(file, entry.data.data(), stat.size);
            zip_fclose(file);
        }
        entries.append(entry);
    }
    zip_close(archive);
    return entries;
}

QByteArray EntryData(const QList<Entry> &entries, const QString &name)
{
    for (const Entry &entry : entries) {
        if (entry.name == name)
            return entry.data;
    }
    return QByteArray();
}
