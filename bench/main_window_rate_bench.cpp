// Ticks per second of the real main window playing a loaded session, side by
// side with a timer of the same interval whose handler does nothing. The
// window keeps up when its rate stays close to the empty handler's.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <cstdlib>
#include <stdexcept>
#include <memory>

#include "app/main_form.h"
#include "qt/first_start.h"
#include "session/paradox_table.h"
#include "state/paths.h"
#include "tests/fakes/fake_player.h"
#include "tests/fakes/temp_data_home.h"

namespace {

constexpr int kSeconds = 3;

// Runs the event loop for kSeconds and returns how often `timer` fired per second.
double TicksPerSecond(QTimer& timer) {
  long ticks = 0;
  const auto connection = QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  QEventLoop loop;
  QElapsedTimer clock;
  QTimer::singleShot(kSeconds * 1000, &loop, &QEventLoop::quit);
  clock.start();
  loop.exec();
  QObject::disconnect(connection);
  return ticks * 1000.0 / static_cast<double>(clock.elapsed());
}

// The main window with the sample session "ember.db" opened through its
// menu and file dialog, on a player that plays until told otherwise.
struct PlayingWindow {
  PlayingWindow() {
    kelvane::PrepareDataDirectory();
    form = std::make_unique<kelvane::TMainForm>(kelvane::MainFormServices{
        std::make_unique<kelvane::testing::FakePlayer>(log), std::make_unique<kelvane::ParadoxTable>(), [] {}});
    form->resize(1280, 800);
    form->show();
    // Let the first activation (which stops the tunnel) pass before the load.
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    const QString path =
        QFile::decodeName(QByteArray::fromStdString(kelvane::HostPath("C:\\Kelvane\\Ambrels\\ember.db")));
    if (!QFile::exists(path)) throw std::runtime_error("no sample session at " + path.toStdString());
    QTimer::singleShot(50, [this, path] { PickInDialog(path); });
    form->menuBar()->findChild<QAction*>("OpenAmbrelMenu")->trigger();
  }
  // The dialog fills its name box once it has read the directory: pick the
  // file when it has taken it.
  void PickInDialog(const QString& path) {
    QFileDialog& dialog = form->openDialog().dialog();
    dialog.selectFile(path);
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
    if (!dialog.isVisible() || dialog.selectedFiles() != QStringList{path}) {
      QTimer::singleShot(100, [this, path] { PickInDialog(path); });
      return;
    }
    QMetaObject::invokeMethod(&dialog, "accept");
  }
  kelvane::testing::TempDataHome home;
  kelvane::testing::Recorder log;
  std::unique_ptr<kelvane::TMainForm> form;
};

// Made on first use, gone before the application object.
std::unique_ptr<PlayingWindow> window;
PlayingWindow& Window() {
  if (!window) window = std::make_unique<PlayingWindow>();
  return *window;
}

void BM_EmptyHandlerRate(benchmark::State& state) {
  PlayingWindow& w = Window();
  w.form->timer2().SetEnabled(false);
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, [] {});
  timer.start();
  double rate = 0;
  for (auto _ : state) rate = TicksPerSecond(timer);
  state.counters["ticks_per_s"] = rate;
}

void BM_MainWindowRate(benchmark::State& state) {
  PlayingWindow& w = Window();
  kelvane::SessionState& s = w.form->state();
  s.density = static_cast<int>(state.range(0));
  s.form = static_cast<int>(state.range(1));
  if (!s.playing) state.SkipWithError("the session did not start");
  w.form->timer2().SetEnabled(true);
  double rate = 0;
  for (auto _ : state) rate = TicksPerSecond(w.form->timer2().timer());
  w.form->timer2().SetEnabled(false);
  state.counters["ticks_per_s"] = rate;
}

BENCHMARK(BM_EmptyHandlerRate)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MainWindowRate)
    ->ArgNames({"density", "form"})
    ->Args({1, 2})
    ->Args({2, 2})
    ->Args({5, 2})
    ->Args({2, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
// Again after the window's runs, to show how steady the machine was.
BENCHMARK(BM_EmptyHandlerRate)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kelvane");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  window.reset();
  return 0;
}
