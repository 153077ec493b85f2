#include "app/about_form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/secondary_window.h"
#include "assets/artwork/artwork.h"

namespace kelvane {

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

  AddLabel(*panel, "Label1", "Kelvane", WindowFont(32, true), QRect(240, 48, 182, 37));
  AddLabel(*panel, "Label3", "Version 1.1", WindowFont(19, true), QRect(240, 112, 107, 24));

  QPushButton* ok = AddOkButton(*panel, QRect(456, 280, 75, 25));
  connect(ok, &QPushButton::clicked, this, &TAboutForm::BitBtn1Click);
}

void TAboutForm::BitBtn1Click() { close(); }

}  // namespace kelvane
