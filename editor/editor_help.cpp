// The editor window's Help menu, and the warning the preview shows before
// it first runs.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "assets/artwork/artwork.h"
#include "editor/editor_window.h"
#include "editor/tunnel_preview.h"

namespace kelvane {
namespace {

// The keys of the note grid, which are no menu's.
constexpr std::pair<const char*, const char*> kGridKeys[] = {
    {"0 to 13", "type a note code: 2 to 9 move on at once, 0 and 1 after a second digit"},
    {"Space", "on to the next note"},
    {"Backspace, Delete", "the selected notes become 0"},
    {"Arrow keys", "move around; with Shift, select"},
    {"F2, a double click", "rename a row (its label)"},
    {"Alt and an underlined letter", "go to that box"},
};

}  // namespace

// Shown in the preview's place at every start, before anything flashes: the
// editor keeps no settings, so it cannot know who has read it before.
QWidget* EditorWindow::MakeWarningPage() {
  auto* inside = new QWidget(this);
  auto* layout = new QVBoxLayout(inside);
  auto* text = new QLabel(inside);
  text->setWordWrap(true);
  text->setTextFormat(Qt::RichText);
  text->setText("<p><b>Photosensitivity warning.</b> The preview shows the session's flashing, moving and patterned "
                "light as Kelvane will. Such light can trigger seizures in people with photosensitive epilepsy, even "
                "in people who have never had a seizure.</p><p>Do not look at it if you or anyone in your family has "
                "epilepsy or has ever had a seizure. Stop at once and look away if you feel dizzy or unwell. The "
                "whole warning is under Help.</p><p>Once you have read this:</p>");
  auto* start = new QPushButton("&Show the preview", inside);
  start->setObjectName("ShowPreview");
  connect(start, &QPushButton::clicked, this, [this] { previewStack_->setCurrentWidget(preview_); });
  layout->addStretch(1);
  layout->addWidget(text);
  layout->addWidget(start, 0, Qt::AlignLeft);
  layout->addStretch(1);
  // A small window scrolls it rather than cut it off.
  auto* page = new QScrollArea(this);
  page->setObjectName("PreviewWarning");
  page->setWidget(inside);
  page->setWidgetResizable(true);
  page->setFrameShape(QFrame::NoFrame);
  page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  page->setMinimumWidth(inside->minimumSizeHint().width() + page->verticalScrollBar()->sizeHint().width());
  return page;
}

void EditorWindow::ShowShortcuts() {
  QString rows;
  const auto row = [&rows](const QString& keys, const QString& what) {
    rows += QString("<tr><td style='padding-right:16px'><b>%1</b></td><td>%2</td></tr>").arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
  };
  for (QAction* menu : menuBar()->actions()) {
    if (menu->menu() == nullptr) continue;
    for (QAction* action : menu->menu()->actions())
      if (!action->shortcuts().isEmpty()) {
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) keys << key.toString(QKeySequence::NativeText);
        row(keys.join(", "), QString(action->text()).remove('&').remove("..."));
      }
  }
  rows += "<tr><td colspan=2><br><b>In the note grid</b></td></tr>";
  for (const auto& [keys, what] : kGridKeys) row(keys, what);
  QMessageBox box(QMessageBox::NoIcon, "Keyboard Shortcuts", "<table>" + rows + "</table>", QMessageBox::Ok, this);
  box.setObjectName("ShortcutsBox");
  box.setTextFormat(Qt::RichText);
  box.exec();
}

void EditorWindow::ShowWarning() {
  QMessageBox box(QMessageBox::Warning, "Photosensitivity Warning", PhotosensitivityWarning(), QMessageBox::Ok, this);
  box.setObjectName("WarningBox");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void EditorWindow::ShowAbout() {
  QMessageBox box(QMessageBox::NoIcon, "About Kelvane Editor",
                  QString("<p><b>Kelvane Editor %1</b></p><p>Makes light-and-sound sessions (Ambrel files) for "
                          "Kelvane by looking and listening, and checks them for flashing before anyone watches "
                          "them.</p><p>The licence, the disclaimer and the photosensitivity warning are Kelvane's; "
                          "see Help &gt; Photosensitivity Warning.</p>")
                      .arg(QApplication::applicationVersion().toHtmlEscaped()),
                  QMessageBox::Ok, this);
  box.setIconPixmap(EditorIcon().pixmap(64, 64));
  box.exec();
}

}  // namespace kelvane
