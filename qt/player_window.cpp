#include "qt/player_window.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "qt/design_label.h"

namespace kelvane {
namespace {

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
  QFont f = base;
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

void BuildMenu(QMainWindow& window, PlayerWindowParts& parts) {
  QMenuBar* bar = window.menuBar();
  bar->setObjectName("MainMenu1");
  // Pause and Stop sit right on the bar; a global menu bar exported over
  // D-Bus carries only drop-down menus, and would lose them.
  bar->setNativeMenuBar(false);
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("FileMenu");
  parts.open = file->addAction("&Open Ambrel");
  parts.open->setObjectName("OpenAmbrelMenu");
  file->addSeparator()->setObjectName("N1");
  parts.exit = file->addAction("&Exit");
  parts.exit->setObjectName("ExitMenu");
  // Pause and Stop are commands right on the menu bar, without a drop-down.
  parts.pause = bar->addAction("Pause");
  parts.pause->setObjectName("PauseMenu");
  parts.stop = bar->addAction("&Stop");
  parts.stop->setObjectName("StopMenu");
  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("HelpMenu");
  QAction* contents = help->addAction("&Contents");
  contents->setObjectName("ContentsMenu");
  contents->setEnabled(false);
  help->addSeparator()->setObjectName("N2");
  parts.licence = help->addAction("&License and Disclaimer");
  parts.licence->setObjectName("LicenseMenu");
  parts.about = help->addAction("&About Kelvane");
  parts.about->setObjectName("AboutMenu");
}

// The surface fills the client area; Bevel1 runs along its top and
// InfoPanel covers its right side, 172 pixels wide whatever the window's size.
void BuildClientArea(QMainWindow& window, QWidget& surface, PlayerWindowParts& parts) {
  window.setCentralWidget(&surface);
  auto* column = new QVBoxLayout(&surface);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* bevel = new QFrame(&surface);
  bevel->setObjectName("Bevel1");
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setFixedHeight(2);
  column->addWidget(bevel);

  auto* row = new QHBoxLayout();
  row->setSpacing(0);
  column->addLayout(row, 1);
  auto* eImage = new QWidget(&surface);  // stays empty: the tunnel is drawn on the surface below
  eImage->setObjectName("eImage");
  eImage->setAttribute(Qt::WA_TransparentForMouseEvents);
  row->addWidget(eImage, 1);

  auto* info = new QFrame(&surface);
  info->setObjectName("InfoPanel");
  info->setFixedWidth(kInfoPanelWidth);
  info->setFrameShape(QFrame::Panel);
  info->setFrameShadow(QFrame::Raised);
  info->setAutoFillBackground(true);
  info->setPalette(QApplication::palette());
  row->addWidget(info);

  AddLabel(*info, "CommentLabel", "Comment:", PixelFont(window.font(), 13, true), QRect(16, 144, 69, 16));
  parts.memo = new QPlainTextEdit(info);
  parts.memo->setObjectName("AmbrelMemo");
  parts.memo->setReadOnly(true);
  parts.memo->setGeometry(16, 160, 135, 89);
}

void BuildStatusBar(QMainWindow& window, PlayerWindowParts& parts) {
  QStatusBar* bar = window.statusBar();
  bar->setObjectName("StatusBar3");
  bar->setSizeGripEnabled(false);
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);  // a file may be named a<b>c</b>.db
    if (i < 3) panel->setFixedWidth(150);
    // The last panel holds the longest text and takes the rest of the bar.
    bar->addPermanentWidget(panel, i < 3 ? 0 : 1);
    parts.panels[static_cast<std::size_t>(i)] = panel;
  }
}

void ActivateLayouts(QWidget& widget) {
  if (QLayout* layout = widget.layout()) layout->activate();
  for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) ActivateLayouts(*child);
}

}  // namespace

PlayerWindowParts BuildPlayerWindow(QMainWindow& window, QWidget& surface) {
  window.setFont(PixelFont(window.font(), 11));
  PlayerWindowParts parts;
  BuildMenu(window, parts);
  BuildClientArea(window, surface, parts);
  BuildStatusBar(window, parts);
  return parts;
}

DrawingArea DrawingAreaOf(const QMainWindow& window) {
  const QWidget* surface = window.centralWidget();
  const QWidget* bevel = surface->findChild<QWidget*>("Bevel1");
  const QWidget* info = surface->findChild<QWidget*>("InfoPanel");
  DrawingArea area;
  area.width = surface->width();
  area.height = surface->height();
  area.shown = {0, bevel->geometry().bottom() + 1, info->geometry().left(), surface->height()};
  return area;
}

DrawingArea PlayerDrawingArea(QSize clientSize) {
  QMainWindow window;
  QWidget* surface = new QWidget(&window);
  BuildPlayerWindow(window, *surface);
  window.resize(clientSize);
  // Laid out as on the screen, without showing it: each layout takes the
  // size its parent has just given its widget.
  ActivateLayouts(window);
  return DrawingAreaOf(window);
}

DrawingArea MaximisedPlayerDrawingArea(const QScreen& screen, const QMargins& windowFrame) {
  return PlayerDrawingArea(screen.availableGeometry().marginsRemoved(windowFrame).size());
}

}  // namespace kelvane
