// kelvane-editor: makes Kelvane's sessions by looking and listening.
//
//   kelvane-editor [FILE]

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "assets/artwork/artwork.h"
#include "editor/editor_window.h"
#include "qt/first_start.h"
#include "qt/keep_no_settings.h"
#include "state/paths.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  kelvane::KeepNoSettings();
  QApplication::setApplicationName("Kelvane Editor");
  QApplication::setApplicationVersion(KELVANE_VERSION);
  QApplication::setDesktopFileName("kelvane-editor");
  QApplication::setWindowIcon(kelvane::EditorIcon());

  QCommandLineParser parser;
  parser.setApplicationDescription("Makes light-and-sound sessions (Ambrel files) for Kelvane.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE", "An Ambrel session to open.", "[FILE]");
  parser.process(app);
  if (parser.positionalArguments().size() > 1) parser.showHelp(2);

  try {
    // Started before Kelvane ever was, the editor makes the session
    // directory as Kelvane's first start would, with the sample sessions, so
    // that Kelvane finds it as it expects. Templates are left to Kelvane.
    kelvane::InstallSampleSessions(kelvane::HostPath(kelvane::kSessionDirectory));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kelvane-editor: %s\n", error.what());
  }

  kelvane::EditorWindow window;
  const QSize room = QApplication::primaryScreen() ? QApplication::primaryScreen()->availableSize() : QSize(1280, 900);
  window.resize(std::min(room.width(), 1240), std::min(room.height(), 920));
  window.show();
  // Once the window shows, so an error about the file appears over it.
  if (!parser.positionalArguments().isEmpty()) {
    const QString path = parser.positionalArguments().first();
    QTimer::singleShot(0, &window, [&window, path] { window.OpenFile(path); });
  }
  return QApplication::exec();
}
