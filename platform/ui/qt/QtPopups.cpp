#include "platform/ui/qt/QtPopups.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "platform/ui/qt/QtText.h"

namespace uiqt {

namespace {

// A short question under a long title would have the title cut by the
// window frame: the box is made wide enough for it (frame buttons included).
void KeepTitleVisible(QMessageBox& box) {
  constexpr int kFrameRoom = 140;
  auto* layout = qobject_cast<QGridLayout*>(box.layout());
  if (layout == nullptr) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kFrameRoom;
  layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), layout->rowCount(), 0, 1,
                  layout->columnCount());
}

}  // namespace

int ShowMessage(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(title), ToQt(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  KeepTitleVisible(box);
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
  KeepTitleVisible(box);
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
