#include "app/qt_file_dialog.h"

#include <QAbstractItemView>
#include <QCompleter>

namespace kelvane {

QtFileDialog::QtFileDialog(QWidget* parent) : dialog_(parent) {
  dialog_.setObjectName("OpenDialogDB1");
  dialog_.setOption(QFileDialog::DontUseNativeDialog);
  dialog_.setOption(QFileDialog::ReadOnly);
  dialog_.setOption(QFileDialog::HideNameFilterDetails);
  dialog_.setFileMode(QFileDialog::ExistingFile);  // only an existing file can be chosen
  dialog_.setAcceptMode(QFileDialog::AcceptOpen);
  // Shown as "*.DB"; Linux names are case-sensitive, so both spellings match.
  dialog_.setNameFilter("*.DB (*.db *.DB *.Db *.dB)");
}

bool QtFileDialog::Execute() {
  dialog_.setDirectory(QFile::decodeName(QByteArray::fromStdString(initialDir_)));
  dialog_.setDefaultSuffix(QString::fromStdString(defaultExt_));
  dialog_.selectFile(QString::fromStdString(fileName_));
  const int result = dialog_.exec();
  // The dialog is kept for the next Open; a completion list still up when
  // Enter accepted a typed path would otherwise stay on the screen.
  for (QCompleter* completer : dialog_.findChildren<QCompleter*>())
    if (completer->popup() != nullptr) completer->popup()->hide();
  if (result != QDialog::Accepted || dialog_.selectedFiles().isEmpty()) return false;
  fileName_ = QFile::encodeName(dialog_.selectedFiles().first()).toStdString();
  return true;
}

}  // namespace kelvane
