#pragma once
// The editor's main window: the session's columns on the left, the note rows
// on the right, and below them the preview, listening, flash check and
// problems. It holds no logic of its own beyond wiring: every change goes to
// the model's history, and everything shown is drawn from the model again.
// The whole of it scrolls when the window is smaller than its parts.

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "editor/editor_model.h"
#include "editor/flash_advice.h"
#include "editor/flash_verdict.h"

class QAction;
class QLabel;
class QListWidget;
class QScreen;
class QStackedWidget;
class QToolButton;

namespace kelvane {

class AdviceRunner;
class FlashCheckRunner;
class NoteRowsPanel;
class SessionForm;
class SessionListener;
class TunnelPreview;
struct CellBlock;

class EditorWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit EditorWindow(QWidget* parent = nullptr);
  ~EditorWindow() override;

  // A file named on the command line; an error is shown, and the window
  // keeps its new session.
  void OpenFile(const QString& path);
  const EditorModel& Model() const { return model_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // editor_window.cpp: layout, changes, what is shown.
  QWidget* MakeCentre();
  QWidget* MakePreviewBox();
  QWidget* MakeSidePanel();
  void Edit(const std::function<void(SessionDocument&)>& change, const std::string& key);
  void EditRowCell(int row, int column, const QVariant& value);
  void Refresh();
  void ShowProblems();
  void FocusProblem(int index);
  // Where Kelvane draws when it opens on this window's screen: its window
  // maximised there, with a frame like this window's around it.
  void UpdateDrawingArea();
  // Runs a handler; an error it raises is shown in a box, and the editor runs on.
  void Guard(const std::function<void()>& handler);

  // editor_flashes.cpp: the flash check's verdict and measured advice.
  void ShowVerdict(const SessionDocument& document, const FlashVerdict& verdict);
  void ShowSilence();
  // The measured changes for the document shown, as links that make them.
  void ShowAdvice(const SessionDocument& document, const std::vector<Suggestion>& suggestions);
  void ApplySuggestion(int index);

  // editor_actions.cpp: menus, undo, rows, the clipboard, listening.
  void MakeActions();
  void MakeMenus();
  void RefreshActions();
  void Undo();
  void Redo();
  void AddRow();
  void DuplicateRow();
  void RemoveRow();
  void MoveRow(int by);
  void CopyCells(bool cut);
  void PasteCells();
  void ClearCells(const CellBlock& block);
  void PutNote(int code);
  void Listen(int first, int count);
  void ShowSounding(int row, int note);

  // editor_files.cpp: New, Open, Save, Save As, Import, Export, closing.
  void NewSession();
  void OpenSession();
  bool SaveSession();
  bool SaveSessionAs();
  bool SaveTo(const std::string& path);
  // Says what keeps a file from holding the session; false when something does.
  bool ExplainUnsavable();
  // That, then asks before saving a session that fails the flash check or
  // has problems.
  bool ConfirmSave();
  void ImportJson();
  void ExportJson();
  // Save, Discard or Cancel for unsaved changes; true when the caller may go on.
  bool MayDiscard();
  QString ChooseFile(const QString& title, const QString& filter, bool saving, const QString& suggested);

  // editor_help.cpp: the Help menu and the warning before the preview runs.
  QWidget* MakeWarningPage();
  void ShowShortcuts();
  void ShowWarning();
  void ShowAbout();

  EditorModel model_;
  SessionForm* form_ = nullptr;
  NoteRowsPanel* rows_ = nullptr;
  TunnelPreview* preview_ = nullptr;
  QStackedWidget* previewStack_ = nullptr;
  QToolButton* pauseButton_ = nullptr;
  QLabel* previewCaption_ = nullptr;
  SessionListener* listener_ = nullptr;
  FlashCheckRunner* flashes_ = nullptr;
  AdviceRunner* advice_ = nullptr;
  QLabel* verdict_ = nullptr;
  QLabel* adviceText_ = nullptr;
  std::optional<SessionDocument> advisedFor_;
  std::vector<Suggestion> suggestions_;
  QLabel* verdictDetail_ = nullptr;
  class FlashPlotView* verdictPlot_ = nullptr;
  QListWidget* problems_ = nullptr;
  QLabel* where_ = nullptr;    // the file's whole path, in the status bar
  QLabel* silence_ = nullptr;  // "No sound device", once that is so
  std::vector<Problem> shownProblems_;
  const QScreen* drawingScreen_ = nullptr;

  QAction* newAction_ = nullptr;
  QAction* openAction_ = nullptr;
  QAction* saveAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* importAction_ = nullptr;
  QAction* exportAction_ = nullptr;
  QAction* quitAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* cutAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* addRowAction_ = nullptr;
  QAction* duplicateRowAction_ = nullptr;
  QAction* removeRowAction_ = nullptr;
  QAction* rowUpAction_ = nullptr;
  QAction* rowDownAction_ = nullptr;
  QAction* playRowAction_ = nullptr;
  QAction* playFromHereAction_ = nullptr;
  QAction* playSessionAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QAction* pausePreviewAction_ = nullptr;
  QAction* shortcutsAction_ = nullptr;
  QAction* warningAction_ = nullptr;
  QAction* aboutAction_ = nullptr;
};

}  // namespace kelvane
