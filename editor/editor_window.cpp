#include "editor/flash_plot_view.h"
#include "editor/editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/advice_runner.h"
#include "editor/flash_check_runner.h"
#include "editor/note_grid_model.h"
#include "editor/note_grid_view.h"
#include "editor/note_names.h"
#include "editor/note_palette.h"
#include "editor/note_rows_panel.h"
#include "editor/session_form.h"
#include "editor/session_listener.h"
#include "editor/tunnel_preview.h"
#include "qt/display_text.h"
#include "qt/player_window.h"

namespace kelvane {
namespace {

// A scroll area that asks for the width its form would like, so the form
// takes it where there is room and gives it up where there is not.
class FormScrollArea : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    const int bar = verticalScrollBar()->sizeHint().width() + 4;
    return {widget()->sizeHint().width() + bar, QScrollArea::sizeHint().height()};
  }
};

}  // namespace

EditorWindow::EditorWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName("EditorWindow");
  listener_ = new SessionListener(this);
  flashes_ = new FlashCheckRunner(this);
  advice_ = new AdviceRunner(this);
  MakeActions();
  MakeMenus();
  setCentralWidget(MakeCentre());
  setMinimumSize(640, 480);
  connect(listener_, &SessionListener::PlayingChanged, this, [this](bool playing) {
    if (!playing) {
      statusBar()->showMessage("Stopped", 2000);
      rows_->ShowPlaying(-1, -1);
      preview_->SetPlayingColor(std::nullopt);
    }
    RefreshActions();
  });
  connect(listener_, &SessionListener::NoteSounding, this, &EditorWindow::ShowSounding);
  connect(flashes_, &FlashCheckRunner::Checking, this, [this] {
    verdict_->setText("Checking...");
    verdict_->setStyleSheet("");
    advice_->Cancel();
    ShowAdvice(model_.Document(), {});
  });
  connect(flashes_, &FlashCheckRunner::Checked, this, &EditorWindow::ShowVerdict);
  connect(advice_, &AdviceRunner::Trying, this, [this](int tried) {
    if (!advisedFor_) adviceText_->setText(QString("Trying changes that might flash less: %1 measured...").arg(tried));
  });
  connect(advice_, &AdviceRunner::Advised, this, &EditorWindow::ShowAdvice);
  silence_ = new QLabel("No sound device", this);
  silence_->setStyleSheet("color: #b00000; font-weight: bold");
  silence_->hide();
  statusBar()->addPermanentWidget(silence_);
  where_ = new QLabel(this);
  where_->setTextFormat(Qt::PlainText);
  statusBar()->addPermanentWidget(where_);
  statusBar()->showMessage("Type note codes into the grid; F5 plays a row, F7 from it to the end, F6 the whole session",
                           10000);
  // Undo and redo are the document's, also while a text box has the focus.
  qApp->installEventFilter(this);
  UpdateDrawingArea();
  Refresh();
}

EditorWindow::~EditorWindow() { qApp->removeEventFilter(this); }

// Everything in one area that scrolls when the window is smaller than its
// parts' least sizes, so nothing is ever out of reach.
QWidget* EditorWindow::MakeCentre() {
  auto* content = new QWidget(this);
  auto* columns = new QHBoxLayout(content);
  form_ = new SessionForm([this](const auto& change, const std::string& key) { Edit(change, key); }, content);
  auto* formScroll = new FormScrollArea(content);
  formScroll->setWidget(form_);
  formScroll->setWidgetResizable(true);
  formScroll->setFrameShape(QFrame::NoFrame);
  formScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // As wide as the form likes where there is room, as narrow as it allows where there is not.
  const int bar = formScroll->verticalScrollBar()->sizeHint().width() + 4;
  formScroll->setMinimumWidth(form_->minimumSizeHint().width() + bar);
  formScroll->setMinimumHeight(240);
  formScroll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  rows_ = new NoteRowsPanel({addRowAction_, duplicateRowAction_, removeRowAction_, rowUpAction_, rowDownAction_}, content);
  rows_->SetOnEdit([this](int row, int column, const QVariant& value) { EditRowCell(row, column, value); });
  rows_->setMinimumHeight(200);
  NoteGridView* grid = rows_->Grid();
  connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { RefreshActions(); });
  connect(grid, &NoteGridView::Refused, this, [this](const QString& why) { statusBar()->showMessage(why, 6000); });
  connect(grid, &NoteGridView::ClearRequested, this, [this](const CellBlock& block) { ClearCells(block); });
  connect(rows_->Palette(), &NotePalette::Picked, this, [this](int code) { Guard([&] { PutNote(code); }); });
  auto* bottom = new QWidget(content);
  auto* bottomLayout = new QHBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  bottomLayout->addWidget(MakePreviewBox(), 3);
  // The verdict and its advice wrap to more lines as the window narrows:
  // they scroll rather than crowd one another.
  auto* sideScroll = new QScrollArea(bottom);
  sideScroll->setWidget(MakeSidePanel());
  sideScroll->setWidgetResizable(true);
  sideScroll->setFrameShape(QFrame::NoFrame);
  sideScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sideScroll->setMinimumWidth(sideScroll->widget()->minimumSizeHint().width() + sideScroll->verticalScrollBar()->sizeHint().width());
  bottomLayout->addWidget(sideScroll, 2);
  auto* right = new QSplitter(Qt::Vertical, content);
  right->setChildrenCollapsible(false);
  right->addWidget(rows_);
  right->addWidget(bottom);
  right->setStretchFactor(0, 1);
  right->setStretchFactor(1, 1);
  columns->addWidget(formScroll);
  columns->addWidget(right, 1);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("WindowScroll");
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  return scroll;
}

QWidget* EditorWindow::MakePreviewBox() {
  auto* box = new QGroupBox("Preview", this);
  auto* layout = new QVBoxLayout(box);
  auto* header = new QHBoxLayout;
  previewCaption_ = new QLabel(box);
  previewCaption_->setForegroundRole(QPalette::PlaceholderText);
  previewCaption_->setWordWrap(true);
  pauseButton_ = new QToolButton(box);
  pauseButton_->setDefaultAction(pausePreviewAction_);
  pauseButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  header->addWidget(previewCaption_, 1);
  header->addWidget(pauseButton_);
  preview_ = new TunnelPreview(box);
  connect(preview_, &TunnelPreview::RunningChanged, this, [this] { RefreshActions(); });
  previewStack_ = new QStackedWidget(box);
  previewStack_->addWidget(MakeWarningPage());
  previewStack_->addWidget(preview_);
  layout->addLayout(header);
  layout->addWidget(previewStack_, 1);
  return box;
}

QWidget* EditorWindow::MakeSidePanel() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* listen = new QGroupBox("Listen", side);
  auto* buttons = new QGridLayout(listen);
  int at = 0;
  for (QAction* action : {playRowAction_, playFromHereAction_, playSessionAction_, stopAction_}) {
    auto* button = new QToolButton(listen);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    buttons->addWidget(button, at / 2, at % 2);
    ++at;
  }
  auto* safety = new QGroupBox("Flash check", side);
  auto* safetyLayout = new QVBoxLayout(safety);
  verdict_ = new QLabel(safety);
  verdict_->setObjectName("FlashVerdict");
  verdict_->setWordWrap(true);
  verdictDetail_ = new QLabel(safety);
  verdictDetail_->setWordWrap(true);
  verdictDetail_->setText(QString::fromStdString(VerdictScope()));
  safety->setToolTip("More than 3 flashes a second over more than a quarter of the field fails");
  adviceText_ = new QLabel(safety);
  adviceText_->setObjectName("FlashAdvice");
  adviceText_->setWordWrap(true);
  adviceText_->setTextFormat(Qt::RichText);
  adviceText_->setToolTip("Each change was made and checked as the session is; click one to make it (Undo takes it back)");
  connect(adviceText_, &QLabel::linkActivated, this, [this](const QString& link) { ApplySuggestion(link.toInt()); });
  safetyLayout->addWidget(verdict_);
  safetyLayout->addWidget(verdictDetail_);
  verdictPlot_ = new FlashPlotView(safety);
  verdictPlot_->setVisible(false);
  safetyLayout->addWidget(verdictPlot_);
  safetyLayout->addWidget(adviceText_);
  auto* problemsBox = new QGroupBox("Problems", side);
  auto* problemsLayout = new QVBoxLayout(problemsBox);
  problems_ = new QListWidget(problemsBox);
  problems_->setObjectName("Problems");
  problems_->setWordWrap(true);
  problems_->setSpacing(2);
  problems_->setMinimumHeight(60);
  problems_->setToolTip("Double-click a problem to go to its box");
  connect(problems_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { FocusProblem(problems_->row(item)); });
  problemsLayout->addWidget(problems_);
  layout->addWidget(listen);
  layout->addWidget(safety);
  layout->addWidget(problemsBox, 1);
  return side;
}

void EditorWindow::Edit(const std::function<void(SessionDocument&)>& change, const std::string& key) {
  // Edits arrive from widgets' signals, where no error may escape.
  Guard([&] {
    const SessionDocument before = model_.Document();
    model_.History().Edit(change, key);
    if (!(model_.Document() == before)) Refresh();
  });
}

void EditorWindow::EditRowCell(int row, int column, const QVariant& value) {
  const auto r = static_cast<std::size_t>(row);
  if (column == NoteGridModel::kLabelColumn) {
    const std::string label = TrimmedLabel(value.toString().toStdString());
    Edit([r, label](SessionDocument& d) { d.rows.at(r).label = label; }, "");
    return;
  }
  const std::int32_t code = value.toInt();
  const auto j = static_cast<std::size_t>(column - 1);
  // A second digit in the same cell replaces the first as one step.
  Edit([r, j, code](SessionDocument& d) { d.rows.at(r).codes.at(j) = code; },
       "note " + std::to_string(row) + "." + std::to_string(column));
}

void EditorWindow::Refresh() {
  const SessionDocument& d = model_.Document();
  setWindowTitle(QString("%1[*] - Kelvane Editor").arg(DisplayText(model_.DisplayName())));
  setWindowModified(model_.Modified());
  // A long path is cut in its middle rather than widening the window.
  const QString path = model_.Path().empty() ? QString("Not saved yet") : DisplayText(model_.Path());
  where_->setText(where_->fontMetrics().elidedText(path, Qt::ElideMiddle, 420));
  where_->setToolTip(path);
  shownProblems_ = model_.Problems();
  form_->Show(d, shownProblems_);
  std::map<int, QString> labelProblems;
  for (const Problem& p : shownProblems_)
    if (const auto row = RowFieldOf(p.field); row && row->label) labelProblems[row->row] = QString::fromStdString(p.message);
  rows_->Show(d.rows, std::move(labelProblems));
  preview_->Show(d);
  ShowProblems();
  RefreshActions();
  flashes_->Request(d);
}

void EditorWindow::ShowProblems() {
  problems_->clear();
  for (const Problem& p : shownProblems_) {
    auto* item = new QListWidgetItem(QString::fromStdString(p.message), problems_);
    if (p.blocksSaving) item->setForeground(QColor(0xB0, 0x00, 0x00));
  }
  if (shownProblems_.empty()) problems_->addItem("None: Kelvane plays every value as it is.");
  problems_->setEnabled(!shownProblems_.empty());
}

void EditorWindow::FocusProblem(int index) {
  if (index < 0 || index >= static_cast<int>(shownProblems_.size())) return;
  const std::string& field = shownProblems_[static_cast<std::size_t>(index)].field;
  if (const auto row = RowFieldOf(field)) {
    const auto& rows = model_.Document().rows;
    if (row->row < 0 || row->row >= static_cast<int>(rows.size())) return;
    int column = row->label ? NoteGridModel::kLabelColumn : 1;
    const auto& codes = rows[static_cast<std::size_t>(row->row)].codes;
    for (int j = 0; j < kEditorNotesPerRow && !row->label; ++j)
      if (!IsEditorNoteCode(codes[static_cast<std::size_t>(j)])) {
        column = j + 1;
        break;
      }
    rows_->SelectCell(row->row, column);
    rows_->Grid()->setFocus(Qt::OtherFocusReason);
    return;
  }
  form_->FocusField(field);
}

void EditorWindow::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, "Kelvane Editor", DisplayText(error.what()), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  }
}

void EditorWindow::UpdateDrawingArea() {
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The window manager's frame is known once this window shows. Maximised,
  // a window keeps its title bar but, with the usual window managers, loses
  // its side borders and bottom edge; this window's own frame is exact when
  // it is maximised itself.
  QMargins frame;
  if (isVisible()) {
    const QRect outer = frameGeometry(), inner = geometry();
    const QMargins own(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
    frame = isMaximized() ? own : QMargins(0, std::max(0, own.top() - own.left()), 0, 0);
  }
  drawingScreen_ = screen;
  const DrawingArea area = MaximisedPlayerDrawingArea(*screen, frame);
  if (model_.GetDrawingArea() == area) return;
  model_.SetDrawingArea(area);
  form_->SetDrawingArea(area);
  preview_->SetDrawingArea(area);
  previewCaption_->setText(QString("Kelvane's window on this screen: %1 x %2 pixels, the comment panel from x %3")
                               .arg(area.width)
                               .arg(area.height)
                               .arg(area.shown.right));
  Refresh();
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Text boxes keep an undo of their own, which would change a text behind
    // the document's back: the window's Undo and Redo take those keys.
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void EditorWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);

  // The frame's size arrives from the window manager a moment after the window maps.
  QTimer::singleShot(300, this, [this] { UpdateDrawingArea(); });
}

void EditorWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) QTimer::singleShot(300, this, [this] { UpdateDrawingArea(); });
}

void EditorWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // Moved onto another screen, Kelvane would open there.
  if (isVisible() && screen() != drawingScreen_) UpdateDrawingArea();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  bool close = false;
  Guard([&] { close = MayDiscard(); });
  if (!close) {
    event->ignore();
    return;
  }
  listener_->Stop();
  event->accept();
}

}  // namespace kelvane
