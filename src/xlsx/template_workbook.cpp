#include "xlsx/template_workbook.h"

#include "core/model/file_io.h"
#include "core/strings/strings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <map>

namespace veltrane::xlsx {

namespace {

const QString kRelationshipsNamespace = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kStrictRelationshipsNamespace = QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships");

struct Entry {
    QuaZipFileInfo64 info;
    int method = 0;
    int level = 0;
    QByteArray compressed;  // as stored, copied unchanged when the entry is not edited
    QByteArray content;     // decompressed, which also proves the checksum
};

struct Package {
    std::vector<Entry> entries;
    std::map<QString, std::size_t> byName;
    QString comment;

    const QByteArray* content(const QString& name) const {
        const auto it = byName.find(name);
        return it == byName.end() ? nullptr : &entries[it->second].content;
    }
};

enum class PackageProblem { None, Damaged, TooLarge };

// Inflates at most `limit` bytes of the open entry; false when it holds more or does not inflate.
bool readBounded(QuaZipFile& file, quint64 limit, QByteArray& out) {
    out.clear();
    out.reserve(static_cast<qsizetype>(limit));
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (static_cast<quint64>(out.size()) + static_cast<quint64>(got) > limit)
            return false;
        out.append(chunk, static_cast<qsizetype>(got));
    }
}

// True when the file ends exactly where its end-of-central-directory record (with its comment) says
// it does. A reader that tolerates a short record takes the missing bytes as zeros, so a template
// cut a few bytes short would otherwise pass as whole.
bool endRecordComplete(const QByteArray& bytes) {
    constexpr qsizetype kRecordSize = 22;
    const QByteArray signature("PK\x05\x06", 4);
    for (qsizetype at = bytes.lastIndexOf(signature); at >= 0 && at >= bytes.size() - kRecordSize - 0xFFFF;
         at = at > 0 ? bytes.lastIndexOf(signature, at - 1) : -1) {
        if (at + kRecordSize > bytes.size())
            continue;
        const auto commentLength = static_cast<qsizetype>(static_cast<unsigned char>(bytes[at + 20]) |
                                                          (static_cast<unsigned char>(bytes[at + 21]) << 8));
        if (at + kRecordSize + commentLength == bytes.size())
            return true;
    }
    return false;
}

PackageProblem readPackage(const QByteArray& bytes, const TemplateLimits& limits, Package& package) {
    if (!endRecordComplete(bytes))
        return PackageProblem::Damaged;
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip))
        return PackageProblem::Damaged;
    const int entryCount = zip.getEntriesCount();
    if (entryCount < 0)
        return PackageProblem::Damaged;
    if (static_cast<quint64>(entryCount) > limits.entryCount)
        return PackageProblem::TooLarge;
    package.comment = zip.getComment();
    quint64 inflated = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        Entry entry;
        if (!zip.getCurrentFileInfo(&entry.info))
            return PackageProblem::Damaged;
        // Sizes are checked as the directory states them, before anything is inflated; the
        // inflating itself then stops at the stated size, so a directory that lies costs nothing.
        const quint64 size = entry.info.uncompressedSize;
        if (size > limits.entryBytes || size > limits.inflatedBytes - inflated)
            return PackageProblem::TooLarge;
        inflated += size;
        if (entry.info.compressedSize > static_cast<quint64>(bytes.size()))
            return PackageProblem::Damaged;
        QuaZipFile raw(&zip);
        if (!raw.open(QIODevice::ReadOnly, &entry.method, &entry.level, true))
            return PackageProblem::Damaged;
        const bool rawRead = readBounded(raw, entry.info.compressedSize, entry.compressed);
        raw.close();
        QuaZipFile plain(&zip);
        if (!rawRead || !plain.open(QIODevice::ReadOnly))
            return PackageProblem::Damaged;
        const bool plainRead = readBounded(plain, size, entry.content);
        plain.close();
        if (!plainRead || raw.getZipError() != UNZ_OK || plain.getZipError() != UNZ_OK ||
            static_cast<quint64>(entry.compressed.size()) != entry.info.compressedSize ||
            static_cast<quint64>(entry.content.size()) != size)
            return PackageProblem::Damaged;
        if (!package.byName.emplace(entry.info.name, package.entries.size()).second)
            return PackageProblem::Damaged;  // two entries of one name: which one a reader takes is anyone's guess
        package.entries.push_back(std::move(entry));
        if (package.entries.size() > limits.entryCount)
            return PackageProblem::TooLarge;
    }
    return zip.getZipError() == UNZ_OK && !package.entries.empty() ? PackageProblem::None : PackageProblem::Damaged;
}

// A relationship target as a zip entry name: relative to the folder of the part that owns it,
// or absolute from the package root.
QString resolveTarget(const QString& ownerFolder, const QString& target) {
    const QString joined = target.startsWith(u'/') ? target : ownerFolder + u'/' + target;
    QString path = QDir::cleanPath(joined);
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return path;
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString relationshipsPartOf(const QString& part) {
    const QString folder = folderOf(part);
    const QString file = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

struct Relationship {
    QString type;
    QString target;
};

// Relationship id -> relationship; links outside the package are left out.
bool readRelationships(const QByteArray& xml, std::map<QString, Relationship>& byId) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QStringLiteral("Relationship"))
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (a.value(QStringLiteral("TargetMode")) != QStringLiteral("External"))
            byId[a.value(QStringLiteral("Id")).toString()] = {a.value(QStringLiteral("Type")).toString(),
                                                               a.value(QStringLiteral("Target")).toString()};
    }
    return !reader.hasError();
}

// The workbook part named by the package's root relationships.
QString findWorkbookPart(const Package& package) {
    const QByteArray* rootRels = package.content(QStringLiteral("_rels/.rels"));
    std::map<QString, Relationship> rels;
    if (!rootRels || !readRelationships(*rootRels, rels))
        return {};
    for (const auto& [id, rel] : rels)
        if (rel.type.endsWith(QStringLiteral("/officeDocument")))
            return resolveTarget(QString(), rel.target);
    return {};
}

// Sheet name -> worksheet part, from the workbook part and its relationships. Two sheets of one
// name, or two sheets on one part, do not make a workbook whose cells can be filled.
bool findSheetParts(const Package& package, std::map<QString, QString>& partByLowerName) {
    const QString workbookPart = findWorkbookPart(package);
    const QByteArray* workbook = workbookPart.isEmpty() ? nullptr : package.content(workbookPart);
    const QByteArray* workbookRels = package.content(relationshipsPartOf(workbookPart));
    std::map<QString, Relationship> rels;
    if (!workbook || !workbookRels || !readRelationships(*workbookRels, rels))
        return false;
    QXmlStreamReader reader(*workbook);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QStringLiteral("sheet"))
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        QString id = a.value(kRelationshipsNamespace, QStringLiteral("id")).toString();
        if (id.isEmpty())
            id = a.value(kStrictRelationshipsNamespace, QStringLiteral("id")).toString();
        const auto rel = rels.find(id);
        // Chart sheets and dialog sheets have no cells to fill; only worksheets count.
        if (rel == rels.end() || !rel->second.type.endsWith(QStringLiteral("/worksheet")))
            continue;
        const QString part = resolveTarget(folderOf(workbookPart), rel->second.target);
        for (const auto& [name, known] : partByLowerName)
            if (known == part)
                return false;
        if (!partByLowerName.emplace(a.value(QStringLiteral("name")).toString().toLower(), part).second)
            return false;
    }
    return !reader.hasError();
}

bool writeEntry(QuaZip& zip, const Entry& entry, const QByteArray* newContent) {
    QuaZipNewInfo info(entry.info);
    QuaZipFile file(&zip);
    bool opened = false;
    if (newContent) {
        opened = file.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, Z_DEFAULT_COMPRESSION);
    } else {
        info.uncompressedSize = static_cast<ulong>(entry.info.uncompressedSize);
        opened = file.open(QIODevice::WriteOnly, info, nullptr, entry.info.crc, entry.method, entry.level, true);
    }
    if (!opened)
        return false;
    const QByteArray& data = newContent ? *newContent : entry.compressed;
    const bool written = file.write(data) == data.size();
    file.close();
    return written && file.getZipError() == ZIP_OK;
}

}  // namespace

Result<QByteArray> readTemplateFile(const QString& path, const TemplateLimits& limits) {
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    if (!QFileInfo::exists(path))
        return makeError(ErrorKind::Io, tr(Str::ExportTemplateMissing));
    const Result<std::vector<std::uint8_t>> bytes = readWholeFile(path.toStdString(), limits.fileBytes);
    if (!bytes)
        return makeError(bytes.kind(), format(bytes.kind() == ErrorKind::Refused ? Str::ExportTemplateTooLarge
                                                                                 : Str::ExportTemplateUnreadable,
                                              {shown}));
    return QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()));
}

Result<QByteArray> fillWorkbook(const QByteArray& templateBytes, const std::vector<SheetTexts>& sheets,
                                const QString& templateName, const TemplateLimits& limits) {
    const std::string shown = QDir::toNativeSeparators(templateName).toStdString();
    const Error damaged = makeError(ErrorKind::Format, format(Str::ExportTemplateDamaged, {shown}));
    Package package;
    std::map<QString, QString> partByName;
    switch (readPackage(templateBytes, limits, package)) {
    case PackageProblem::None:
        break;
    case PackageProblem::Damaged:
        return damaged;
    case PackageProblem::TooLarge:
        return makeError(ErrorKind::Format, format(Str::ExportTemplateTooLarge, {shown}));
    }
    if (!findSheetParts(package, partByName))
        return damaged;

    std::map<QString, QByteArray> edited;  // entry name -> new content
    for (const SheetTexts& sheet : sheets) {
        const auto part = partByName.find(sheet.sheetName.toLower());
        if (part == partByName.end())
            return makeError(ErrorKind::Format, format(Str::ExportTemplateSheetMissing, {shown, sheet.sheetName.toStdString()}));
        // One sheet's texts per part: a part named twice would receive both.
        if (edited.contains(part->second))
            return damaged;
        const QByteArray* xml = package.content(part->second);
        std::optional<QByteArray> changed = xml ? writeCellTexts(*xml, sheet.cells) : std::nullopt;
        if (!changed)
            return damaged;
        edited[part->second] = std::move(*changed);
    }

    QByteArray workbook;
    QBuffer buffer(&workbook);
    QuaZip zip(&buffer);
    const Error notAssembled = makeError(ErrorKind::Io, tr(Str::FileSaveFailed));
    // The output is assembled in memory, so sizes go into the local headers directly.
    zip.setDataDescriptorWritingEnabled(false);
    if (!zip.open(QuaZip::mdCreate))
        return notAssembled;
    bool ok = true;
    for (const Entry& entry : package.entries) {
        const auto change = edited.find(entry.info.name);
        ok = ok && writeEntry(zip, entry, change == edited.end() ? nullptr : &change->second);
    }
    zip.setComment(package.comment);
    zip.close();
    if (!ok || zip.getZipError() != ZIP_OK)
        return notAssembled;
    return workbook;
}

}  // namespace veltrane::xlsx
