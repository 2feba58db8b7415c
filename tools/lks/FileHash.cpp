// File hashing through Qt's SHA-256, read in chunks so that a large plan never sits in memory
// twice.
#include "FileHash.h"

#include <QCryptographicHash>
#include <QFile>

bool Sha256OfFile(const std::string& path, std::string& hex, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return false;
    }
    hex = hash.result().toHex().toStdString();
    return true;
}
