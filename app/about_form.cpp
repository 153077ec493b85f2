#include "app/about_form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/secondary_window.h"
#include "assets/artwork/artwork.h"

namespace kelvane {
namespace {

// A label at its design box, widened when the system font needs more room
// than the design's font did, so no letter is cut off.
QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, int pixels, const QRect& box) {
  auto* label = new QLabel(text, &parent);
  label->setObjectName(name);
  label->setFont(WindowFont(pixels, true));
  label->setGeometry(box);
  if (label->sizeHint().width() > box.width()) label->resize(label->sizeHint().width(), box.height());
  return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutForm");
  SetUpToolWindow(*this, "About Kelvane", QSize(586, 359));

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setGeometry(8, 16, 569, 329);

  auto* image = new QLabel(panel);
  image->setObjectName("AboutImage");
  image->setScaledContents(true);  // stretched to the box, not kept in proportion
  image->setPixmap(TitlePicture());
  image->setGeometry(16, 32, 209, 273);

  AddLabel(*panel, "Label1", "Kelvane", 32, QRect(240, 48, 182, 37));
  AddLabel(*panel, "Label3", "Version 1.1", 19, QRect(240, 112, 107, 24));

  QPushButton* ok = AddOkButton(*panel, QRect(456, 280, 75, 25));
  connect(ok, &QPushButton::clicked, this, &TAboutForm::BitBtn1Click);
}

void TAboutForm::BitBtn1Click() { close(); }

}  // namespace kelvane
