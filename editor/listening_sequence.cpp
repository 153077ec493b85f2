#include "editor/listening_sequence.h"

#include <filesystem>
#include <fstream>

#include "editor/document_state.h"
#include "render/headless_window.h"
#include "sound/midi_templates.h"
#include "sound/sequence_patch.h"
#include "state/paths.h"
#include "visual/color_arrays.h"

namespace kelvane {
namespace {

SessionDocument RowsToPlay(const SessionDocument& document, int first, int count) {
  const int rows = static_cast<int>(document.rows.size());
  if (rows == 0) throw DocumentError("The session has no note rows to play");
  if (first < 0 || first >= rows || count < 1)
    throw DocumentError("There is no row " + std::to_string(first + 1) + " to play");
  SessionDocument played = document;
  const auto from = document.rows.begin() + first;
  played.rows.assign(from, from + std::min({count, rows - first, kEditorMaxRows}));
  return played;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw DocumentError("Cannot write the sound to play into " + path.parent_path().string());
}

}  // namespace

std::string WriteListeningSequence(const SessionDocument& document, int first, int count,
                                   const std::string& dataDirectory) {
  const SessionDocument played = RowsToPlay(document, first, count);
  SessionState s;
  SeedTunnelColors(s);
  ApplyDocument(played, s);
  const std::filesystem::path audio = std::filesystem::path(dataDirectory) / "Audio_Information";
  std::error_code error;
  std::filesystem::create_directories(audio, error);
  const std::filesystem::path file = audio / s.sequenceFileName;
  WriteBytes(file, SequenceTemplate(s.itemCount));
  DataDirectoryOverride into(dataDirectory);
  HeadlessShell shell({});
  PatchSequenceNotes(s, shell);
  PatchSequenceInstrument(s, shell);
  if (!shell.Messages().empty())
    throw DocumentError("Cannot prepare the sound to play: " + shell.Messages().front());
  return file.string();
}

}  // namespace kelvane

namespace kelvane {

std::optional<SoundingNote> NoteSoundingAt(double seconds, int rows) {
  if (!(seconds >= 0)) return std::nullopt;
  const int row = static_cast<int>(seconds / kTemplateRowSeconds);
  if (row >= rows) return std::nullopt;
  const double inRow = seconds - row * kTemplateRowSeconds;
  const int note = static_cast<int>(inRow / kTemplateNoteStepSeconds);
  if (note >= kEditorNotesPerRow || inRow - note * kTemplateNoteStepSeconds >= kTemplateNoteSeconds) return std::nullopt;
  return SoundingNote{row, note};
}

}  // namespace kelvane
