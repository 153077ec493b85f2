#include "qt/first_start.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "sound/midi_templates.h"
#include "state/paths.h"

namespace kelvane {

void InstallSampleSessions(const std::string& sessionDirectoryHostPath) {
  const QString target = QFile::decodeName(QByteArray::fromStdString(sessionDirectoryHostPath));
  if (QFileInfo::exists(target)) return;
  if (!QDir().mkpath(target)) throw std::runtime_error("Cannot create the session directory " + sessionDirectoryHostPath);
  QDirIterator it(":/sessions");
  while (it.hasNext()) {
    const QString source = it.next();
    const QString copy = target + "/" + QFileInfo(source).fileName();
    if (!QFile::copy(source, copy))
      throw std::runtime_error("Cannot write the sample session " + QFile::encodeName(copy).toStdString());
    // Resources are read-only; the copies belong to the user.
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }
}

void PrepareDataDirectory() {
  WriteMissingTemplates(HostPath(kAudioDirectory));
  InstallSampleSessions(HostPath(kSessionDirectory));
}

}  // namespace kelvane
