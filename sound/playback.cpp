#include "sound/playback.h"

#include <algorithm>
#include <cstdint>

#include "state/paths.h"
#include "toolkit/text.h"

namespace kelvane {
namespace {

void ShowCurrentCycle(SessionState& s, Shell& shell) {
  shell.SetStatusText(1, "Current Cycle:  " + IntToStr(s.currentCycle));
}

// Each note row counts as 4 seconds; only the cycles after this one count.
void ShowRemainingTime(SessionState& s, Shell& shell) {
  s.remainingSeconds = (std::int64_t{s.cycles} - s.currentCycle) * std::int64_t{s.itemCount};
  s.remainingSeconds *= 4;
  s.remainingMinutes = static_cast<std::int64_t>(s.remainingSeconds / 60);
  s.remainingSecondsPart = static_cast<std::int64_t>(s.remainingSeconds - s.remainingSeconds / 60 * 60);
  shell.SetStatusText(3, "Remaining Session Time, (approx.):  " + IntToStr(s.remainingMinutes) + " min.  " +
                             IntToStr(s.remainingSecondsPart) + " sec.");
}

// 0 or 1 rows play SEQ_1X.MID; other counts outside 2..30 keep the name the
// decoder or the loader left.
void ChooseSequenceFile(SessionState& s) {
  if (s.itemCount == 0 || s.itemCount == 1)
    s.sequenceFileName = "SEQ_1X.MID";
  else if (s.itemCount >= 2 && s.itemCount <= kMaxItems)
    s.sequenceFileName = "SEQ_" + IntToStr(s.itemCount) + "X.MID";
}

}  // namespace

int PlayedRows(const SessionState& s) { return std::clamp(s.itemCount, 1, kMaxItems); }

void StartPlayback(SessionState& s, MainControls& c) {
  ChooseSequenceFile(s);
  c.player.SetFileName(HostPath("C:\\Kelvane\\Audio_Information\\" + s.sequenceFileName));
  c.player.Open();
  c.player.SetNotify(true);
  c.player.Play();
  s.playing = true;
  c.timer2.SetEnabled(true);
  s.currentCycle = 1;
  ShowCurrentCycle(s, c.shell);
  c.shell.SetStatusText(2, "Total Cycles:  " + IntToStr(s.cycles));
  ShowRemainingTime(s, c.shell);
}

void MediaPlayer1Notify(SessionState& s, MainControls& c) {
  if (modeNames[static_cast<int>(c.player.Mode())] != "Stopped") return;
  // "One more than cycles" without the addition, which a count of INT32_MAX
  // would overflow; the counter itself stops at the largest integer.
  const bool sessionOver = s.currentCycle >= s.cycles;
  if (s.currentCycle < INT32_MAX) s.currentCycle += 1;
  if (sessionOver) {
    c.player.Stop();
    c.player.SetNotify(false);
    c.timer2.SetEnabled(false);
    c.shell.Beep();
    return;
  }
  c.player.SetNotify(true);
  ShowCurrentCycle(s, c.shell);
  ShowRemainingTime(s, c.shell);
  c.player.Play();
}

void PauseMenuClick(SessionState& s, MainControls& c) {
  if (!s.paused) {
    c.timer2.SetEnabled(false);
    c.player.Pause();
    c.shell.SetPauseCaption("RESUME");
    s.paused = true;
  } else {
    c.timer2.SetEnabled(true);
    c.player.Play();
    c.shell.SetPauseCaption("Pause");
    s.paused = false;
  }
}

void StopMenuClick(SessionState& s, MainControls& c) {
  c.timer2.SetEnabled(false);
  c.player.Stop();
  c.player.SetNotify(false);
  s.cycles = 0;
  s.currentCycle = 0;
  ShowCurrentCycle(s, c.shell);
  s.sessionOpen = 0;
}

}  // namespace kelvane
