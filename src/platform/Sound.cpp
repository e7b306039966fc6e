#include "platform/Sound.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <alsa/asoundlib.h>
#include <canberra.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace platform {
namespace {

// The sound library reports every device it fails to open on stderr, a dozen
// lines a sound on a machine without a sound card. Sorabe falls back to
// silence there, which is nothing to tell the child's terminal about.
void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

std::function<void()>& beepHook() {
  static std::function<void()> hook;
  return hook;
}

std::function<void(const QString&)>& soundHook() {
  static std::function<void(const QString&)> hook;
  return hook;
}

// Talks to libcanberra on a thread of its own: opening the context may try
// to reach a sound server, and that must never hold up the window.
class SoundWorker {
 public:
  static SoundWorker& instance() {
    static SoundWorker worker;
    return worker;
  }

  // An empty path means the bell.
  void request(std::string path) {
    {
      std::lock_guard lock(mutex_);
      if (queue_.size() >= kMaxQueued) return;  // a flood of beeps adds nothing
      queue_.push_back(std::move(path));
    }
    wake_.notify_one();
  }

  ~SoundWorker() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
  }

 private:
  static constexpr std::size_t kMaxQueued = 8;

  SoundWorker() : thread_([this] { run(); }) {}

  void run() {
    ca_context* context = nullptr;
    bool triedOpen = false;
    for (;;) {
      std::string path;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) break;
        path = std::move(queue_.front());
        queue_.pop_front();
      }
      if (!triedOpen) {
        triedOpen = true;
        snd_lib_error_set_handler(quietAlsaError);
        if (ca_context_create(&context) != CA_SUCCESS) context = nullptr;
        else if (ca_context_open(context) != CA_SUCCESS) {
          ca_context_destroy(context);
          context = nullptr;
        }
      }
      if (!context) continue;  // no sound system: silence
      int result = CA_ERROR_NOTFOUND;
      if (!path.empty())
        result = ca_context_play(context, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
      if (result != CA_SUCCESS)
        ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell", nullptr);
    }
    if (context) ca_context_destroy(context);
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

void MessageBeep() {
  if (beepHook()) {
    beepHook()();
    return;
  }
  SoundWorker::instance().request({});
}

void PlaySoundAsync(const QString& fileName) {
  if (soundHook()) {
    soundHook()(fileName);
    return;
  }
  const QFileInfo info(QDir::current(), fileName);
  SoundWorker::instance().request(info.exists() ? info.absoluteFilePath().toStdString() : std::string());
}

void SetBeepHook(std::function<void()> hook) { beepHook() = std::move(hook); }
void SetSoundHook(std::function<void(const QString&)> hook) { soundHook() = std::move(hook); }

}  // namespace platform
