// Several children on one account: each child has a folder of its own under
// the user's data folder, and a menu entry that starts the drill there.
//   sorabe --add-child NAME     makes children/NAME and its menu entry
//   sorabe --remove-child NAME  removes the menu entry; the histories stay
//   sorabe --children           lists the children and their last drill
// A name is taken as the person typed it, in any script, with spaces and
// quotes; it only has to be one folder name that a menu entry can carry.

#include "launcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {
namespace {

constexpr const char* kAppId = SORABE_APP_ID;

// Longest name in bytes: the menu entry's file name spells each byte of a
// name outside A-Z, a-z and 0-9 as three characters, and a file name has at
// most 255.
constexpr std::size_t kMaxNameBytes = 64;

struct ChildTexts {
  const char* needsName;  // option
  const char* notAName;   // option, value
  const char* alone;      // option
  const char* listAlone;
  const char* badName;    // name as shown, why
  const char* empty;
  const char* slash;
  const char* dots;
  const char* control;
  const char* tooLong;  // bytes
  const char* notText;
  const char* added;    // name, folder, entry
  const char* removed;  // name, entry, folder
  const char* noEntry;  // name, folder
  const char* noChild;  // name
  const char* noChildren;
};

constexpr ChildTexts kEnglish{
    "sorabe: %s needs a name, for example: sorabe %s hana",
    "sorabe: %s needs a name, not the option '%s'",
    "sorabe: %s takes a name and no other option",
    "sorabe: --children takes no other option",
    "sorabe: '%s' cannot be a child's name: %s",
    "it is empty",
    "it contains /",
    "it is . or ..",
    "it contains a control character",
    "it is longer than %s bytes",
    "it is not valid UTF-8 text",
    "Added %s.\n  histories: %s\n  menu entry: %s\n",
    "Removed the menu entry of %s:\n  %s\nThe histories stay in:\n  %s\n",
    "%s has no menu entry. The histories stay in:\n  %s\n",
    "sorabe: there is no child named %s",
    "No children yet: sorabe --add-child NAME adds one.\n",
};

constexpr ChildTexts kJapanese{
    "sorabe: %s には名前を指定します。例: sorabe %s はな",
    "sorabe: %s には名前を指定します。オプション '%s' は指定できません",
    "sorabe: %s には名前だけを指定します。ほかのオプションはいっしょに使えません",
    "sorabe: --children はほかのオプションといっしょに使えません",
    "sorabe: '%s' は子どもの名前にできません: %s",
    "名前が空です",
    "/ が入っています",
    ". や .. は使えません",
    "制御文字が入っています",
    "%s バイトを超えています",
    "UTF-8 の文字として読めません",
    "%s を追加しました。\n  成績: %s\n  メニュー: %s\n",
    "%s のメニューを消しました:\n  %s\n成績はここに残っています:\n  %s\n",
    "%s のメニューはありません。成績はここに残っています:\n  %s\n",
    "sorabe: %s という子どもはいません",
    "まだ子どもはいません。sorabe --add-child 名前 で追加します。\n",
};

const ChildTexts& texts() { return japanese() ? kJapanese : kEnglish; }

// Decodes one UTF-8 character at text[i], advancing i; gives -1 for bytes
// that are not a well-formed character.
long nextCodePoint(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  int extra = 0;
  long code = 0;
  long least = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, least = 0x10000;
  } else {
    ++i;
    return -1;
  }
  ++i;
  for (int k = 0; k < extra; ++k, ++i) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) return -1;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
  return code;
}

bool isControl(long code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

// The name as a message can show it: control characters and broken bytes
// are spelt \xNN, so a refusal stays one line.
std::string shown(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t start = i;
    const long code = nextCodePoint(name, i);
    if (code >= 0 && !isControl(code)) {
      out.append(name.substr(start, i - start));
      continue;
    }
    for (std::size_t k = start; k < (code < 0 ? start + 1 : i); ++k) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(name[k]));
      out += hex;
    }
    if (code < 0) i = start + 1;
  }
  return out;
}

// Why a name cannot be a child's, or null when it can.
std::string whyNotAName(std::string_view name) {
  const ChildTexts& t = texts();
  if (name.find_first_not_of(" \t") == std::string_view::npos) return t.empty;
  if (name == "." || name == "..") return t.dots;
  if (name.find('/') != std::string_view::npos) return t.slash;
  for (std::size_t i = 0; i < name.size();) {
    const long code = nextCodePoint(name, i);
    if (code < 0) return t.notText;
    if (isControl(code)) return t.control;
  }
  if (name.size() > kMaxNameBytes) return format(t.tooLong, {std::to_string(kMaxNameBytes)});
  return {};
}

// The menu entry's file name: the application's id and the name, letters
// and digits as they are and every other byte as _XX, which no two names
// share and every desktop accepts.
std::string entryFileName(std::string_view name) {
  std::string id = std::string(kAppId) + ".Child";
  for (const char c : name) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
      id += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "_%02X", b);
      id += hex;
    }
  }
  return id + ".desktop";
}

// A string value of a desktop entry: a backslash is doubled, and a leading
// space kept by its escape.
std::string entryString(std::string_view value) {
  std::string out;
  for (const char c : value) {
    if (c == '\\') out += "\\\\";
    else out += c;
  }
  if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
  return out;
}

// One argument of an Exec line: quoted when it holds a character the line
// reserves, with ", `, $ and \ escaped inside the quotes; % is doubled.
// The whole line is a string value too, so its backslashes are doubled
// again by entryString.
std::string execArgument(std::string_view arg) {
  const bool quote = arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
  std::string out;
  if (quote) out += '"';
  for (const char c : arg) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  if (quote) out += '"';
  return out;
}

std::string selfPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) cannotStart("/proc/self/exe", error.value());
  return self.string();
}

std::string entryText(const std::string& name, const std::string& folder) {
  const std::string exec = execArgument(selfPath()) + " --data " + execArgument(folder);
  const auto line = [](const char* key, const std::string& value) { return key + ("=" + entryString(value)) + "\n"; };
  return "[Desktop Entry]\n"
         "Type=Application\n" +
         line("Name", "Sorabe (" + name + ")") +
         line("Name[ja]", "ソラベ (" + name + ")") +
         line("Comment", "The arithmetic drill of " + name) +
         line("Comment[ja]", name + " の 100マス計算") +
         line("Icon", kAppId) +
         line("Exec", exec) +
         "Terminal=false\n"
         "StartupNotify=true\n"
         "StartupWMClass=Sorabe\n"
         "Categories=Education;Math;\n"
         "Actions=progress;facts;\n"
         "\n"
         "[Desktop Action progress]\n"
         "Name=Progress chart\n"
         "Name[ja]=成績グラフ\n" +
         line("Exec", exec + " --progress") +
         "\n"
         "[Desktop Action facts]\n"
         "Name=Weak facts\n"
         "Name[ja]=にがて\n" +
         line("Exec", exec + " --facts");
}

// Writes the file whole or not at all: a new file beside it, renamed over it.
void writeWhole(const std::string& folder, const std::string& fileName, const std::string& text) {
  const std::string path = folder + "/" + fileName;
  std::string pattern = folder + "/." + fileName + ".XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) cannotWrite(folder, errno);
  noteMadeFile(pattern);
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      close(fd);
      cannotWrite(path, error);
    }
    data += n;
    left -= std::size_t(n);
  }
  if (fchmod(fd, 0644) != 0 || fsync(fd) != 0) {
    const int error = errno;
    close(fd);
    cannotWrite(path, error);
  }
  if (close(fd) != 0 && errno != EINTR) cannotWrite(path, errno);
  if (rename(pattern.c_str(), path.c_str()) != 0) cannotWrite(path, errno);
}

std::string childrenFolder() { return userDataFolder() + "/children"; }

int addChild(const std::string& name) {
  const std::string folder = childrenFolder() + "/" + name;
  // A child's folder is as private as the user's own.
  prepare(folder, 0700);
  const std::string applications = userApplicationsFolder();
  if (const int error = makeFolders(applications, 0700)) cannotWrite(applications, error);
  const std::string fileName = entryFileName(name);
  writeWhole(applications, fileName, entryText(name, folder));
  std::printf(texts().added, name.c_str(), folder.c_str(), (applications + "/" + fileName).c_str());
  return std::fflush(stdout) == 0 ? 0 : kDataFolderFailed;
}

int removeChild(const std::string& name) {
  const std::string folder = childrenFolder() + "/" + name;
  const std::string entry = userApplicationsFolder() + "/" + entryFileName(name);
  if (unlink(entry.c_str()) == 0) {
    std::printf(texts().removed, name.c_str(), entry.c_str(), folder.c_str());
  } else if (errno != ENOENT) {
    cannotWrite(entry, errno);
  } else if (access(folder.c_str(), F_OK) == 0) {
    std::printf(texts().noEntry, name.c_str(), folder.c_str());
  } else {
    fail(kDataFolderFailed, format(texts().noChild, {name}));
  }
  return std::fflush(stdout) == 0 ? 0 : kDataFolderFailed;
}

// The drill reads the histories, so it makes the list: it is started in the
// data folder and lists the folders of children/ there.
int listChildren(const std::string& program) {
  const std::string data = userDataFolder();
  struct stat info {};
  if (stat(childrenFolder().c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    std::fputs(texts().noChildren, stdout);
    return std::fflush(stdout) == 0 ? 0 : kDataFolderFailed;
  }
  if (chdir(data.c_str()) != 0) cannotWrite(data, errno);
  char* args[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--children"), nullptr};
  execv(program.c_str(), args);
  cannotStart(program, errno);
}

}  // namespace

int runChildCommand(int argc, char** argv, const std::string& program) {
  enum class Kind { None, Add, Remove, List } kind = Kind::None;
  std::string option;
  std::string name;
  bool named = false;
  int used = 0;  // arguments the child command takes up
  for (int i = 1; i < argc && kind == Kind::None; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;  // what follows is the drill's
    for (const auto& [spelling, which] : {std::pair{"--add-child", Kind::Add}, {"--remove-child", Kind::Remove}}) {
      const std::string_view word = spelling;
      if (arg == word) {
        kind = which, option = word, used = 1;
        if (i + 1 < argc) name = argv[i + 1], named = true, used = 2;
      } else if (arg.starts_with(word) && arg.size() > word.size() && arg[word.size()] == '=') {
        kind = which, option = word, used = 1;
        name = arg.substr(word.size() + 1), named = true;
      }
    }
    if (arg == "--children") kind = Kind::List, option = arg, used = 1;
  }
  if (kind == Kind::None) return -1;

  const ChildTexts& t = texts();
  if (argc - 1 != used) fail(kUsage, kind == Kind::List ? t.listAlone : format(t.alone, {option}));
  if (kind == Kind::List) return listChildren(program);
  if (!named) fail(kUsage, format(t.needsName, {option, option}));
  // "--add-child --progress" forgot the name; it does not give one.
  if (name.starts_with("--")) fail(kUsage, format(t.notAName, {option, shown(name)}));
  if (const std::string why = whyNotAName(name); !why.empty())
    fail(kUsage, format(t.badName, {shown(name), why}));
  return kind == Kind::Add ? addChild(name) : removeChild(name);
}

}  // namespace launcher
