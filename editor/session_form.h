#pragma once
// The session's columns, each in a control that fits it, marked when out of
// range. It shows a document and reports edits; it keeps no state of its own.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editor/document_problems.h"
#include "editor/session_document.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace kelvane {

class AreaPicker;
class RangeSpinBox;

// A change to the document, and the key under which consecutive changes of
// one control are undone together.
using EditFunction = std::function<void(const std::function<void(SessionDocument&)>& change, const std::string& key)>;

class SessionForm : public QWidget {
  Q_OBJECT
 public:
  SessionForm(EditFunction edit, QWidget* parent = nullptr);

  void Show(const SessionDocument& document, const std::vector<Problem>& problems);
  // Where Kelvane draws on this screen, for the area's picture.
  void SetDrawingArea(const DrawingArea& drawingArea);
  // Moves the keyboard focus to the control of a column, if it has one.
  bool FocusField(const std::string& column);

 private:
  QWidget* MakeSessionGroup();
  QWidget* MakeSoundGroup();
  QWidget* MakeFrameGroup();
  QWidget* MakeTunnelGroup();
  QWidget* MakeAreaGroup();
  RangeSpinBox* Number(const char* column, std::int32_t SessionDocument::*member);
  void ChooseColour();
  void ShowTexts(const SessionDocument& d, const std::vector<Problem>& problems);
  void ShowInstrument(const SessionDocument& d, const std::vector<Problem>& problems);
  void ShowHints(const SessionDocument& d);

  EditFunction edit_;
  SessionDocument shown_;
  std::map<std::string, RangeSpinBox*> numbers_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* comment_ = nullptr;
  QComboBox* instrument_ = nullptr;
  QLabel* instrumentText_ = nullptr;
  QToolButton* swatch_ = nullptr;
  QLabel* pulseHint_ = nullptr;
  QLabel* phaseHint_ = nullptr;
  QLabel* formHint_ = nullptr;
  QLabel* cyclesHint_ = nullptr;
  AreaPicker* picker_ = nullptr;
  int drags_ = 0;
};

}  // namespace kelvane
