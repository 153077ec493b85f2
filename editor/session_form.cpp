#include "editor/session_form.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/area_picker.h"
#include "editor/general_midi.h"
#include "editor/range_spin_box.h"

namespace kelvane {
namespace {

QString ProblemsOf(const std::vector<Problem>& problems, const std::string& column) {
  QStringList texts;
  for (const Problem& p : problems)
    if (p.field == column) texts << QString::fromStdString(p.message);
  return texts.join("\n");
}

QLabel* Hint(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setForegroundRole(QPalette::PlaceholderText);
  label->setWordWrap(true);
  return label;
}

QString Duration(std::int64_t seconds) {
  return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

SessionForm::SessionForm(EditFunction edit, QWidget* parent) : QWidget(parent), edit_(std::move(edit)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(MakeSessionGroup());
  layout->addWidget(MakeSoundGroup());
  layout->addWidget(MakeFrameGroup());
  layout->addWidget(MakeTunnelGroup());
  layout->addWidget(MakeAreaGroup());
  layout->addStretch(1);
}

// What a value does where any value is played as it is.
QString HintOf(const ColumnRange& range) {
  const std::pair<const char*, const char*> hints[] = {
      {"PulsePhase", "1: the colours move outwards; any other value: inwards"},
      {"Form", "1: the squares shrink fast; any other value: slowly"},
      {"GeoVertical", "180 draws squares; other values shear them"},
      {"GeoHorizontal", "Kept in the file; Kelvane draws nothing with it"},
      {"AreaX1", "Pixels from the left of Kelvane's drawing area"},
      {"AreaX2", "Pixels from the left of Kelvane's drawing area"},
      {"AreaY1", "Pixels from the top of Kelvane's drawing area"},
      {"AreaY2", "Pixels from the top of Kelvane's drawing area"}};
  for (const auto& [column, hint] : hints)
    if (std::string(column) == range.column) return hint;
  return QString("%1 to %2").arg(range.lowest).arg(range.highest);
}

RangeSpinBox* SessionForm::Number(const char* column, std::int32_t SessionDocument::*member) {
  const ColumnRange& range = RangeOf(column);
  auto* box = new RangeSpinBox(range.lowest, range.highest, HintOf(range), this);
  box->setObjectName(column);
  numbers_[column] = box;
  const std::string key = column;
  connect(box, &QSpinBox::valueChanged, this,
          [this, member, key](int value) { edit_([member, value](SessionDocument& d) { d.*member = value; }, key); });
  return box;
}

QWidget* SessionForm::MakeSessionGroup() {
  auto* group = new QGroupBox("Session", this);
  auto* form = new QFormLayout(group);
  name_ = new QLineEdit(group);
  name_->setObjectName("SessionName");
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    edit_([text](SessionDocument& d) { d.sessionName = text.toStdString(); }, "SessionName");
  });
  comment_ = new QPlainTextEdit(group);
  comment_->setObjectName("Comment");
  comment_->setTabChangesFocus(true);
  comment_->setFixedHeight(comment_->fontMetrics().lineSpacing() * 4 + 12);
  comment_->setToolTip("Shown in Kelvane's comment box; at most 255 characters");
  connect(comment_, &QPlainTextEdit::textChanged, this, [this] {
    const std::string text = comment_->toPlainText().toStdString();
    if (text != shown_.comment) edit_([text](SessionDocument& d) { d.comment = text; }, "Comment");
  });
  form->addRow("&Name", name_);
  form->addRow("Co&mment", comment_);
  return group;
}

QWidget* SessionForm::MakeSoundGroup() {
  auto* group = new QGroupBox("Sound", this);
  auto* form = new QFormLayout(group);
  instrument_ = new QComboBox(group);
  instrument_->setObjectName("InstrumentNumber");
  instrument_->setMaxVisibleItems(16);
  for (int program = 0; program < kGeneralMidiPrograms; ++program)
    instrument_->addItem(QString("%1  %2").arg(program).arg(QString::fromStdString(GeneralMidiName(program))));
  connect(instrument_, &QComboBox::activated, this, [this](int program) {
    edit_(
        [program](SessionDocument& d) {
          d.instrumentNumber = program;
          d.instrumentName = GeneralMidiName(program);
        },
        "");
  });
  instrumentText_ = Hint(group);
  form->addRow("&Instrument", instrument_);
  form->addRow("", instrumentText_);
  return group;
}

QWidget* SessionForm::MakeFrameGroup() {
  auto* group = new QGroupBox("Frame colour", this);
  auto* grid = new QGridLayout(group);
  const std::pair<const char*, std::int32_t SessionDocument::*> channels[] = {
      {"&Red", &SessionDocument::colorR}, {"&Green", &SessionDocument::colorG}, {"&Blue", &SessionDocument::colorB}};
  const char* columns[] = {"ColorR", "ColorG", "ColorB"};
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(channels[i].first, group);
    RangeSpinBox* box = Number(columns[i], channels[i].second);
    label->setBuddy(box);
    grid->addWidget(label, 0, 2 * i);
    grid->addWidget(box, 0, 2 * i + 1);
  }
  swatch_ = new QToolButton(group);
  swatch_->setObjectName("Swatch");
  swatch_->setText("Choose...");
  swatch_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  swatch_->setIconSize(QSize(36, 16));
  swatch_->setToolTip("Pick the frame colour");
  connect(swatch_, &QToolButton::clicked, this, &SessionForm::ChooseColour);
  grid->addWidget(swatch_, 1, 0, 1, 6, Qt::AlignLeft);
  return group;
}

QWidget* SessionForm::MakeTunnelGroup() {
  auto* group = new QGroupBox("Tunnel", this);
  auto* grid = new QGridLayout(group);
  pulseHint_ = Hint(group);
  phaseHint_ = Hint(group);
  formHint_ = Hint(group);
  cyclesHint_ = Hint(group);
  const struct {
    const char* label;
    const char* column;
    std::int32_t SessionDocument::*member;
    QLabel* hint;
  } rows[] = {{"&Pulse", "PulseFreq", &SessionDocument::pulseFreq, pulseHint_},
              {"P&hase", "PulsePhase", &SessionDocument::pulsePhase, phaseHint_},
              {"&Vertical", "GeoVertical", &SessionDocument::geoVertical, nullptr},
              {"Hori&zontal", "GeoHorizontal", &SessionDocument::geoHorizontal, nullptr},
              {"&Density", "Density", &SessionDocument::density, nullptr},
              {"F&orm", "Form", &SessionDocument::form, formHint_},
              {"&Cycles", "Cycles", &SessionDocument::cycles, cyclesHint_}};
  int row = 0;
  for (const auto& r : rows) {
    auto* label = new QLabel(r.label, group);
    RangeSpinBox* box = Number(r.column, r.member);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    if (r.hint != nullptr) grid->addWidget(r.hint, row, 2);
    ++row;
  }
  numbers_["Density"]->SetHint("1 to 16: the pen width of the squares in pixels");
  grid->setColumnStretch(2, 1);
  return group;
}

QWidget* SessionForm::MakeAreaGroup() {
  auto* group = new QGroupBox("Stimulus area (pixels of Kelvane's drawing area)", this);
  auto* grid = new QGridLayout(group);
  const struct {
    const char* label;
    const char* column;
    std::int32_t SessionDocument::*member;
  } corners[] = {{"Left (&X1)", "AreaX1", &SessionDocument::areaX1},
                 {"Top (&Y1)", "AreaY1", &SessionDocument::areaY1},
                 {"Right (X&2)", "AreaX2", &SessionDocument::areaX2},
                 {"Bo&ttom (Y2)", "AreaY2", &SessionDocument::areaY2}};
  for (int i = 0; i < 4; ++i) {
    auto* label = new QLabel(corners[i].label, group);
    RangeSpinBox* box = Number(corners[i].column, corners[i].member);
    label->setBuddy(box);
    grid->addWidget(label, i / 2, (i % 2) * 2);
    grid->addWidget(box, i / 2, (i % 2) * 2 + 1);
  }
  picker_ = new AreaPicker(group);
  picker_->onDrag = [this](const Rect& area, bool finished) {
    // One drag is one step to undo; the next drag is another.
    edit_(
        [area](SessionDocument& d) {
          d.areaX1 = area.left, d.areaY1 = area.top, d.areaX2 = area.right, d.areaY2 = area.bottom;
        },
        "area drag " + std::to_string(drags_));
    if (finished) ++drags_;
  };
  grid->addWidget(picker_, 2, 0, 1, 4);
  return group;
}

void SessionForm::SetDrawingArea(const DrawingArea& drawingArea) { picker_->SetDrawingArea(drawingArea); }

void SessionForm::ChooseColour() {
  const auto channel = [](std::int32_t v) { return std::clamp(v, 0, 255); };
  const QColor initial(channel(shown_.colorR), channel(shown_.colorG), channel(shown_.colorB));
  const QColor chosen = QColorDialog::getColor(initial, this, "Frame colour", QColorDialog::DontUseNativeDialog);
  if (!chosen.isValid()) return;
  edit_([chosen](SessionDocument& d) { d.colorR = chosen.red(), d.colorG = chosen.green(), d.colorB = chosen.blue(); },
        "");
}

void SessionForm::Show(const SessionDocument& d, const std::vector<Problem>& problems) {
  shown_ = d;
  const std::pair<const char*, std::int32_t> values[] = {
      {"ColorR", d.colorR},     {"ColorG", d.colorG},           {"ColorB", d.colorB},
      {"PulseFreq", d.pulseFreq}, {"PulsePhase", d.pulsePhase}, {"GeoVertical", d.geoVertical},
      {"GeoHorizontal", d.geoHorizontal}, {"Density", d.density}, {"Form", d.form},
      {"Cycles", d.cycles},     {"AreaX1", d.areaX1},           {"AreaY1", d.areaY1},
      {"AreaX2", d.areaX2},     {"AreaY2", d.areaY2}};
  for (const auto& [column, value] : values) {
    numbers_[column]->Show(value);
    numbers_[column]->SetProblem(ProblemsOf(problems, column));
  }
  ShowTexts(d, problems);
  ShowInstrument(d, problems);
  ShowHints(d);
  const Color frame = (static_cast<Color>(d.colorR) & 0xFF) | (static_cast<Color>(d.colorG) & 0xFF) << 8 |
                      (static_cast<Color>(d.colorB) & 0xFF) << 16;
  picker_->Show({d.areaX1, d.areaY1, d.areaX2, d.areaY2}, frame);
  QPixmap swatch(36, 16);
  swatch.fill(QColor(frame & 0xFF, (frame >> 8) & 0xFF, (frame >> 16) & 0xFF));
  swatch_->setIcon(QIcon(swatch));
}

void SessionForm::ShowTexts(const SessionDocument& d, const std::vector<Problem>& problems) {
  const QString name = QString::fromStdString(d.sessionName);
  if (name_->text() != name) name_->setText(name);
  MarkProblem(name_, ProblemsOf(problems, "SessionName"), "The session's name, kept in the file");
  if (comment_->toPlainText().toStdString() != d.comment) {
    const QSignalBlocker quiet(comment_);
    comment_->setPlainText(QString::fromStdString(d.comment));
  }
  MarkProblem(comment_, ProblemsOf(problems, "Comment"), "Shown in Kelvane's comment box; at most 255 characters");
}

void SessionForm::ShowInstrument(const SessionDocument& d, const std::vector<Problem>& problems) {
  const bool known = d.instrumentNumber >= 0 && d.instrumentNumber < kGeneralMidiPrograms;
  instrument_->setPlaceholderText(QString("Program %1 (not General MIDI)").arg(d.instrumentNumber));
  instrument_->setCurrentIndex(known ? d.instrumentNumber : -1);
  MarkProblem(instrument_, ProblemsOf(problems, "InstrumentNumber"), "The General MIDI instrument that plays the notes");
  // A file may name its instrument its own way; that text stays until
  // another instrument is chosen.
  const bool ownText = d.instrumentName != GeneralMidiName(d.instrumentNumber);
  instrumentText_->setVisible(ownText);
  instrumentText_->setText(QString("The file names it \"%1\"").arg(QString::fromStdString(d.instrumentName)));
}

void SessionForm::ShowHints(const SessionDocument& d) {
  const std::int64_t swing = d.pulseFreq / 16;
  // The divisor climbs and falls by one every 50 ms.
  pulseHint_->setText(QString("breathes 180 \u00B1 %1, every %2 s").arg(swing).arg(0.2 * static_cast<double>(swing), 0, 'f', 1));
  phaseHint_->setText(d.pulsePhase == 1 ? "colours move outwards" : "colours move inwards");
  formHint_->setText(d.form == 1 ? "squares shrink fast" : "squares shrink slowly");
  const std::int64_t rows = static_cast<std::int64_t>(d.rows.size());
  cyclesHint_->setText(QString("%1 \u00D7 %2 row%3 \u00D7 4 s = %4")
                           .arg(d.cycles)
                           .arg(rows)
                           .arg(rows == 1 ? "" : "s")
                           .arg(Duration(std::max<std::int64_t>(0, d.cycles) * rows * 4)));
}

bool SessionForm::FocusField(const std::string& column) {
  // The whole text selected, so what is typed next replaces it.
  if (auto it = numbers_.find(column); it != numbers_.end()) {
    it->second->setFocus(Qt::OtherFocusReason);
    it->second->selectAll();
  } else if (column == "SessionName") {
    name_->setFocus(Qt::OtherFocusReason);
    name_->selectAll();
  } else if (column == "Comment") {
    comment_->setFocus(Qt::OtherFocusReason);
    comment_->selectAll();
  } else if (column == "InstrumentNumber" || column == "InstrumentSel") {
    instrument_->setFocus(Qt::OtherFocusReason);
  } else {
    return false;
  }
  return true;
}

}  // namespace kelvane
