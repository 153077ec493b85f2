// The editor window's file commands. Each either completes or leaves the
// document and the files as they were; errors reach the user through Guard.

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "editor/editor_window.h"
#include "editor/advice_runner.h"
#include "editor/flash_check_runner.h"
#include "qt/display_text.h"
#include "state/paths.h"

namespace kelvane {
namespace {

QString SessionDirectory() { return QFile::decodeName(QByteArray::fromStdString(HostPath(kSessionDirectory))); }

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void EditorWindow::OpenFile(const QString& path) {
  Guard([&] {
    model_.Open(LocalPath(path));
    Refresh();
  });
}

QString EditorWindow::ChooseFile(const QString& title, const QString& filter, bool saving, const QString& suggested) {
  // Qt's own dialog, as Kelvane's: the same everywhere, and it keeps no
  // history of its own (the program keeps no settings).
  QFileDialog dialog(this, title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilter(filter);
  dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Kelvane's Open starts in its session directory; so do these, until the
  // session has a file of its own.
  dialog.setDirectory(model_.Path().empty()
                          ? SessionDirectory()
                          : QFileInfo(QFile::decodeName(QByteArray::fromStdString(model_.Path()))).absolutePath());
  if (!suggested.isEmpty()) dialog.selectFile(suggested);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void EditorWindow::NewSession() {
  if (!MayDiscard()) return;
  model_.New();
  Refresh();
  statusBar()->showMessage("New session", 3000);
}

void EditorWindow::OpenSession() {
  if (!MayDiscard()) return;
  const QString path = ChooseFile("Open", "Ambrel sessions (*.db *.DB);;All files (*)", false, {});
  if (path.isEmpty()) return;
  model_.Open(LocalPath(path));
  Refresh();
  statusBar()->showMessage("Opened " + path, 3000);
}

bool EditorWindow::SaveSession() {
  if (model_.Path().empty()) return SaveSessionAs();
  return SaveTo(model_.Path());
}

bool EditorWindow::SaveSessionAs() {
  // What the file cannot hold is said before a file is chosen for it.
  if (!ExplainUnsavable()) return false;
  const QString name = model_.Path().empty() ? QString::fromStdString(SuggestedFileName(model_.Document())) + ".db"
                                             : DisplayText(model_.DisplayName());
  QString path = ChooseFile("Save As", "Ambrel sessions (*.db *.DB)", true, name);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += ".db";
  return SaveTo(LocalPath(path));
}

bool EditorWindow::ExplainUnsavable() {
  QStringList blocking;
  for (const Problem& p : model_.Problems())
    if (p.blocksSaving) blocking << QString::fromStdString(p.message);
  if (blocking.isEmpty()) return true;
  QMessageBox box(QMessageBox::Warning, "Before saving", "An Ambrel file cannot hold this session as it is.",
                  QMessageBox::Ok, this);
  box.setObjectName("CannotSaveBox");
  box.setInformativeText(blocking.join("\n\n") + "\n\nChange these, then save again. Nothing was written.");
  box.exec();
  return false;
}

bool EditorWindow::ConfirmSave() {
  if (!ExplainUnsavable()) return false;
  QStringList others;
  for (const Problem& p : model_.Problems())
    if (!p.blocksSaving) others << QString::fromStdString(p.message);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const FlashVerdict flashes = flashes_->CheckNow(model_.Document());
  QApplication::restoreOverrideCursor();
  const bool failsCheck = flashes.checked && !flashes.passes;
  if (!failsCheck && others.isEmpty()) return true;
  QStringList text;
  if (failsCheck) {
    QString flashing = QString::fromStdString(flashes.text) +
                       "\nFlashing like this can trigger seizures in people with photosensitive epilepsy.";
    // Only what was measured; advice still being measured is not guessed at.
    if (const auto advice = advice_->Known(model_.Document()); advice && !advice->empty()) {
      flashing += advice->front().verdict.passes ? "\nMeasured to pass:" : "\nMeasured to flash less:";
      for (const Suggestion& s : *advice)
        flashing += QString("\n- %1 (%2% of the field)").arg(QString::fromStdString(s.change)).arg(s.verdict.share * 100, 0, 'f', 0);
    }
    text << flashing;
  }
  text << others;
  QMessageBox box(QMessageBox::Warning, "Before saving",
                  failsCheck ? "This session fails the flash check." : "Kelvane would not play this session as shown.",
                  QMessageBox::NoButton, this);
  box.setInformativeText(text.join("\n\n"));
  QPushButton* save = box.addButton("&Save Anyway", QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(cancel);
  box.exec();
  return box.clickedButton() == save;
}

bool EditorWindow::SaveTo(const std::string& path) {
  if (!ConfirmSave()) return false;
  model_.SaveAs(path);
  Refresh();
  statusBar()->showMessage("Saved " + DisplayText(path), 5000);
  return true;
}

void EditorWindow::ImportJson() {
  if (!MayDiscard()) return;
  const QString path = ChooseFile("Import JSON", "Session descriptions (*.json);;All files (*)", false, {});
  if (path.isEmpty()) return;
  model_.ImportJson(LocalPath(path));
  Refresh();
  statusBar()->showMessage("Imported " + path + "; Save As gives it a file", 5000);
}

void EditorWindow::ExportJson() {
  const QString base = model_.Path().empty() ? QString::fromStdString(SuggestedFileName(model_.Document()))
                                             : QFileInfo(DisplayText(model_.DisplayName())).completeBaseName();
  QString path = ChooseFile("Export JSON", "Session descriptions (*.json)", true, base + ".json");
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ".json";
  model_.ExportJson(LocalPath(path));
  statusBar()->showMessage("Exported " + path, 5000);
}

bool EditorWindow::MayDiscard() {
  if (!model_.Modified()) return true;
  QMessageBox box(QMessageBox::Question, "Kelvane Editor",
                  QString("Save the changes to %1?").arg(DisplayText(model_.DisplayName())),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setInformativeText("Without saving, the changes are lost.");
  // Keys for each answer, as in the rest of the window.
  box.button(QMessageBox::Save)->setText("&Save");
  box.button(QMessageBox::Discard)->setText("&Discard");
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  if (answer == QMessageBox::Discard) return true;
  if (answer != QMessageBox::Save) return false;
  return SaveSession();
}

}  // namespace kelvane
