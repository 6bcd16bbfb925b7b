#include "ui/FileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>

std::function<std::optional<QString>(const TFileDialog&)> TFileDialog::Answer;

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
    QFileDialog dialog(parent);
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
