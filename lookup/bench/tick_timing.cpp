// Time of whole detection ticks on Windows, outside the timer: an idle tick (empty lyric folder)
// averaged over many ticks, and a tick that finds a new lyric file, empties the folder and looks
// the song up on the key-database site, as the median and worst of several songs. The site's
// address comes from TONVIA_TEST_SITE (default: the tests' local site).
// Usage: tick_timing [songs] [idle ticks]
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "detect/detection_tick.h"
#include "detect/memory_field_store.h"
#include "detect/tests/temp_folder.h"
#include "lookup/key_text.h"
#include "lookup/lookup_pass.h"
#include "lookup/tests/settings_file.h"
#include "lookup/tests/test_site.h"

namespace tonvia {
namespace {

using Clock = std::chrono::steady_clock;

// Songs the local site knows.
const char* const kTitles[] = {"青石巷",   "半城烟火", "山海来信", "旧时月光",
                               "星河渡口", "橘子汽水", "海盐与风", "雨落长亭"};

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The fields as the main window holds them while detection runs: drive letter and folder path.
MemoryFieldStore FieldsFor(const TempFolder& folder) {
  MemoryFieldStore fields;
  fields.Write(Field::编辑框1, LeftText(folder.Path(), 1));
  fields.Write(Field::编辑框6, MiddleText(folder.Path(), 2, 1000));
  return fields;
}

int Run(int songs, int idleTicks) {
  testing::SettingsFile settings(testing::TestSite().c_str());
  const LookupPass lookup = [&settings](FieldStore& fields, TickState& state) {
    RunLookupPass(fields, state, settings.path());
  };
  TempFolder folder;
  MemoryFieldStore fields = FieldsFor(folder);

  const Clock::time_point idleStart = Clock::now();
  for (int i = 0; i < idleTicks; ++i) RunDetectionTick(fields, lookup);
  const double idleMs = Milliseconds(Clock::now() - idleStart) / idleTicks;

  std::vector<double> songMs;
  for (int i = 0; i < songs; ++i) {
    const Text title = kTitles[i % (sizeof kTitles / sizeof *kTitles)];
    folder.MakeFile("测速歌手 - " + title + "(Live).krc");
    const Clock::time_point start = Clock::now();
    RunDetectionTick(fields, lookup);
    songMs.push_back(Milliseconds(Clock::now() - start));
    if (fields.Read(Field::编辑框2) == kNotFoundMessage || !folder.List().empty()) {
      std::fprintf(stderr, "tick_timing: song %d was not found on %s, or the folder kept it\n",
                   i + 1, testing::TestSite().c_str());
      return 1;
    }
  }
  std::sort(songMs.begin(), songMs.end());
  std::printf("idle tick (empty folder), mean of %d: %.3f ms\n", idleTicks, idleMs);
  std::printf("song tick (find, empty the folder, fetch, extract), %d songs: median %.1f ms, "
              "worst %.1f ms\n",
              songs, songMs[songMs.size() / 2], songMs.back());
  return 0;
}

}  // namespace
}  // namespace tonvia

int main(int argc, char** argv) {
  // The folder is emptied through COM, initialised as the program does at start-up.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int songs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int idleTicks = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
  const int result = tonvia::Run(songs, idleTicks);
  CoUninitialize();
  return result;
}
