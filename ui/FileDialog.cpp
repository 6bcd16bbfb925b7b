// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FileDialog.h"

#include "files/FileSets.h"
#include "files/SetupFiles.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include <memory>

std::function<std::optional<QString>(const TFileDialog&)> TFileDialog::Answer;

namespace {

// Whether some file of the set that a chosen name opens exists.
bool FileSetExists(const QString& chosen) {
    for (const std::string& name : FileSetNames(SetupBaseName(chosen.toStdString())))
        if (QFileInfo(QString::fromStdString(name)).isFile())
            return true;
    return false;
}

// An open dialog that, besides existing files, accepts a name whose file set exists. The
// platform's own dialogs cannot be asked, so this one is Qt's.
class TFileSetDialog : public QFileDialog {
public:
    explicit TFileSetDialog(QWidget* parent) : QFileDialog(parent) {
        setOption(QFileDialog::DontUseNativeDialog);
    }

protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && !QFileInfo::exists(chosen.first()) &&
            FileSetExists(chosen.first())) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QString TFileDialog::PlatformFilter() const {
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    return Filter.split(separators, Qt::SkipEmptyParts).join(QLatin1Char(' ')).trimmed();
}

QString TFileDialog::WithDefaultExt(const QString& name) const {
    if (DefaultExt.isEmpty() || name.isEmpty())
        return name;
    const QString fileName = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (fileName.contains(QLatin1Char('.')))
        return name;
    return name + QLatin1Char('.') + DefaultExt;
}

bool TFileDialog::Execute(QWidget* parent) {
    if (Answer) {
        const std::optional<QString> chosen = Answer(*this);
        if (!chosen || chosen->isEmpty())
            return false;
        FileName = WithDefaultExt(*chosen);
        return true;
    }
    const std::unique_ptr<QFileDialog> made = ChoosesFileSet
                                                  ? std::make_unique<TFileSetDialog>(parent)
                                                  : std::make_unique<QFileDialog>(parent);
    QFileDialog& dialog = *made;
    dialog.setAcceptMode(FKind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(FKind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // no command asks before it overwrites
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
    if (!PlatformFilter().isEmpty())
        dialog.setNameFilter(PlatformFilter());
    dialog.setDefaultSuffix(DefaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().first();
    return true;
}
