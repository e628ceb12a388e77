#include "platform/ui/qt/QtPopups.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/qt/QtText.h"

namespace uiqt {

int ShowMessage(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(title), ToQt(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return 0;
}

int ShowQuestion(const uimodel::GenericPopupRequest& request) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(request.title), ToQt(request.text));
  box.setTextFormat(Qt::PlainText);
  std::vector<QPushButton*> buttons;
  for (const std::string& label : request.buttons) buttons.push_back(box.addButton(ToQt(label), QMessageBox::ActionRole));
  box.setDefaultButton(buttons[static_cast<std::size_t>(request.enterButton - 1)]);
  box.setEscapeButton(buttons[static_cast<std::size_t>(request.escapeButton - 1)]);
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i) + 1;
  return request.escapeButton;
}

int ShowFileDialog(const uimodel::FileSelectRequest& request, std::string* path) {
  const bool save = request.buttonLabel == VAL_SAVE_BUTTON;
  QFileDialog dialog(nullptr, ToQt(request.title), QString::fromLocal8Bit(request.defaultDirectory.c_str()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ShowDirsOnly, false);
  if (!request.allowMakeDirectory) dialog.setOption(QFileDialog::ReadOnly, !save);
  const QStringList patterns = ToQt(request.fileTypeList).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  if (!patterns.isEmpty()) {
    dialog.setNameFilters(patterns);
    const QString first = patterns.first(), suffix = first.mid(2);
    const bool plainSuffix = first.startsWith(QLatin1String("*.")) && !suffix.contains(QLatin1Char('*')) &&
                             !suffix.contains(QLatin1Char('?'));
    if (request.restrictExtension && plainSuffix) dialog.setDefaultSuffix(suffix);
  }
  const QString spec = ToQt(request.defaultFileSpec);
  if (!spec.isEmpty() && !spec.contains(QLatin1Char('*')) && !spec.contains(QLatin1Char('?'))) dialog.selectFile(spec);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return VAL_NO_FILE_SELECTED;
  const QString chosen = dialog.selectedFiles().first();
  *path = chosen.toLocal8Bit().toStdString();
  return QFileInfo::exists(chosen) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

}  // namespace uiqt
