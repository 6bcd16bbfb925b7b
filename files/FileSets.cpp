// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileSets.h"

#include "core/Cat.h"
#include "files/SetupFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

std::array<std::string, 4> FileSetNames(const std::string& base) {
    return {base + ".INP", base + ".MIX", base + ".CAL", base + ".CEL"};
}

std::string FileSetBaseOf(const std::string& argument) {
    const QString suffix = QFileInfo(QString::fromStdString(argument)).suffix().toUpper();
    for (const char* extension : {"INP", "MIX", "CAL", "CEL"})
        if (suffix == QLatin1String(extension))
            return SetupBaseName(argument);
    return argument;
}

bool NamesAFolder(const std::string& base) {
    return base.empty() || base.back() == '/' || QFileInfo(QString::fromStdString(base)).isDir();
}

std::string UnreadFilesMessage(const std::string& program, const std::string& base,
                               const std::array<bool, 4>& read, const std::string& consequence) {
    const std::array<std::string, 4> names = FileSetNames(base);
    std::string message;
    if (read == std::array<bool, 4>{}) {
        return Cat(program, ": could not read any file of the set; tried ", names[0], ", ",
                   names[1], ", ", names[2], " and ", names[3], "\n");
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!read[i])
            message += Cat(program, ": could not read ", names[i], "; ", consequence, "\n");
    return message;
}

InstallResult InstallFileSet(const std::string& from, const std::string& to, std::string& error) {
    const std::array<std::string, 4> sources = FileSetNames(from);
    const std::array<std::string, 4> targets = FileSetNames(to);
    for (const std::string& target : targets)
        if (QFileInfo::exists(QString::fromStdString(target)))
            return InstallResult::AlreadyThere;

    const QString folder = QFileInfo(QString::fromStdString(to)).absolutePath();
    if (!QDir().mkpath(folder)) {
        error = Cat("cannot make the folder ", folder.toStdString());
        return InstallResult::Failed;
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        QFile source(QString::fromStdString(sources[i]));
        if (!source.copy(QString::fromStdString(targets[i]))) {
            error = Cat("cannot copy ", sources[i], " to ", targets[i], ": ",
                        source.errorString().toStdString());
            for (std::size_t done = 0; done < i; ++done)
                QFile::remove(QString::fromStdString(targets[done]));
            return InstallResult::Failed;
        }
    }
    return InstallResult::Installed;
}
