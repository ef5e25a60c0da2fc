#include "app/binders/settings_file_binder.h"

#include <QFileDialog>

#include "app/binders/whole.h"

namespace lumora::app {
namespace {

const char* const kFilter = "Lumora Warp File (*.lwf)";

std::optional<QString> Choose(QWidget* form, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(form);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromLatin1(kFilter));
    dialog.setDefaultSuffix(QStringLiteral("lwf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

}  // namespace

void BindSettingsFile(const Form1Controls& c, settings::SettingsFile& file,
                      base::HandlerGuard& guard, QWidget* form) {
    file.setSaveChoice([form] { return Choose(form, QFileDialog::AcceptSave); });
    file.setOpenChoice([form] { return Choose(form, QFileDialog::AcceptOpen); });
    QObject::connect(c.Button10, &QAbstractButton::clicked, form,
                     Whole(guard, [&file] { file.Button10Click(); }));
    QObject::connect(c.Button12, &QAbstractButton::clicked, form,
                     Whole(guard, [&file] { file.Button12Click(); }));
}

}  // namespace lumora::app
