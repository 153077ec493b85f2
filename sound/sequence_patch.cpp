#include "sound/sequence_patch.h"

namespace kelvane {

void PatchSequenceNotes(SessionState&, Shell&) {}
void PatchSequenceInstrument(SessionState&, Shell&) {}

}  // namespace kelvane
