// sorabe: the command that starts the installed drill.
//
// The drill keeps its two histories in date/ under the folder it is started
// in and plays cd.wav from there, and never makes any of them. This command
// prepares one such folder (the user's own, or one per child with --data),
// then replaces itself with the drill started in that folder. A command line
// the drill would refuse is refused first, so it makes nothing.
//
// It stays free of Qt: it runs before every start, and loading Qt only to
// hand over would cost more than all its own work. When something is wrong
// and there is no terminal to tell, the small sorabe-alert program beside the
// drill shows the message in a box.

#include "launcher.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

extern char** environ;

namespace launcher {

// Set by the build from the install layout; relative to the folder this
// command is installed in, so a staged or moved install runs as it lies.
constexpr const char* kProgramFromBin = SORABE_PROGRAM_FROM_BINDIR;
constexpr const char* kAlertFromBin = SORABE_ALERT_FROM_BINDIR;
constexpr const char* kSoundFromBin = SORABE_SOUND_FROM_BINDIR;
constexpr const char* kVersion = SORABE_VERSION;

// ---------------------------------------------------------------- messages

// The drill speaks Japanese; the launcher answers in Japanese too when the
// user's locale is Japanese, and in English otherwise, reasons included: the
// C library's own texts would mix in whatever language its locale files
// have, so the launcher never sets a locale and reads the reasons from its
// own table below.
struct Texts {
  const char* help;
  const char* cannotMake;     // folder, reason
  const char* cannotWrite;    // path, reason
  const char* notInstalled;   // path, reason
  const char* cannotStart;    // path, reason
  const char* dataNeedsDir;
  const char* dataNotOption;  // the value given
  const char* dataTwice;
  const char* noCurrentDir;   // reason
  const char* noHome;
  const char* exitStatus;     // number
  const char* errorNumber;    // number
};

constexpr Texts kEnglish{
    "Usage: sorabe [--data DIR] [OPTION...]\n"
    "Starts the Sorabe arithmetic drill (the 100-square method).\n"
    "\n"
    "  --data DIR        keep the histories in DIR, made when missing (~ is home);\n"
    "                    default $XDG_DATA_HOME/sorabe or ~/.local/share/sorabe\n"
    "  --progress        open the progress chart of a history instead of the drill\n"
    "  --sheet FILE.pdf  write printable sheets with answer pages to FILE.pdf\n"
    "                    and exit; FILE.pdf is taken from the current folder\n"
    "  --grid 100|25     the grid of --progress or --sheet (default 100)\n"
    "  --op add|mul|sub  the operation of the sheets (default add)\n"
    "  --count N         how many sheets, 1 to 500 (default 1)\n"
    "  --seed S          the seed of the sheets' numbers, 0 to 4294967295: the\n"
    "                    same seed gives the same sheets (default: the clock)\n"
    "  --facts [--text]  the weak facts on a map, or --text: listed on the terminal\n"
    "  --weak            with --sheet: 25-square sheets on the weakest facts\n"
    "  --class DIR       a class: a folder per child; --csv FILE writes it as CSV\n"
    "  --add-child NAME  a folder and a menu entry \"Sorabe (NAME)\" for a child\n"
    "  --remove-child NAME  remove that menu entry; the histories stay\n"
    "  --children        list the children and their last drill\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "A wrong option is refused before anything is made. More: man sorabe\n",
    "Sorabe cannot make the folder for its histories:\n  %s\n(%s)",
    "Sorabe cannot write its histories in:\n  %s\n(%s)",
    "Sorabe is not installed completely; missing:\n  %s\n(%s)",
    "Sorabe cannot start the drill:\n  %s\n(%s)",
    "sorabe: --data needs a folder, for example: sorabe --data ~/sorabe-hana",
    "sorabe: --data needs a folder, not the option '%s' (write ./%s for a folder of that name)",
    "sorabe: --data is given more than once",
    "sorabe: the current folder cannot be found (%s)",
    "Sorabe cannot find your home folder: HOME is not set.",
    "exit status %s",
    "error %s",
};

constexpr Texts kJapanese{
    "使い方: sorabe [--data フォルダ] [オプション...]\n"
    "100マス計算のドリル Sorabe を起動します。\n"
    "\n"
    "  --data フォルダ       成績をこのフォルダに保存します (なければ作ります)。\n"
    "                        先頭の ~ はホームフォルダ。既定: ~/.local/share/sorabe\n"
    "  --progress            ドリルの代わりに成績のグラフを開きます\n"
    "  --sheet ファイル.pdf  印刷用のプリント (答えのページつき) を書いて終了します。\n"
    "                        ファイルは現在のフォルダから数えます\n"
    "  --grid 100|25         --progress と --sheet のマス (既定 100)\n"
    "  --op add|mul|sub      プリントの計算: たしざん、かけざん、ひきざん (既定 add)\n"
    "  --count N             プリントの枚数、1 から 500 (既定 1)\n"
    "  --seed S              プリントの数を決める種、0 から 4294967295。同じ種から\n"
    "                        同じプリントができます (既定: 時計から)\n"
    "  --facts [--text]      にがてな計算の表 (--text なら文字で表示して終了)\n"
    "  --weak                --sheet といっしょに: にがてな計算の25マスのプリント\n"
    "  --class フォルダ      クラスの成績 (子どもごとのフォルダ)、--csv ファイル: CSV\n"
    "  --add-child 名前      子どものフォルダとメニュー「Sorabe (名前)」を作ります\n"
    "  --remove-child 名前   そのメニューを消します。成績は残ります\n"
    "  --children            子どもたちと最後のドリルを表示します\n"
    "  --help                この説明を表示して終了します\n"
    "  --version             バージョンを表示して終了します\n"
    "\n"
    "まちがったオプションがあれば、何も作らずに終了します。くわしくは man sorabe\n",
    "Sorabe の成績を保存するフォルダを作れません:\n  %s\n(%s)",
    "Sorabe の成績をここに書き込めません:\n  %s\n(%s)",
    "Sorabe のインストールが不完全です。見つからないもの:\n  %s\n(%s)",
    "Sorabe のドリルを起動できません:\n  %s\n(%s)",
    "sorabe: --data にはフォルダを指定します。例: sorabe --data ~/sorabe-hana",
    "sorabe: --data にはフォルダを指定します。オプション '%s' は指定できません "
    "(その名前のフォルダなら ./%s と書きます)",
    "sorabe: --data が二度以上指定されています",
    "sorabe: 現在のフォルダが見つかりません (%s)",
    "Sorabe はホームフォルダを見つけられません: HOME が設定されていません。",
    "終了コード %s",
    "エラー番号 %s",
};

bool japanese() {
  // The first of these that is set names the language of messages.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

const Texts& texts() { return japanese() ? kJapanese : kEnglish; }

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

// The reasons a start can meet, in Japanese; any other is told by number.
struct JapaneseReason {
  int error;
  const char* text;
};
constexpr JapaneseReason kJapaneseReasons[] = {
    {ENOENT, "ファイルまたはフォルダがありません"},
    {EACCES, "アクセスが許可されていません"},
    {EPERM, "操作が許可されていません"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {ENOTDIR, "途中にフォルダでないものがあります"},
    {EISDIR, "フォルダです"},
    {EEXIST, "すでにあります"},
    {EINVAL, "引数が正しくありません"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {ELOOP, "シンボリックリンクの階層が多すぎます"},
    {ENOSPC, "ディスクに空きがありません"},
    {EDQUOT, "ディスクの使用量の上限を超えています"},
    {EMLINK, "リンクが多すぎます"},
    {EIO, "入出力エラーです"},
    {ENOMEM, "メモリが足りません"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "開いているファイルが多すぎます"},
    {ENOEXEC, "実行できる形式ではありません"},
    {ETXTBSY, "ファイルが使用中です"},
};

std::string reason(int error) {
  if (japanese()) {
    for (const JapaneseReason& known : kJapaneseReasons)
      if (known.error == error) return known.text;
    return format(texts().errorNumber, {std::to_string(error)});
  }
  // The launcher keeps the C locale, so these are the English texts.
  return std::strerror(error);
}

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

// What this run made in the data folder, in order: a start that fails takes
// it back, deepest first, so nothing but what was there before is left.
struct Made {
  enum Kind { Folder, EmptyFile, OwnFile } kind;
  std::string path;
};
std::vector<Made> made;

void takeBackMade() {
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    struct stat info {};
    switch (it->kind) {
      case Made::Folder:
        rmdir(it->path.c_str());  // only while empty
        break;
      case Made::EmptyFile:  // a history: gone only while nothing is in it
        if (lstat(it->path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0)
          unlink(it->path.c_str());
        break;
      case Made::OwnFile:
        unlink(it->path.c_str());
        break;
    }
  }
  made.clear();
}

[[noreturn]] void fail(int status, const std::string& message) {
  takeBackMade();
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

// The user's home folder; empty when neither HOME nor the password entry
// names an absolute one.
std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && user->pw_dir[0] == '/') return user->pw_dir;
  return {};
}

// "~" and "~/…" as a shell reads them, for desktop entries, which pass them
// on as they are.
std::string expandHome(const std::string& path) {
  if (path != "~" && !path.starts_with("~/")) return path;
  const std::string home = homeFolder();
  if (home.empty()) fail(kDataFolderFailed, texts().noHome);
  return home + path.substr(1);
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

// Options whose value is a path the user typed where they stood: made
// absolute, since the drill starts in the data folder.
struct PathOption {
  const char* name;
  std::string (*absolute)(const std::string&);
};
const PathOption kPathOptions[] = {
    {"--sheet", sheetFile},
    {"--csv", sheetFile},
    {"--class", [](const std::string& folder) { return absoluteFromCaller(expandHome(folder)); }},
};

Command parse(int argc, char** argv) {
  Command command;
  bool ownOptions = true;
  bool dataGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!ownOptions) {
      command.forwarded.push_back(arg);
    } else if (arg == "--") {
      // What follows is the drill's alone, --data and --sheet included.
      ownOptions = false;
      command.forwarded.push_back(arg);
    } else if (arg == "--data" || arg.starts_with("--data=")) {
      // One folder a start: a second --data is a mistake, not a choice.
      if (dataGiven) fail(kUsage, texts().dataTwice);
      dataGiven = true;
      const std::string folder =
          arg == "--data" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(std::strlen("--data="));
      if (folder.empty()) fail(kUsage, texts().dataNeedsDir);
      // "--data --progress" forgot the folder; it does not name one.
      if (folder.front() == '-') fail(kUsage, format(texts().dataNotOption, {folder, folder}));
      command.dataFolder = absoluteFromCaller(expandHome(folder));
    } else if (arg == "--help" || arg == "-h") {
      command.help = true;
    } else if (arg == "--version") {
      command.version = true;
    } else {
      // A sheet or a CSV is written, and a class read, where the user typed
      // it, not in the data folder.
      const PathOption* path = nullptr;
      for (const PathOption& option : kPathOptions)
        if (arg == option.name || arg.starts_with(std::string(option.name) + "=")) path = &option;
      if (!path) {
        command.forwarded.push_back(arg);
      } else if (arg == path->name) {
        command.forwarded.push_back(arg);
        if (i + 1 < argc) command.forwarded.push_back(path->absolute(argv[++i]));
      } else {
        const std::size_t equals = std::strlen(path->name) + 1;
        command.forwarded.push_back(arg.substr(0, equals) + path->absolute(arg.substr(equals)));
      }
    }
  }
  return command;
}

// ---------------------------------------------------------------- the drill's options

// Only the drill knows its own options, so it is asked about the ones it
// will get before anything is made: with --check-only first it reads the
// rest as a start would, without a display, and ends with status 0, or 2
// after one line on stderr saying what is wrong. That line is passed on.
void checkDrillOptions(const std::string& program, const std::vector<std::string>& forwarded) {
  if (forwarded.empty()) return;  // a plain start has nothing to ask
  int said[2];
  if (pipe2(said, O_CLOEXEC) != 0) cannotStart(program, errno);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, said[1], STDERR_FILENO);
  std::vector<char*> args{const_cast<char*>(program.c_str()), const_cast<char*>("--check-only")};
  for (const std::string& arg : forwarded) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawnError = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(said[1]);
  if (spawnError != 0) {
    close(said[0]);
    cannotStart(program, spawnError);
  }
  std::string message;
  char buffer[4096];
  for (ssize_t n; (n = read(said[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0) message.append(buffer, std::size_t(n));
    else if (errno != EINTR) break;
  }
  close(said[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);  // as a shell tells it
  if (code == 0) return;
  if (message.empty()) message = format(texts().exitStatus, {std::to_string(code)});
  if (code == kUsage) fail(kUsage, message);
  fail(kCannotStart, format(texts().cannotStart, {program, message}));
}

// ---------------------------------------------------------------- the data folder

// mkdir -p, with the given mode for every folder it makes, each one noted in
// `made`. Returns 0 or the errno of the step that failed.
int makeFolders(const std::string& path, mode_t mode) {
  size_t slash = 0;
  do {
    slash = path.find('/', slash + 1);
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), mode) == 0) {
      made.push_back({Made::Folder, part});
      continue;
    }
    const int error = errno;
    struct stat info {};
    if (stat(part.c_str(), &info) != 0) return error == EEXIST ? errno : error;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
  } while (slash != std::string::npos);
  return 0;
}

// Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
std::string userDataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const std::string home = homeFolder();
  if (home.empty()) fail(kDataFolderFailed, texts().noHome);
  return home + "/.local/share";
}

std::string userDataFolder() { return userDataHome() + "/sorabe"; }

std::string userApplicationsFolder() { return userDataHome() + "/applications"; }

void noteMadeFile(const std::string& path) { made.push_back({Made::OwnFile, path}); }

// A history is made empty when missing and otherwise left exactly as it is.
void keepHistory(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    close(fd);
    made.push_back({Made::EmptyFile, path});
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
    if (symlink(installed.c_str(), sound.c_str()) == 0) {
      made.push_back({Made::OwnFile, sound});
      return;
    }
    if (errno == EEXIST) return;
    const int error = errno;
    std::error_code copyError;
    if ((error == EPERM || error == EOPNOTSUPP) && std::filesystem::copy_file(installed, sound, copyError)) {
      made.push_back({Made::OwnFile, sound});
      return;
    }
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

}  // namespace launcher

int main(int argc, char** argv) {
  using namespace launcher;
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
  const std::string program = installedFile(kProgramFromBin).string();
  if (access(program.c_str(), X_OK) != 0) cannotStart(program, errno);
  if (const int status = runChildCommand(argc, argv, program); status >= 0) return status;
  checkDrillOptions(program, command.forwarded);

  // Folders made for the user's own data are private to them (0700, as the
  // base-directory rules ask); a folder named with --data follows the umask,
  // since a family or a classroom may share it.
  const bool own = command.dataFolder.empty();
  const std::string folder = own ? userDataFolder() : command.dataFolder;
  prepare(folder, own ? 0700 : 0777);

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
