// The real main window on the offscreen platform: its layout, its menu, and a
// whole Open through the real file dialog of a sample session.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "app/file_drop.h"
#include "app/main_form.h"
#include "qt/first_start.h"
#include "qt/player_window.h"
#include "session/ambrel_json.h"
#include "session/paradox_table.h"
#include "state/paths.h"
#include "tests/fakes/fake_player.h"
#include "tests/fakes/temp_data_home.h"

namespace kelvane {

// Found by GoogleTest beside the type, for failures that read as sizes.
void PrintTo(const DrawingArea& a, std::ostream* out) {
  *out << a.width << " x " << a.height << ", shown " << a.shown.left << "," << a.shown.top << " - " << a.shown.right
       << "," << a.shown.bottom;
}

namespace {

class MainFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "main_form_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    QApplication::setApplicationName("Kelvane");
  }
  void SetUp() override {
    auto player = std::make_unique<testing::FakePlayer>(log);
    player_ = player.get();
    form = std::make_unique<TMainForm>(
        MainFormServices{std::move(player), std::make_unique<ParadoxTable>(), [this] { ++tones; }});
  }
  // File > Open Ambrel, the path typed into the real file dialog and
  // accepted, as a user would; true when the dialog was seen.
  bool OpenThroughTheDialog(const QString& path) {
    form->resize(1000, 700);
    form->show();
    bool dialogSeen = false;
    QTimer::singleShot(50, [&] {
      QFileDialog& dialog = form->openDialog().dialog();
      dialogSeen = dialog.isVisible();
      EXPECT_EQ(dialog.directory().absolutePath(),
                QFile::decodeName(QByteArray::fromStdString(HostPath("C:\\Kelvane\\Ambrels"))));
      auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(edit, nullptr);
      EXPECT_EQ(edit->text(), "*.db");
      edit->setText(path);
      QTimer::singleShot(300, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          ADD_FAILURE() << "file dialog said: " << box->text().toStdString();
          box->reject();
        }
      });
      QMetaObject::invokeMethod(&dialog, "accept");
      if (dialog.isVisible()) {
        ADD_FAILURE() << "the dialog refused " << path.toStdString();
        dialog.reject();
      }
    });
    form->menuBar()->findChild<QAction*>("OpenAmbrelMenu")->trigger();
    return dialogSeen;
  }
  // Lists the captions of a menu's entries, "-" for a separator.
  static QStringList Captions(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QString("-") : a->text());
    return out;
  }

  testing::TempDataHome home;
  testing::Recorder log;
  testing::FakePlayer* player_ = nullptr;
  int tones = 0;
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, CaptionMenuAndStatusBarAreLaidOutAsDesigned) {
  EXPECT_EQ(form->windowTitle(), "Kelvane   v 1.1");
  QMenuBar* bar = form->menuBar();
  EXPECT_EQ(Captions(bar->actions()), (QStringList{"&File", "Pause", "&Stop", "&Help"}));
  QMenu* file = bar->actions()[0]->menu();
  QMenu* help = bar->actions()[3]->menu();
  ASSERT_NE(file, nullptr);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(bar->actions()[1]->menu(), nullptr) << "Pause sits right on the menu bar";
  // Only where the desktop exports a global menu bar can this fail: it would drop Pause and Stop.
  EXPECT_FALSE(bar->isNativeMenuBar());
  EXPECT_EQ(Captions(file->actions()), (QStringList{"&Open Ambrel", "-", "&Exit"}));
  EXPECT_EQ(Captions(help->actions()),
            (QStringList{"&Contents", "-", "&License and Disclaimer", "&About Kelvane"}));
  EXPECT_FALSE(help->actions()[0]->isEnabled());
  EXPECT_TRUE(help->actions()[2]->isEnabled());

  const auto panels = form->statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel"));
  ASSERT_EQ(panels.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(form->StatusText(i).isEmpty());
  EXPECT_EQ(form->findChild<QLabel*>("StatusPanel0")->width(), 150);
  EXPECT_TRUE(form->timer2().Enabled()) << "both timers run from the start";
  EXPECT_EQ(form->timer2().timer().interval(), 1);

  form->resize(1000, 700);
  form->show();
  QApplication::processEvents();
  auto* info = form->findChild<QWidget*>("InfoPanel");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->width(), 172);
  EXPECT_EQ(info->mapTo(form.get(), QPoint(info->width(), 0)).x(), form->width()) << "at the right edge";
  const auto* heading = form->findChild<QLabel*>("CommentLabel");
  EXPECT_EQ(heading->text(), "Comment:");
  EXPECT_GE(heading->width(), heading->sizeHint().width()) << "the colon is cut off";
  EXPECT_TRUE(form->findChild<QPlainTextEdit*>("AmbrelMemo")->isReadOnly());
  EXPECT_EQ(form->surface().image().pixel(form->surface().width() / 3, 100), qRgb(0, 0, 0));
}

// The editor pictures where Kelvane draws from an unseen copy of this
// window's parts; measured here on the real window, maximised as Kelvane
// starts and at other sizes, the two agree to the pixel.
TEST_F(MainFormTest, TheDrawingAreaTheEditorPicturesIsWhereThisWindowDraws) {
  const auto measured = [this] {
    QtSurface& surface = form->surface();
    const auto* bevel = form->findChild<QWidget*>("Bevel1");
    const auto* info = form->findChild<QWidget*>("InfoPanel");
    const QPoint panel = info->mapTo(&surface, QPoint(0, 0));
    EXPECT_EQ(panel.x() + info->width(), surface.width()) << "the panel reaches the right edge";
    EXPECT_EQ(panel.y() + info->height(), surface.height()) << "and the bottom";
    EXPECT_EQ(surface.image().size(), surface.size()) << "the tunnel's image is the surface";
    return DrawingArea{surface.width(), surface.height(),
                       Rect{0, bevel->mapTo(&surface, QPoint(0, bevel->height())).y(), panel.x(), surface.height()}};
  };
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  form->showMaximized();
  QApplication::processEvents();
  // The frame the window system puts around it, as the editor takes it from its own window.
  const QRect outer = form->frameGeometry(), inner = form->geometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
  ASSERT_EQ(outer, screen->availableGeometry());
  const DrawingArea maximised = measured();
  EXPECT_EQ(MaximisedPlayerDrawingArea(*screen, frame), maximised);
  EXPECT_LT(maximised.height, form->height() - 20) << "the menu and status bars take their room";
  EXPECT_EQ(maximised.shown.right, maximised.width - kInfoPanelWidth);
  form->showNormal();
  for (const QSize size : {QSize(1000, 700), QSize(640, 900)}) {
    form->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(PlayerDrawingArea(form->size()), measured()) << size.width() << " x " << size.height();
  }
}

TEST_F(MainFormTest, BeingShownActivatesOnceBeforeAnyTunnelTick) {
  form->resize(800, 600);
  form->show();
  QApplication::processEvents();
  EXPECT_FALSE(form->timer2().Enabled());
  EXPECT_FALSE(form->state().splashPending);
  EXPECT_EQ(form->state().NotePalette[13], 0xFF00B4u) << "the palette is seeded";
  const QImage& image = form->surface().image();
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2)
      ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0)) << "nothing is drawn before a session starts, at " << x << "," << y;
  form->state().splashPending = true;
  form->hide();
  form->show();
  QApplication::processEvents();
  EXPECT_TRUE(form->state().splashPending) << "only the first showing counts";
}

TEST_F(MainFormTest, Timer3RunsThePulseEvery50msFromCreation) {
  EXPECT_EQ(form->timer3().timer().interval(), 50);
  EXPECT_TRUE(form->timer3().Enabled());
  const int before = form->state().pulseCounter;
  QEventLoop loop;
  QObject::connect(&form->timer3().timer(), &QTimer::timeout, &loop, &QEventLoop::quit);
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_GT(form->state().pulseCounter, before) << "no pulse tick within 2 s";
}

// A file name that looks like markup is shown as it is, and the end of a
// play reaches MediaPlayer1Notify, which counts the next cycle.
TEST_F(MainFormTest, OpenThroughTheRealFileDialogShowsTheFileAndItsCommentThenCountsCycles) {
  PrepareDataDirectory();
  const QString sample = QFile::decodeName(QByteArray::fromStdString(HostPath("C:\\Kelvane\\Ambrels\\blue_calm.db")));
  const QString path = QFileInfo(sample).dir().filePath("<b>c.db");
  ASSERT_TRUE(QFile::copy(sample, path)) << sample.toStdString() << " to " << path.toStdString();
  EXPECT_TRUE(OpenThroughTheDialog(path));
  EXPECT_EQ(form->StatusText(0), "<b>c.db");
  EXPECT_EQ(form->findChild<QLabel*>("StatusPanel0")->textFormat(), Qt::PlainText);
  EXPECT_EQ(form->CommentText(), "One slow row of the blues scale, rising, three times.");
  EXPECT_EQ(form->StatusText(1), "Current Cycle:  1");
  EXPECT_EQ(form->StatusText(2), "Total Cycles:  3");
  EXPECT_EQ(player_->Mode(), PlayerMode::Playing);
  EXPECT_EQ(form->state().colorB, 255);
  player_->Finish();
  EXPECT_EQ(form->StatusText(1), "Current Cycle:  2");
}

// A table in DOS code page 850 keeps its accents: 0x82 is an e acute there,
// and a control character in Latin-1.
TEST_F(MainFormTest, ACommentInCodePage850ShowsItsAccents) {
  PrepareDataDirectory();
  AmbrelTable t = AmbrelFromJson(R"({"Comment": "placeholder", "Rows": [[1,2,3,4,5,6,7,8,9,10,11,12,13]]})");
  for (std::size_t i = 0; i < t.columns.size(); ++i)
    if (t.columns[i].name == "Comment") t.row[i] = std::string("Caf\x82 cr\x8Ame");
  const std::string path = HostPath("C:\\Kelvane\\Ambrels\\dos.db");
  WritePxlibTable(path, t.columns, {t.row}, {}, 850);
  EXPECT_TRUE(OpenThroughTheDialog(QFile::decodeName(QByteArray::fromStdString(path))));
  EXPECT_EQ(form->CommentText(), QString::fromUtf8("Caf\u00e9 cr\u00e8me"));
}

TEST_F(MainFormTest, AnErrorEndsTheHandlerInABoxAndTheProgramRunsOn) {
  form->show();
  bool boxSeen = false;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    boxSeen = true;
    EXPECT_EQ(box->text(), "No sequence file is open");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    box->accept();
  });
  form->menuBar()->findChild<QAction*>("PauseMenu")->trigger();
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(form->PauseMenu()->text(), "Pause") << "the steps after the failing call did not run";
  EXPECT_FALSE(form->timer2().Enabled()) << "the steps before it did";
}

TEST_F(MainFormTest, ErrorsRaisedWhileABoxIsOpenFollowItOnceEach) {
  form->show();
  QStringList shown;
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown << box->text();
    if (shown.size() == 1) {
      // Handlers that run while the first box is up fail too.
      form->Guard([] { throw std::runtime_error("second"); });
      form->Guard([] { throw std::runtime_error("No sequence file is open"); });
      form->Guard([] { throw std::runtime_error("second"); });
    }
    box->accept();
    if (shown.size() < 5) QTimer::singleShot(20, answer);
  };
  QTimer::singleShot(20, answer);
  form->Guard([] { throw std::runtime_error("No sequence file is open"); });
  EXPECT_EQ(shown, (QStringList{"No sequence file is open", "second"}));
}

// A file handed over from outside (the command line, the session bus, a
// drop) waits for the first activation: opened before it, its tunnel would
// be stopped by FormActivate while its sound played on.
TEST_F(MainFormTest, AFileFromOutsideOpensAfterTheFirstActivationAndADropOpensTheFirstFile) {
  PrepareDataDirectory();
  const QString sample = QFile::decodeName(QByteArray::fromStdString(HostPath("C:\\Kelvane\\Ambrels\\blue_calm.db")));
  form->OpenFile(sample);
  EXPECT_EQ(player_->Mode(), PlayerMode::NotReady) << "opened before the window was shown";
  form->resize(1000, 700);
  form->show();
  QApplication::processEvents();
  EXPECT_EQ(player_->Mode(), PlayerMode::Playing);
  EXPECT_TRUE(form->timer2().Enabled()) << "the tunnel was stopped after the session had started";
  EXPECT_EQ(form->StatusText(0), "blue_calm.db");

  QString dropped;
  FileDropTarget target(*form, [&](const QString& path) { dropped = path; });
  QMimeData data;
  data.setUrls({QUrl("https://example.org/x.db"), QUrl::fromLocalFile("/tmp/a.db"), QUrl::fromLocalFile("/tmp/b.db")});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &drop);
  QApplication::processEvents();
  EXPECT_EQ(dropped, "/tmp/a.db");
}

TEST_F(MainFormTest, ClosingWhilePlayingStopsThePlayer) {
  form->state().playing = true;
  player_->SetFileName("x");
  player_->Open();
  player_->Play();
  form->show();
  form->close();
  EXPECT_EQ(player_->Mode(), PlayerMode::Stopped);
  EXPECT_FALSE(form->state().playing);
  EXPECT_FALSE(form->timer2().Enabled());
}

}  // namespace
}  // namespace kelvane
