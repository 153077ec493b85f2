// The About, licence and splash windows on the offscreen platform: their
// layout and texts, how they close, and how the main window shows them.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>

#include "app/about_form.h"
#include "app/license_form.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "assets/artwork/artwork.h"
#include "commands/main_commands.h"
#include "session/paradox_table.h"
#include "tests/fakes/fake_player.h"
#include "tests/fakes/temp_data_home.h"
#include "visual/stimulus_area.h"

namespace kelvane {
namespace {

// Counts how often a window is shown and closes it again at once, the way a
// user dismisses it, from inside its modal loop.
class Dismisser : public QObject {
 public:
  Dismisser(QDialog& dialog, std::function<void(QDialog&)> close) : dialog_(dialog), close_(std::move(close)) {
    dialog_.installEventFilter(this);
  }
  int shown = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show) {
      ++shown;
      QTimer::singleShot(0, &dialog_, [this] { close_(dialog_); });
    }
    return false;
  }

 private:
  QDialog& dialog_;
  std::function<void(QDialog&)> close_;
};

void ClickOk(QDialog& d) { d.findChild<QPushButton*>("BitBtn1")->click(); }
void CloseBox(QDialog& d) { d.close(); }

// At its design place and height; wider only where the system font needs
// the room, and never so narrow that the text is cut.
void ExpectDesignBox(const QLabel& label, const QRect& design) {
  EXPECT_EQ(label.pos(), design.topLeft()) << label.objectName().toStdString();
  EXPECT_EQ(label.height(), design.height());
  EXPECT_GE(label.width(), design.width());
  EXPECT_GE(label.width(), label.sizeHint().width()) << "the whole text shows";
}

bool HasMinOrMaxBox(const QWidget& w) {
  return w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
}

class SecondaryWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "secondary_windows_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    QApplication::setApplicationName("Kelvane");
  }

  testing::TempDataHome home;
  testing::Recorder log;
};

TEST_F(SecondaryWindowsTest, AboutWindowIsLaidOutAsDesigned) {
  TAboutForm about;
  EXPECT_EQ(about.objectName(), "AboutForm");
  EXPECT_EQ(about.windowTitle(), "About Kelvane");
  EXPECT_EQ(about.size(), QSize(586, 359));
  EXPECT_EQ(about.minimumSize(), about.maximumSize()) << "fixed size";
  EXPECT_FALSE(HasMinOrMaxBox(about));
  EXPECT_EQ(about.pos(), QPoint(192, 108)) << "the design position, not centred";
  EXPECT_EQ(about.font().pixelSize(), 11);
  EXPECT_FALSE(about.windowIcon().isNull());

  auto* panel = about.findChild<QWidget*>("Panel1");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->geometry(), QRect(8, 16, 569, 329));
  auto* image = panel->findChild<QLabel*>("AboutImage");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(16, 32, 209, 273));
  EXPECT_TRUE(image->hasScaledContents()) << "stretched, not kept in proportion";
  EXPECT_EQ(image->pixmap().size(), QSize(362, 425));

  auto* name = panel->findChild<QLabel*>("Label1");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), "Kelvane");
  ExpectDesignBox(*name, QRect(240, 48, 182, 37));
  EXPECT_TRUE(name->font().bold());
  EXPECT_EQ(name->font().pixelSize(), 32);
  auto* version = panel->findChild<QLabel*>("Label3");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(), "Version 1.1");
  ExpectDesignBox(*version, QRect(240, 112, 107, 24));
  EXPECT_TRUE(version->font().bold());
  EXPECT_EQ(version->font().pixelSize(), 19);

  auto* ok = panel->findChild<QPushButton*>("BitBtn1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(ok->geometry(), QRect(456, 280, 75, 25));
  EXPECT_FALSE(ok->icon().isNull()) << "the check-mark glyph";
}

TEST_F(SecondaryWindowsTest, LicenceWindowHoldsTheTermsTheDisclaimerAndTheWarning) {
  TLicenseForm licence;
  EXPECT_EQ(licence.objectName(), "LicenseForm");
  EXPECT_EQ(licence.windowTitle(), "License and Disclaimer");
  EXPECT_EQ(licence.size(), QSize(403, 351));
  EXPECT_EQ(licence.minimumSize(), licence.maximumSize());
  EXPECT_FALSE(HasMinOrMaxBox(licence));
  EXPECT_EQ(licence.pos(), QPoint(192, 108));

  auto* memo = licence.findChild<QPlainTextEdit*>("LicenseMemo");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->geometry(), QRect(16, 24, 369, 257));
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  const QString text = memo->toPlainText();
  EXPECT_EQ(text, LicenseText());
  const auto lines = text.count('\n');
  EXPECT_GE(lines, 60);
  EXPECT_LE(lines, 90);
  // Terms, then the disclaimer, then the warning, in that order.
  const auto terms = text.indexOf("LICENCE"), disclaimer = text.indexOf("DISCLAIMER OF WARRANTY"),
             warning = text.indexOf("PHOTOSENSITIVITY WARNING");
  EXPECT_GE(terms, 0);
  EXPECT_LT(terms, disclaimer);
  EXPECT_LT(disclaimer, warning);
  EXPECT_TRUE(text.contains("photosensitive epilepsy"));
  EXPECT_TRUE(text.contains("not a medical device"));

  auto* ok = licence.findChild<QPushButton*>("BitBtn1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->geometry(), QRect(160, 304, 75, 25));
  Dismisser dismiss(licence, ClickOk);
  EXPECT_EQ(licence.exec(), QDialog::Accepted) << "OK ends the modal display with the result OK";
  EXPECT_FALSE(licence.isVisible());
}

TEST_F(SecondaryWindowsTest, SplashShowsTheTitlePictureCentredWithOnlyACloseBox) {
  TSplashForm2 splash;
  EXPECT_EQ(splash.objectName(), "SplashForm2");
  EXPECT_EQ(splash.windowTitle(), " ");
  EXPECT_FALSE(HasMinOrMaxBox(splash));
  EXPECT_TRUE(splash.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_NE(splash.minimumSize(), splash.maximumSize()) << "an ordinary resizable border";
  EXPECT_FALSE(splash.findChild<QPushButton*>()) << "no button: only the close box ends it";

  auto* image = splash.findChild<QLabel*>("SplashImage2");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(0, 0, 362, 425)) << "sized to its picture";
  EXPECT_EQ(splash.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
}

TEST_F(SecondaryWindowsTest, PicturesAreTheProgramsOwnTunnelInColour) {
  const QImage title = TitlePicture().toImage();
  EXPECT_EQ(title.size(), QSize(362, 425));
  EXPECT_FALSE(title.hasAlphaChannel());
  // A still of the tunnel has many colours, not a blank or a single fill.
  QSet<QRgb> colours;
  for (int y = 14; y < 328; y += 3)
    for (int x = 14; x < 348; x += 3) colours.insert(title.pixel(x, y));
  EXPECT_GT(colours.size(), 20);

  const QIcon icon = ApplicationIcon();
  EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
  EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
  EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
}

TEST_F(SecondaryWindowsTest, AboutClosesTheSameWayByOkAndByTheCloseBoxAndIsReused) {
  TAboutForm about;
  auto* image = about.findChild<QLabel*>("AboutImage");
  {
    Dismisser dismiss(about, ClickOk);
    about.exec();
    EXPECT_EQ(dismiss.shown, 1);
  }
  EXPECT_FALSE(about.isVisible());
  {
    Dismisser dismiss(about, CloseBox);
    about.exec();
    EXPECT_EQ(dismiss.shown, 1);
  }
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.findChild<QLabel*>("AboutImage"), image) << "the same window, not a new one";
}

// The main window with the real secondary windows, as start-up makes it.
class MainWithWindowsTest : public SecondaryWindowsTest {
 protected:
  void SetUp() override {
    form = std::make_unique<TMainForm>(MainFormServices{std::make_unique<testing::FakePlayer>(log),
                                                        std::make_unique<ParadoxTable>(), [] {}});
    about = new TAboutForm(form.get());
    licence = new TLicenseForm(form.get());
    splash = new TSplashForm2(form.get());
    form->SetSecondaryForms(about, licence, splash);
  }
  std::unique_ptr<TMainForm> form;
  TAboutForm* about = nullptr;
  TLicenseForm* licence = nullptr;
  TSplashForm2* splash = nullptr;
};

TEST_F(MainWithWindowsTest, SplashIsShownOnceHoweverOftenTheWindowIsActivated) {
  Dismisser dismiss(*splash, CloseBox);
  ASSERT_TRUE(form->state().splashPending);
  for (int i = 0; i < 3; ++i) FormActivate(form->state(), form->controls());
  EXPECT_EQ(dismiss.shown, 1);
  EXPECT_FALSE(form->state().splashPending);
  EXPECT_FALSE(splash->isVisible());
}

TEST_F(MainWithWindowsTest, AboutAndLicenceOpenedInTurnRedrawTheAreaFrameEachTime) {
  Dismisser closeAbout(*about, ClickOk);
  Dismisser closeLicence(*licence, ClickOk);
  Dismisser closeSplash(*splash, CloseBox);
  form->resize(900, 600);
  form->show();
  form->activateWindow();
  // The activation and the handler it posts arrive over a few turns of the loop.
  for (int turn = 0; turn < 50 && closeSplash.shown == 0; ++turn) QApplication::processEvents();
  EXPECT_EQ(closeSplash.shown, 1) << "the first activation shows the splash";
  SessionState& s = form->state();
  s.areaX1 = 40, s.areaY1 = 30, s.areaX2 = 240, s.areaY2 = 180;
  s.colorR = 255;
  SetUpStimulusArea(s, form->surface());
  const auto framePixel = [&] { return form->surface().image().pixel(38, 100); };  // the outermost rectangle
  ASSERT_EQ(framePixel(), qRgb(255, 0, 0));

  // Each time a new brush colour, so only a redraw after the window closed can show it.
  const std::pair<const char*, QRgb> steps[] = {{"AboutMenu", qRgb(0, 255, 0)},
                                                {"AboutMenu", qRgb(0, 0, 255)},
                                                {"LicenseMenu", qRgb(255, 255, 0)}};
  for (const auto& [menu, colour] : steps) {
    form->surface().SetBrushColor(static_cast<Color>(qRed(colour) | qGreen(colour) << 8 | qBlue(colour) << 16));
    form->menuBar()->findChild<QAction*>(menu)->trigger();
    EXPECT_EQ(framePixel(), colour) << menu;
  }
  EXPECT_EQ(closeAbout.shown, 2);
  EXPECT_EQ(closeLicence.shown, 1);
  EXPECT_EQ(closeSplash.shown, 1) << "and the modal windows closing are no new activation";
}

}  // namespace
}  // namespace kelvane
