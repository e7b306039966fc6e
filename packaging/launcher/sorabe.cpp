// sorabe: the command that starts the installed drill.
//
// The drill keeps its two histories in date/ under the folder it is started
// in and plays cd.wav from there, and never makes any of them. This command
// prepares one such folder (the user's own, or one per child with --data),
// then replaces itself with the drill started in that folder.
//
// It stays free of Qt: it runs before every start, and loading Qt only to
// hand over would cost more than all its own work. When something is wrong
// and there is no terminal to tell, the small sorabe-alert program beside the
// drill shows the message in a box.

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Set by the build from the install layout; relative to the folder this
// command is installed in, so a staged or moved install runs as it lies.
constexpr const char* kProgramFromBin = SORABE_PROGRAM_FROM_BINDIR;
constexpr const char* kAlertFromBin = SORABE_ALERT_FROM_BINDIR;
constexpr const char* kSoundFromBin = SORABE_SOUND_FROM_BINDIR;
constexpr const char* kVersion = SORABE_VERSION;

// Exit statuses: 1 the data folder, 2 the command line, 126/127 the drill
// itself cannot be started or is not there (as a shell reports them).
constexpr int kDataFolderFailed = 1;
constexpr int kUsage = 2;
constexpr int kCannotStart = 126;
constexpr int kNotInstalled = 127;

// ---------------------------------------------------------------- messages

// The drill speaks Japanese; the launcher answers in Japanese too when the
// user's locale is Japanese, and in English otherwise.
struct Texts {
  const char* help;
  const char* cannotMake;     // folder, reason
  const char* cannotWrite;    // path, reason
  const char* notInstalled;   // path, reason
  const char* cannotStart;    // path, reason
  const char* dataNeedsDir;
  const char* noCurrentDir;   // reason
  const char* noHome;
};

constexpr Texts kEnglish{
    "Usage: sorabe [--data DIR] [OPTION...]\n"
    "Starts the Sorabe arithmetic drill (the 100-square method).\n"
    "\n"
    "  --data DIR   keep the histories in DIR, made when missing; one folder\n"
    "               per child lets several children share one account.\n"
    "               Default: $XDG_DATA_HOME/sorabe, or ~/.local/share/sorabe\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Other options go to the drill unchanged, for example\n"
    "  --progress [--grid 100|25]             the chart of a history\n"
    "  --sheet FILE.pdf [--grid 100|25] ...   a printable sheet\n"
    "  --facts [--op add|mul|sub]             the weak facts on a map\n"
    "  --facts --text [--count N]             the weakest facts as text\n"
    "  --sheet FILE.pdf --weak ...            sheets for the weak facts\n"
    "\n"
    "The folder holds date/seiseki.dat (100-square) and date/mas25.dat\n"
    "(25-square); copy the date folder to move the histories.\n",
    "Sorabe cannot make the folder for its histories:\n  %s\n(%s)",
    "Sorabe cannot write its histories in:\n  %s\n(%s)",
    "Sorabe is not installed completely; missing:\n  %s\n(%s)",
    "Sorabe cannot start the drill:\n  %s\n(%s)",
    "sorabe: --data needs a folder, for example: sorabe --data ~/sorabe-hana",
    "sorabe: the current folder cannot be found (%s)",
    "Sorabe cannot find your home folder: HOME is not set.",
};

constexpr Texts kJapanese{
    "使い方: sorabe [--data フォルダ] [オプション...]\n"
    "100マス計算のドリル Sorabe を起動します。\n"
    "\n"
    "  --data フォルダ  成績をこのフォルダに保存します (なければ作ります)。\n"
    "                   子どもごとにフォルダを分ければ、一つのアカウントで使えます。\n"
    "                   既定: $XDG_DATA_HOME/sorabe または ~/.local/share/sorabe\n"
    "  --help           この説明を表示して終了します\n"
    "  --version        バージョンを表示して終了します\n"
    "\n"
    "ほかのオプションはそのままドリルに渡します。たとえば\n"
    "  --progress [--grid 100|25]                成績のグラフ\n"
    "  --sheet ファイル.pdf [--grid 100|25] ...  印刷用のプリント\n"
    "  --facts [--op add|mul|sub]                にがてな計算の表\n"
    "  --facts --text [--count N]                にがてな計算を文字で表示\n"
    "  --sheet ファイル.pdf --weak ...           にがてな計算のプリント\n"
    "\n"
    "フォルダには date/seiseki.dat (100マス) と date/mas25.dat (25マス) が\n"
    "あります。成績を移すには date フォルダをコピーします。\n",
    "Sorabe の成績を保存するフォルダを作れません:\n  %s\n(%s)",
    "Sorabe の成績をここに書き込めません:\n  %s\n(%s)",
    "Sorabe のインストールが不完全です。見つからないもの:\n  %s\n(%s)",
    "Sorabe のドリルを起動できません:\n  %s\n(%s)",
    "sorabe: --data にはフォルダを指定します。例: sorabe --data ~/sorabe-hana",
    "sorabe: 現在のフォルダが見つかりません (%s)",
    "Sorabe はホームフォルダを見つけられません: HOME が設定されていません。",
};

const Texts& texts() {
  // The first of these that is set names the language of messages.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "ja", 2) == 0 ? kJapanese : kEnglish;
  }
  return kEnglish;
}

// Fills each "%s" of a message in turn.
std::string format(const char* pattern, std::initializer_list<std::string> values) {
  std::string out;
  auto value = values.begin();
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's' && value != values.end()) {
      out += *value++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string reason(int error) { return std::strerror(error); }

// The folder this command lies in; the installed files are found from it.
// Empty until main has looked (and when it could not).
std::filesystem::path binFolder;

std::filesystem::path installedFile(const char* fromBin) { return (binFolder / fromBin).lexically_normal(); }

// Started from a desktop menu there is no terminal: the message also goes
// into a box, as long as there is a display to put it on.
bool hasTerminal() { return isatty(STDIN_FILENO) || isatty(STDERR_FILENO); }

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

[[noreturn]] void fail(int status, const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  if (!hasTerminal() && hasDisplay() && !binFolder.empty()) {
    const std::string alert = installedFile(kAlertFromBin).string();
    char* argv[] = {const_cast<char*>(alert.c_str()), const_cast<char*>(message.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, alert.c_str(), nullptr, nullptr, argv, environ) == 0) {
      int ignored = 0;
      while (waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
      }
    }
  }
  std::exit(status);
}

[[noreturn]] void cannotMake(const std::string& folder, int error) {
  fail(kDataFolderFailed, format(texts().cannotMake, {folder, reason(error)}));
}

[[noreturn]] void cannotWrite(const std::string& path, int error) {
  fail(kDataFolderFailed, format(texts().cannotWrite, {path, reason(error)}));
}

[[noreturn]] void cannotStart(const std::string& program, int error) {
  if (error == ENOENT) fail(kNotInstalled, format(texts().notInstalled, {program, reason(error)}));
  fail(kCannotStart, format(texts().cannotStart, {program, reason(error)}));
}

// A path typed relative to where the user stood, made absolute before this
// command changes folder.
std::string absoluteFromCaller(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  static std::string caller;
  if (caller.empty()) {
    char* cwd = get_current_dir_name();  // keeps the user's own spelling ($PWD)
    if (!cwd) fail(kUsage, format(texts().noCurrentDir, {reason(errno)}));
    caller = cwd;
    std::free(cwd);
  }
  return caller + "/" + path;
}

// ---------------------------------------------------------------- command line

struct Command {
  std::string dataFolder;              // empty: the user's own
  std::vector<std::string> forwarded;  // to the drill, in order
  bool help = false;
  bool version = false;
};

// "-" conventionally names standard output and is left as it is.
std::string sheetFile(const std::string& file) { return file == "-" ? file : absoluteFromCaller(file); }

Command parse(int argc, char** argv) {
  Command command;
  bool ownOptions = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!ownOptions) {
      command.forwarded.push_back(arg);
    } else if (arg == "--") {
      // What follows is the drill's alone, --data and --sheet included.
      ownOptions = false;
      command.forwarded.push_back(arg);
    } else if (arg == "--data" || arg.starts_with("--data=")) {
      std::string folder = arg == "--data" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(std::strlen("--data="));
      if (folder.empty()) fail(kUsage, texts().dataNeedsDir);
      command.dataFolder = absoluteFromCaller(folder);
    } else if (arg == "--help" || arg == "-h") {
      command.help = true;
    } else if (arg == "--version") {
      command.version = true;
    } else if (arg == "--sheet") {
      // The sheet is written where the user typed it, not in the data folder.
      command.forwarded.push_back(arg);
      if (i + 1 < argc) command.forwarded.push_back(sheetFile(argv[++i]));
    } else if (arg.starts_with("--sheet=")) {
      command.forwarded.push_back("--sheet=" + sheetFile(arg.substr(std::strlen("--sheet="))));
    } else {
      command.forwarded.push_back(arg);
    }
  }
  return command;
}

// ---------------------------------------------------------------- the data folder

// mkdir -p, with the given mode for every folder it makes. Returns 0 or the
// errno of the step that failed.
int makeFolders(const std::string& path, mode_t mode) {
  size_t slash = 0;
  do {
    slash = path.find('/', slash + 1);
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), mode) == 0) continue;
    const int error = errno;
    struct stat info {};
    if (stat(part.c_str(), &info) != 0) return error == EEXIST ? errno : error;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
  } while (slash != std::string::npos);
  return 0;
}

std::string userDataFolder() {
  // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/sorabe";
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::string(home) + "/.local/share/sorabe";
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
    return std::string(user->pw_dir) + "/.local/share/sorabe";
  fail(kDataFolderFailed, texts().noHome);
}

// A history is made empty when missing and otherwise left exactly as it is.
void keepHistory(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    close(fd);
    return;
  }
  if (errno != EEXIST) cannotWrite(path, errno);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) cannotWrite(path, errno);
  if (!S_ISREG(info.st_mode)) cannotWrite(path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  if (access(path.c_str(), R_OK | W_OK) != 0) cannotWrite(path, errno);
}

// The countdown sound is a link to the installed one, so every child's folder
// follows an upgrade of the package and costs no space; a folder on a file
// system without links (a FAT stick) gets a copy. A cd.wav the user put there
// is theirs: only a missing sound, or a link to an installed sound that has
// moved or gone, is replaced.
void keepSound(const std::string& folder) {
  const std::string installed = installedFile(kSoundFromBin).string();
  if (access(installed.c_str(), R_OK) != 0) return;  // without it the drill rings the bell
  const std::string sound = folder + "/cd.wav";
  struct stat info {};
  if (lstat(sound.c_str(), &info) != 0) {
    // EEXIST: another start in the same folder made it first.
    if (symlink(installed.c_str(), sound.c_str()) == 0 || errno == EEXIST) return;
    const int error = errno;
    std::error_code copyError;
    if ((error == EPERM || error == EOPNOTSUPP) && std::filesystem::copy_file(installed, sound, copyError)) return;
    cannotWrite(folder, error);
  }
  if (!S_ISLNK(info.st_mode)) return;
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(sound, error);
  if (error || target == installed) return;
  const std::filesystem::path share = target.parent_path().parent_path();
  const bool installedOne = target.filename() == "cd.wav" && target.parent_path().filename() == "sorabe" &&
                            share.filename() == "share";
  if (!installedOne && access(sound.c_str(), F_OK) == 0) return;
  // Swapped in by a rename, so the folder never lacks a sound.
  const std::string fresh = folder + "/.cd.wav." + std::to_string(getpid());
  if (symlink(installed.c_str(), fresh.c_str()) != 0) return;
  if (rename(fresh.c_str(), sound.c_str()) != 0) unlink(fresh.c_str());
}

void prepare(const std::string& folder, mode_t mode) {
  if (const int error = makeFolders(folder, mode)) cannotMake(folder, error);
  const std::string date = folder + "/date";
  if (const int error = makeFolders(date, mode)) cannotMake(date, error);
  // The drill records by writing a new file beside the history and renaming
  // it over the old one, so the folder itself must take new files.
  if (access(date.c_str(), W_OK | X_OK) != 0) cannotWrite(date, errno);
  keepHistory(date + "/seiseki.dat");
  keepHistory(date + "/mas25.dat");
  keepSound(folder);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  const Command command = parse(argc, argv);
  if (command.help) {
    std::fputs(texts().help, stdout);
    return 0;
  }
  if (command.version) {
    std::printf("sorabe %s\n", kVersion);
    return 0;
  }

  std::error_code error;
  binFolder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  if (error) cannotStart("/proc/self/exe", error.value());

  // Folders made for the user's own data are private to them (0700, as the
  // base-directory rules ask); a folder named with --data follows the umask,
  // since a family or a classroom may share it.
  const bool own = command.dataFolder.empty();
  const std::string folder = own ? userDataFolder() : command.dataFolder;
  prepare(folder, own ? 0700 : 0777);

  const std::string program = installedFile(kProgramFromBin).string();
  if (access(program.c_str(), X_OK) != 0) cannotStart(program, errno);
  if (chdir(folder.c_str()) != 0) cannotWrite(folder, errno);

  // The drill's message boxes take their title from the program file's name,
  // so argv[0] is the installed file itself ("Sorabe").
  std::vector<char*> args;
  args.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : command.forwarded) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execv(program.c_str(), args.data());
  cannotStart(program, errno);
}
