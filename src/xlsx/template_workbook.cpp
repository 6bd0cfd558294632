#include "xlsx/template_workbook.h"

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

bool readPackage(const QByteArray& bytes, Package& package) {
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    package.comment = zip.getComment();
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        Entry entry;
        if (!zip.getCurrentFileInfo(&entry.info))
            return false;
        QuaZipFile raw(&zip);
        if (!raw.open(QIODevice::ReadOnly, &entry.method, &entry.level, true))
            return false;
        entry.compressed = raw.readAll();
        raw.close();
        QuaZipFile plain(&zip);
        if (!plain.open(QIODevice::ReadOnly))
            return false;
        entry.content = plain.readAll();
        plain.close();
        if (raw.getZipError() != UNZ_OK || plain.getZipError() != UNZ_OK ||
            static_cast<quint64>(entry.content.size()) != entry.info.uncompressedSize)
            return false;
        if (!package.byName.emplace(entry.info.name, package.entries.size()).second)
            return false;  // two entries of one name: which one a reader takes is anyone's guess
        package.entries.push_back(std::move(entry));
    }
    return zip.getZipError() == UNZ_OK && !package.entries.empty();
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

// Sheet name -> worksheet part, from the workbook part and its relationships.
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
        if (rel != rels.end() && rel->second.type.endsWith(QStringLiteral("/worksheet")))
            partByLowerName.emplace(a.value(QStringLiteral("name")).toString().toLower(),
                                    resolveTarget(folderOf(workbookPart), rel->second.target));
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

WorkbookError readTemplateFile(const QString& path, QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.exists())
        return WorkbookError::TemplateMissing;
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return WorkbookError::TemplateUnreadable;
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return WorkbookError::TemplateUnreadable;
    return WorkbookError::None;
}

FillResult fillWorkbook(const QByteArray& templateBytes, const std::vector<SheetTexts>& sheets) {
    FillResult result;
    Package package;
    std::map<QString, QString> partByName;
    if (!readPackage(templateBytes, package) || !findSheetParts(package, partByName)) {
        result.error = WorkbookError::TemplateDamaged;
        return result;
    }

    std::map<QString, QByteArray> edited;  // entry name -> new content
    for (const SheetTexts& sheet : sheets) {
        const auto part = partByName.find(sheet.sheetName.toLower());
        if (part == partByName.end()) {
            result.error = WorkbookError::SheetMissing;
            result.sheetName = sheet.sheetName;
            return result;
        }
        const auto previous = edited.find(part->second);
        const QByteArray* xml = previous != edited.end() ? &previous->second : package.content(part->second);
        std::optional<QByteArray> changed = xml ? writeCellTexts(*xml, sheet.cells) : std::nullopt;
        if (!changed) {
            result.error = WorkbookError::TemplateDamaged;
            return result;
        }
        edited[part->second] = std::move(*changed);
    }

    QBuffer buffer(&result.workbook);
    QuaZip zip(&buffer);
    // The output is assembled in memory, so sizes go into the local headers directly.
    zip.setDataDescriptorWritingEnabled(false);
    if (!zip.open(QuaZip::mdCreate)) {
        result.error = WorkbookError::OutputFailed;
        return result;
    }
    bool ok = true;
    for (const Entry& entry : package.entries) {
        const auto change = edited.find(entry.info.name);
        ok = ok && writeEntry(zip, entry, change == edited.end() ? nullptr : &change->second);
    }
    zip.setComment(package.comment);
    zip.close();
    if (!ok || zip.getZipError() != ZIP_OK) {
        result.error = WorkbookError::OutputFailed;
        result.workbook.clear();
    }
    return result;
}

}  // namespace veltrane::xlsx
