#include "ui/TrashRecord.h"

#include "files/SafeFile.h"
#include "settings/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace pictorant {

namespace {

bool existsAtAll(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The freedesktop trash keeps a file as <trash>/files/<name> and what it knows of it in
// <trash>/info/<name>.trashinfo.
QString trashInfoPath(const QString& trashPath) {
    const QFileInfo file(trashPath);
    return QDir(file.absolutePath() + "/../info").absoluteFilePath(file.fileName() + ".trashinfo");
}

QString reasonFor(int error) {
    if (error == EEXIST)
        return QStringLiteral("a file has that name now");
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString lastDeletedRecordPath() {
    return QString::fromStdString((userStateFolder() / "last-deleted").string());
}

QString restoreMessage(const RestoreOutcome& outcome) {
    if (!outcome.hadRecord)
        return QStringLiteral("There are no deleted files to restore.");
    const qsizetype total = outcome.restored.size() + outcome.notRestored.size();
    const QString files = total == 1 ? QStringLiteral("file") : QStringLiteral("files");
    QString text = outcome.notRestored.isEmpty()
                       ? QStringLiteral("Restored %1 %2 from the trash.").arg(total).arg(files)
                       : QStringLiteral("Restored %1 of %2 %3 from the trash.")
                             .arg(outcome.restored.size())
                             .arg(total)
                             .arg(files);
    if (!outcome.notRestored.isEmpty())
        text += "\r\nThese could not come back:\r\n" + outcome.notRestored.join("\r\n");
    return text;
}

TrashRecord::TrashRecord(QString recordPath) : path_(std::move(recordPath)) {}

std::vector<TrashedFile> TrashRecord::moveToTrash(const QStringList& paths) {
    // The desktop trash lives in the data folder, which a fresh account may not have
    // yet; without it every file would silently stay.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    std::vector<TrashedFile> moved;
    for (const QString& path : paths) {
        QString inTrash;
        if (QFile::moveToTrash(path, &inTrash))
            moved.push_back({QFileInfo(path).absoluteFilePath(), inTrash});
    }
    if (moved.empty())
        return moved;
    try {
        save(moved);
    } catch (const SafeWriteError&) {
        // Deletion stays silent. An older record must not stand in for this deletion:
        // restoring would bring back files the user did not mean.
        QFile::remove(path_);
    }
    return moved;
}

std::vector<TrashedFile> TrashRecord::load() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    std::vector<TrashedFile> files;
    for (const QJsonValue& value : document.object().value("files").toArray()) {
        const QJsonObject entry = value.toObject();
        const QString original = entry.value("original").toString();
        const QString trash = entry.value("trash").toString();
        if (!original.isEmpty() && !trash.isEmpty())
            files.push_back({original, trash});
    }
    return files;
}

void TrashRecord::save(const std::vector<TrashedFile>& files) const {
    if (files.empty()) {
        QFile::remove(path_);
        return;
    }
    QJsonArray list;
    for (const TrashedFile& file : files)
        list.append(QJsonObject{{"original", file.originalPath}, {"trash", file.trashPath}});
    const QByteArray bytes = QJsonDocument(QJsonObject{{"files", list}}).toJson();
    QDir().mkpath(QFileInfo(path_).absolutePath());
    writeFileSafely(QFile::encodeName(path_).toStdString(), bytes.toStdString());
}

RestoreOutcome TrashRecord::restore() {
    RestoreOutcome outcome;
    const std::vector<TrashedFile> files = load();
    outcome.hadRecord = !files.empty();
    std::vector<TrashedFile> left;
    for (const TrashedFile& file : files) {
        if (!existsAtAll(file.trashPath)) {
            outcome.notRestored << file.originalPath + ": no longer in the trash";
            continue;
        }
        const QByteArray from = QFile::encodeName(file.trashPath);
        const QByteArray to = QFile::encodeName(file.originalPath);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) !=
            0) {
            outcome.notRestored << file.originalPath + ": " + reasonFor(errno);
            left.push_back(file);
            continue;
        }
        QFile::remove(trashInfoPath(file.trashPath));
        outcome.restored << file.originalPath;
    }
    try {
        save(left);
    } catch (const SafeWriteError&) {
        // The files that came back are back; a stale record only makes a later restore
        // say they are no longer in the trash.
    }
    return outcome;
}

} // namespace pictorant
