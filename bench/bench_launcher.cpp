// What the sorabe command adds to a start, on an installed tree (staged from
// this build into a scratch folder):
//   - until the drill window is mapped on the X server: `sorabe --data DIR`
//     against the installed drill started directly in DIR;
//   - the hand-over alone: `sorabe` in front of a drill that ends at once
//     (a copy of true), against that copy started directly.
// Runs interleave, so a noisy moment hits both sides alike; figures are medians.
//
//   bench_launcher [runs]   default 15 of each; without a display it starts
//                           itself again under xvfb-run

#include "Stats.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

using bench::median;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int run(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& word : command) line += "'" + word + "' ";
  return std::system((line + ">/dev/null").c_str());
}

pid_t spawnIn(const fs::path& folder, const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(argv[0]);
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void reap(pid_t pid, bool terminate) {
  if (terminate) kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Watches the root window for a top-level window being mapped.
class MapWatcher {
 public:
  MapWatcher() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_)) {
      std::fprintf(stderr, "bench_launcher: no X display\n");
      std::exit(1);
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
  }
  ~MapWatcher() { xcb_disconnect(connection_); }

  // Milliseconds from start until the next mapped window, or -1 after 30 s.
  double waitForMap(Clock::time_point start) {
    while (msSince(start) < 30000) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped) return msSince(start);
      }
      pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
      poll(&fd, 1, 100);
    }
    return -1;
  }

  void drain() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
  }

 private:
  xcb_connection_t* connection_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::vector<char*> again{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                             const_cast<char*>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i) again.push_back(argv[i]);
    again.push_back(nullptr);
    execvp("xvfb-run", again.data());
    std::perror("xvfb-run");
    return 1;
  }
  unsetenv("QT_QPA_PLATFORM");  // the drill must really map its window
  const int runs = argc >= 2 ? std::max(3, std::atoi(argv[1])) : 15;

  // This program lies in BUILD/bench; install BUILD into a scratch prefix.
  const fs::path build = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
  char scratchName[] = "/tmp/bench_launcher.XXXXXX";
  const fs::path scratch = mkdtemp(scratchName);
  const fs::path prefix = scratch / "usr";
  if (run({"cmake", "--install", build.string(), "--prefix", prefix.string()}) != 0) return 1;
  const std::string sorabe = (prefix / "bin/sorabe").string();
  const std::string drill = (prefix / "libexec/sorabe/Sorabe").string();
  const fs::path data = scratch / "data";

  // The drill started directly runs in the data folder; sorabe is started
  // from the scratch folder and goes there itself.
  MapWatcher watcher;
  auto toWindow = [&](const std::vector<std::string>& command) {
    watcher.drain();
    const Clock::time_point start = Clock::now();
    const pid_t pid = spawnIn(command[0] == drill ? data : scratch, command);
    const double ms = watcher.waitForMap(start);
    reap(pid, true);
    if (ms < 0) {
      std::fprintf(stderr, "bench_launcher: no window from %s\n", command[0].c_str());
      std::exit(1);
    }
    return ms;
  };
  std::vector<double> viaSorabe, direct;
  toWindow({sorabe, "--data", data.string()});  // prepares the folder, warms the caches
  for (int n = 0; n < runs; ++n) {
    // Each side goes first every other round.
    if (n % 2) viaSorabe.push_back(toWindow({sorabe, "--data", data.string()}));
    direct.push_back(toWindow({drill}));
    if (n % 2 == 0) viaSorabe.push_back(toWindow({sorabe, "--data", data.string()}));
  }

  // The hand-over alone: the installed drill replaced by a program that ends at once.
  fs::copy_file("/bin/true", drill, fs::copy_options::overwrite_existing);
  auto toEnd = [&](const std::vector<std::string>& command) {
    const Clock::time_point start = Clock::now();
    reap(spawnIn(data, command), false);
    return msSince(start);
  };
  std::vector<double> handOver, bare;
  for (int n = 0; n < runs * 10; ++n) {
    bare.push_back(toEnd({drill}));
    handOver.push_back(toEnd({sorabe, "--data", data.string()}));
  }
  fs::remove_all(scratch);

  const double s = median(viaSorabe), d = median(direct);
  std::printf("window_mapped runs=%d sorabe_ms=%.1f direct_ms=%.1f ratio=%.3f\n", runs, s, d, s / d);
  const double h = median(handOver), b = median(bare);
  std::printf("hand_over runs=%d sorabe_then_exit_ms=%.2f exit_ms=%.2f added_ms=%.2f ratio=%.2f\n", runs * 10, h, b,
              h - b, h / b);
  return 0;
}
