// Turns the test build of the command into a scripted process: the device's
// answers come from VORNISK_SCRIPT and every platform call goes, one per
// line, to the file named by VORNISK_CALLS when the process ends.
//
// VORNISK_SCRIPT holds words separated by spaces: "absent" (the device
// cannot be opened), "X,Y" (a reply with raw axis values X and Y), "X,Y/N"
// (the same, reporting N bytes) and "fail" (a failed request).
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "tests/scripted_platform.h"

namespace {

Reply ParseReply(const std::string& word) {
  if (word == "fail") return Reply::Failure();
  long raw_x = 0;
  long raw_y = 0;
  unsigned long returned = 36;
  if (std::sscanf(word.c_str(), "%ld,%ld/%lu", &raw_x, &raw_y, &returned) < 2) {
    std::fprintf(stderr, "scripted: bad word in VORNISK_SCRIPT: %s\n",
                 word.c_str());
    std::exit(99);
  }
  return Reply::Axes(static_cast<std::int16_t>(raw_x),
                     static_cast<std::int16_t>(raw_y),
                     static_cast<DWORD>(returned));
}

// How much of stdout has reached the file it is redirected to.
std::string StdoutSize() {
  struct stat status {};
  if (fstat(1, &status) != 0 || !S_ISREG(status.st_mode)) return "";
  return " stdout=" + std::to_string(status.st_size);
}

struct ScriptedProcess {
  ScriptedProcess() {
    Script& script = TheScript();
    const char* calls = std::getenv("VORNISK_CALLS");
    script.recording = calls != nullptr;
    if (calls != nullptr) {
      calls_path = calls;
      script.sleep_note = StdoutSize;
    }
    std::istringstream words(std::getenv("VORNISK_SCRIPT") != nullptr
                                 ? std::getenv("VORNISK_SCRIPT")
                                 : "");
    for (std::string word; words >> word;) {
      if (word == "absent") {
        script.device_present = false;
      } else {
        script.replies.push_back(ParseReply(word));
      }
    }
  }

  ~ScriptedProcess() {
    if (calls_path.empty()) return;
    std::FILE* file = std::fopen(calls_path.c_str(), "w");
    if (file == nullptr) return;
    for (const std::string& call : TheScript().calls) {
      std::fprintf(file, "%s\n", call.c_str());
    }
    std::fclose(file);
  }

  std::string calls_path;
};

const ScriptedProcess scripted_process;

}  // namespace
