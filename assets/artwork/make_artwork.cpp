// Writes the program's pictures into a folder at build time:
//   make_artwork <folder>
// title.png (362 x 425), title@2x.png (724 x 850), and kelvane-<size>.png
// and kelvane-editor-<size>.png for the icon sizes.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "assets/artwork/title_art.h"

namespace {

bool Save(const QImage& image, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork <output folder>\n");
    return 2;
  }
  // Text needs fonts, fonts need a GUI application, and a build has no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(".")) {
    std::fprintf(stderr, "make_artwork: cannot create %s\n", argv[1]);
    return 1;
  }
  bool ok = Save(kelvane::RenderTitlePicture(1), dir, "title.png");
  ok = Save(kelvane::RenderTitlePicture(2), dir, "title@2x.png") && ok;
  for (int size : {32, 48, 64, 128, 256}) {
    ok = Save(kelvane::RenderIcon(size), dir, QString("kelvane-%1.png").arg(size)) && ok;
    ok = Save(kelvane::RenderEditorIcon(size), dir, QString("kelvane-editor-%1.png").arg(size)) && ok;
  }
  return ok ? 0 : 1;
}
