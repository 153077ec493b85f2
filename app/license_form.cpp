#include "app/license_form.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/secondary_window.h"
#include "assets/artwork/artwork.h"

namespace kelvane {

TLicenseForm::TLicenseForm(QWidget* parent) : QDialog(parent) {
  setObjectName("LicenseForm");
  SetUpToolWindow(*this, "License and Disclaimer", QSize(403, 351));

  auto* memo = new QPlainTextEdit(this);
  memo->setObjectName("LicenseMemo");
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setPlainText(LicenseText());
  memo->setGeometry(16, 24, 369, 257);

  // No handler of its own: its OK result ends the modal display.
  QPushButton* ok = AddOkButton(*this, QRect(160, 304, 75, 25));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kelvane
