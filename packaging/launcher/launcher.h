#pragma once
// What the parts of the sorabe command share: its messages, its exit
// statuses, and the preparing of a data folder.

#include <sys/types.h>

#include <filesystem>
#include <initializer_list>
#include <string>

namespace launcher {

// Exit statuses: 1 the data folder, 2 the command line, 126/127 the drill
// itself cannot be started or is not there (as a shell reports them).
constexpr int kDataFolderFailed = 1;
constexpr int kUsage = 2;
constexpr int kCannotStart = 126;
constexpr int kNotInstalled = 127;

// Whether messages are Japanese: the user's locale says so.
bool japanese();

// Fills each "%s" of a message in turn.
std::string format(const char* pattern, std::initializer_list<std::string> values);

// The reason for an errno value, in the language of the messages.
std::string reason(int error);

// Ends the command: what this run made is taken back, the message goes to
// stderr (and into a box when there is no terminal).
[[noreturn]] void fail(int status, const std::string& message);
[[noreturn]] void cannotWrite(const std::string& path, int error);
[[noreturn]] void cannotStart(const std::string& program, int error);

// The folder this command lies in, once main has looked.
extern std::filesystem::path binFolder;

// The user's data folder: $XDG_DATA_HOME/sorabe or ~/.local/share/sorabe.
std::string userDataFolder();
// The folder desktop entries of the user go in.
std::string userApplicationsFolder();

// Makes the folder with the given mode when missing (each folder it makes
// is noted, to be taken back on failure), and a date folder with both
// histories and the sound in it; fails with the message for the step that
// went wrong.
void prepare(const std::string& folder, mode_t mode);
// mkdir -p, each folder made noted. Gives 0 or the errno of the failed step.
int makeFolders(const std::string& path, mode_t mode);
// A file this run wrote, to be removed if the run fails after it.
void noteMadeFile(const std::string& path);

// --add-child, --remove-child and --children: runs the command and gives
// its exit status, or -1 when the command line is not one of them.
int runChildCommand(int argc, char** argv, const std::string& program);

}  // namespace launcher
